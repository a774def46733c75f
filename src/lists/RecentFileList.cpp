#include "lists/RecentFileList.h"

#include "base/Paths.h"
#include "lists/DataFileKind.h"
#include "lists/RecordCodec.h"
#include "platform/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

namespace {
constexpr int kFields = 3;

} // namespace

QString listDateText(const QDateTime& when)
{
    const QLocale locale;
    // The long time format carries the seconds; the time zone it may add is not wanted here.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

RecentFileList::RecentFileList(QString appFolder, FileSystem* files)
    : m_appFolder(std::move(appFolder))
    , m_file(paths::join(m_appFolder, QStringLiteral("QELFileList.txt")),
             paths::join(m_appFolder, QStringLiteral("qellist.tmp")), kFields)
    , m_ownFiles(files ? nullptr : std::make_shared<LocalFileSystem>())
    , m_files(files ? files : m_ownFiles.get())
{}

bool holdsPath(const QList<FileListRecord>& records, const QString& path)
{
    return std::any_of(records.begin(), records.end(),
                       [&](const FileListRecord& r) { return r.path == path; });
}

bool dataFileExists(FileSystem& files, const QString& path)
{
    // A file the user cannot see counts as missing, as a hidden file would on Windows.
    QString name;
    SplitPath(path, &name, nullptr);
    return !name.startsWith(QLatin1Char('.')) && files.isFile(path);
}

QString RecentFileList::listPath() const
{
    return m_file.path();
}

QString RecentFileList::tempPath() const
{
    return m_file.tempPath();
}

QString RecentFileList::dataFolder() const
{
    return paths::resolveIgnoringCase(m_appFolder, QStringLiteral("data")) + paths::separator();
}

RecentFileList::Contents RecentFileList::read() const
{
    return readRecords<FileListRecord>(listPath(), kFields, [](records::Fields& f) {
        return FileListRecord{std::move(f[0]), std::move(f[1]), std::move(f[2])};
    });
}

FileResult RecentFileList::TouchFileEntry(const QString& path, const QString& kindCode,
                                          const QDateTime& now)
{
    const QString date = listDateText(now);
    return m_file.rewrite([&](records::Document& doc, bool) {
        bool found = false;
        for (qsizetype i = 0; i < doc.lines().size(); ++i) {
            const records::Line& line = doc.lines()[i];
            if (line.isRecord() && line.field(1).compare(path, Qt::CaseInsensitive) == 0) {
                // The record keeps its own kind code and place.
                if (!doc.replace(i, {line.field(0), path, date}))
                    return unstorableName();
                found = true;
            }
        }
        if (!found && !doc.append({kindCode, path, date}))
            return unstorableName();
        return FileResult();
    });
}

FileResult RecentFileList::DeleteFileEntry(const QString& fullPath, DataFile dataFile,
                                           DeleteStep* failedAt, QList<records::TakenRecord>* taken)
{
    if (failedAt)
        *failedAt = DeleteStep::List;
    const bool removeFile = dataFile != DataFile::Keep;
    if (removeFile && !QDir::isAbsolutePath(fullPath))
        return FileResult::refused(
            QStringLiteral("The entry does not name a file by its full path"));
    const FileResult r = m_file.rewrite([&](records::Document& doc, bool exists) {
        // Without a list there is no entry to take off it, and so no file to delete.
        if (!exists && removeFile)
            return FileResult::fromErrno(ENOENT);
        const auto went =
            doc.takeRecordsIf([&](const records::Line& l) { return l.field(1) == fullPath; });
        if (taken)
            *taken = went;
        return FileResult();
    });
    if (!r.ok || !removeFile)
        return r;
    if (!m_files->isFile(fullPath))
        return {};
    if (failedAt)
        *failedAt = DeleteStep::DataFile;
    return m_files->remove(fullPath);
}

FileResult RecentFileList::putBack(const QList<records::TakenRecord>& taken)
{
    return m_file.rewrite([&](records::Document& doc, bool) {
        for (const records::TakenRecord& t : taken)
            doc.putBack(t);
        return FileResult();
    });
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
            const QString path = data + f.fileName();
            if (!records::isStorable(path))
                continue; // the list's format cannot hold this name
            found.append(
                FileListRecord{QLatin1String(kind.scanCode), path, listDateText(f.lastModified())});
        }
    }
    return found;
}

