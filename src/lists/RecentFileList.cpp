#include "lists/RecentFileList.h"

#include "base/Paths.h"
#include "lists/DataFileKind.h"
#include "lists/RecordCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>

namespace {
constexpr int kFields = 3;
}

QString listDateText(const QDateTime& when)
{
    const QLocale locale;
    // The long time format carries the seconds; the time zone it may add is not wanted here.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

RecentFileList::RecentFileList(QString appFolder)
    : m_appFolder(std::move(appFolder))
{}

QString RecentFileList::listPath() const
{
    return paths::join(m_appFolder, QStringLiteral("QELFileList.txt"));
}

QString RecentFileList::tempPath() const
{
    return paths::join(m_appFolder, QStringLiteral("qellist.tmp"));
}

QString RecentFileList::dataFolder() const
{
    return paths::join(m_appFolder, QStringLiteral("data")) + paths::separator();
}

RecentFileList::Contents RecentFileList::read() const
{
    Contents c;
    const FileContent file = readWholeFile(listPath());
    c.exists = file.exists;
    c.result = file.result;
    if (!file.exists || !file.result.ok)
        return c;
    const bool complete = records::parseEach(file.data, kFields, [&](records::Fields& f) {
        c.records.append(FileListRecord{std::move(f[0]), std::move(f[1]), std::move(f[2])});
    });
    if (!complete)
        c.result = truncatedListFailure();
    return c;
}

FileResult RecentFileList::readForRewrite(QList<FileListRecord>* records) const
{
    Contents c = read();
    *records = std::move(c.records);
    return c.result;
}

FileResult RecentFileList::write(const QList<FileListRecord>& records) const
{
    QByteArray content;
    content.reserve(records.size() * 96);
    for (const FileListRecord& r : records)
        content += records::encode({r.kindCode, r.path, r.dateText});
    return replaceFileAtomically(listPath(), tempPath(), content, m_beforeReplace);
}

FileResult RecentFileList::TouchFileEntry(const QString& path, const QString& kindCode,
                                          const QDateTime& now)
{
    QList<FileListRecord> records;
    if (FileResult r = readForRewrite(&records); !r.ok)
        return r;
    const QString date = listDateText(now);
    bool found = false;
    for (FileListRecord& rec : records) {
        if (rec.path.compare(path, Qt::CaseInsensitive) == 0) {
            rec.path = path; // the record keeps its own kind code and place
            rec.dateText = date;
            found = true;
        }
    }
    if (!found)
        records.append(FileListRecord{kindCode, path, date});
    return write(records);
}

FileResult RecentFileList::DeleteFileEntry(const QString& fullPath, DataFile dataFile)
{
    // A missing list file reads as no records: nothing to remove, and nothing is created.
    QList<FileListRecord> records;
    if (FileResult r = readForRewrite(&records); !r.ok)
        return r;
    if (records.removeIf([&](const FileListRecord& r) { return r.path == fullPath; }) > 0) {
        if (FileResult r = write(records); !r.ok)
            return r;
    }
    if (dataFile == DataFile::Delete) {
        QFileInfo info(fullPath);
        if (info.exists() && !info.isDir()) {
            errno = 0;
            if (!QFile::remove(fullPath))
                return FileResult::fromErrno(errno ? errno : EACCES);
        }
    }
    return {};
}

QList<FileListRecord> RecentFileList::scanDataFolderRecords() const
{
    QList<FileListRecord> found;
    const QString data = dataFolder();
    QDir dir(data);
    if (!dir.exists())
        return found;
    for (const DataFileKind& kind : dataFileKinds()) {
        const QString pattern = QStringLiteral("*") + QLatin1String(kind.extension);
        // Ordinary files only: no folders, no hidden files; matched in any letter case.
        QFileInfoList files = dir.entryInfoList({pattern}, QDir::Files | QDir::NoDotAndDotDot);
        // The order a Windows file system lists them in, so every machine shows the same.
        std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
            return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) < 0;
        });
        for (const QFileInfo& f : files) {
            found.append(FileListRecord{QLatin1String(kind.scanCode), data + f.fileName(),
                                        listDateText(f.lastModified())});
        }
    }
    return found;
}

FileResult RecentFileList::ScanDataFolder()
{
    QList<FileListRecord> records;
    if (FileResult r = readForRewrite(&records); !r.ok)
        return r;
    records += scanDataFolderRecords();
    return write(records);
}

FileResult RecentFileList::SyncDataFolderEntries()
{
    QList<FileListRecord> records;
    if (FileResult r = readForRewrite(&records); !r.ok)
        return r;
    const QString dataUpper =
        (paths::join(m_appFolder, QStringLiteral("Data")) + paths::separator()).trimmed().toUpper();
    records.removeIf([&](const FileListRecord& r) {
        QString folder;
        SplitPath(r.path, nullptr, &folder);
        return folder.trimmed().toUpper() == dataUpper;
    });
    // Dropping and re-scanning happen in one rewrite, so the list is never seen half-done.
    records += scanDataFolderRecords();
    return write(records);
}

FileResult RecentFileList::renameEntry(const QString& folder, const QString& oldName,
                                       const QString& finalName)
{
    const QString oldPath = folder + oldName;
    const QString newPath = folder + finalName;
    QList<FileListRecord> records;
    if (FileResult r = readForRewrite(&records); !r.ok)
        return r;
    if (oldPath != newPath) {
        if (FileResult r = renameNoReplace(oldPath, newPath); !r.ok)
            return r;
    }
    for (FileListRecord& rec : records) {
        if (rec.path == oldPath)
            rec.path = newPath;
    }
    FileResult r = write(records);
    if (!r.ok && oldPath != newPath)
        renameNoReplace(newPath, oldPath); // the list could not follow: put the file back
    return r;
}

QString applyRenameExtensionRule(const QString& newName, const QString& kindCode)
{
    const QString code = kindCode.toUpper();
    if (newName.size() > 3 && newName.right(3).toUpper() == code)
        return newName;
    return newName + QLatin1Char('.') + code;
}

QString checkNewDataFileName(const QString& name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" can not be used as a file name.").arg(name);
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringLiteral("\"/\\:*?<>|").contains(c)) {
            return QStringLiteral("A file name can not contain any of these characters:\r"
                                  "\" / \\ : * ? < > | or control characters.");
        }
    }
    return {};
}