namespace {
// The scan's records as lines, encoded before the list is read.
QList<records::Line> encodeAll(const QList<FileListRecord>& scanned)
{
    QList<records::Line> lines;
    lines.reserve(scanned.size());
    for (const FileListRecord& r : scanned) {
        if (std::optional<records::Line> line =
                records::Line::record({r.kindCode, r.path, r.dateText}))
            lines.append(std::move(*line));
    }
    return lines;
}
} // namespace

FileResult RecentFileList::ScanDataFolder()
{
    const QList<records::Line> scanned = encodeAll(scanDataFolderRecords());
    return m_file.rewrite([&](records::Document& doc, bool exists) {
        if (!exists)
            doc.markChanged(); // the scan creates the list file even when it finds nothing
        for (const records::Line& line : scanned)
            doc.append(line);
        return FileResult();
    });
}

FileResult RecentFileList::SyncDataFolderEntries()
{
    // The folder scan is the slow part: it runs before the list is read, so that the window in
    // which another program's change would mean starting over stays short.
    const QList<records::Line> scanned = encodeAll(scanDataFolderRecords());
    const QString data = paths::join(m_appFolder, QStringLiteral("Data")) + paths::separator();
    const QStringView dataView = QStringView(data).trimmed();
    const QChar sep = paths::separator();
    return m_file.rewrite([&](records::Document& doc, bool exists) {
        doc.removeRecordsIf([&](const records::Line& l) {
            const QString path = l.field(1);
            const qsizetype cut = path.lastIndexOf(sep);
            if (cut < 0)
                return false;
            return QStringView(path).left(cut + 1).trimmed().compare(dataView,
                                                                     Qt::CaseInsensitive) == 0;
        });
        // Dropping and re-scanning happen in one rewrite, so the list is never seen half-done.
        for (const records::Line& line : scanned)
            doc.append(line);
        if (!exists)
            doc.markChanged();
        return FileResult();
    });
}

FileResult RecentFileList::renameEntry(const QString& folder, const QString& oldName,
                                       const QString& finalName)
{
    const QString oldPath = folder + oldName;
    const QString newPath = folder + finalName;
    if (!QDir::isAbsolutePath(oldPath))
        return FileResult::refused(
            QStringLiteral("The entry does not name a file by its full path"));
    // The list must be readable, and may be changed, before the file is touched.
    if (const FileContent c = readListFile(listPath()); !c.result.ok)
        return c.result;
    else if (c.readOnly)
        return FileResult::fromErrno(EACCES);
    if (oldPath != newPath) {
        if (FileResult r = m_files->rename(oldPath, newPath); !r.ok)
            return r;
    }
    FileResult r = m_file.rewrite([&](records::Document& doc, bool) {
        for (qsizetype i = 0; i < doc.lines().size(); ++i) {
            const records::Line& line = doc.lines()[i];
            if (line.isRecord() && line.field(1) == oldPath &&
                !doc.replace(i, {line.field(0), newPath, line.field(2)}))
                return unstorableName();
        }
        return FileResult();
    });
    if (!r.ok && oldPath != newPath)
        m_files->rename(newPath, oldPath); // the list could not follow: put the file back
    return r;
}

QString applyRenameExtensionRule(const QString& newName, const QString& kindCode)
{
    const QString code = kindCode.toUpper();
    if (newName.size() > 3 && newName.right(3).toUpper() == code)
        return newName;
    return newName + QLatin1Char('.') + code;
}
