#include "lists/DataFolder.h"

#include "base/Paths.h"
#include "base/TextOrder.h"
#include "lists/DataFileKind.h"
#include "lists/ListDates.h"
#include "lists/RecordCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {
// A file of the data folder: its name (bytes kept, see paths::fromNativeBytes) and when it last
// changed.
struct FolderFile {
    QString name;
    QDateTime modified;
};

// The ordinary, unhidden files of `folder`; empty when it cannot be listed.
QList<FolderFile> ordinaryFiles(const QString& folder)
{
    QList<FolderFile> files;
#ifdef Q_OS_WIN
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot))
        files.append({f.fileName(), f.lastModified()});
#else
    // Read as bytes: Qt would turn a name that is no UTF-8 into another name.
    DIR* dir = ::opendir(paths::toNativeBytes(folder).constData());
    if (!dir)
        return files;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue; // hidden, or "." and ".."
        struct stat st {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        const QDateTime modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 +
                                                                  st.st_mtim.tv_nsec / 1000000);
        files.append({paths::fromNativeBytes(e->d_name), modified});
    }
    ::closedir(dir);
#endif
    return files;
}

// Whether `path` names a file directly in `folder` (which ends in a separator), in any letter
// case, with blanks around either.
bool isDirectlyIn(const QString& path, QStringView folder)
{
    const qsizetype cut = path.lastIndexOf(paths::separator());
    return cut >= 0 && QStringView(path).left(cut + 1).trimmed().compare(folder.trimmed(),
                                                                         Qt::CaseInsensitive) == 0;
}
} // namespace

DataFolder::DataFolder(const QString& appFolder)
    : m_appFolder(appFolder)
    , m_asListed(paths::join(appFolder, QStringLiteral("Data")) + paths::separator())
{}

QString DataFolder::dataFolder() const
{
    return paths::resolveIgnoringCase(m_appFolder, QStringLiteral("data")) + paths::separator();
}

bool DataFolder::isInDataFolder(const QString& path) const
{
    return isDirectlyIn(path, m_asListed);
}

QList<FileListRecord> DataFolder::scanDataFolderRecords() const
{
    QList<FileListRecord> found;
    const QString data = dataFolder();
    QList<FolderFile> files = ordinaryFiles(data);
    // The order a Windows file system lists them in, so every machine shows the same.
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) {
        return compareIgnoringCase(a.name, b.name) < 0;
    });
    for (const DataFileKind& kind : dataFileKinds()) {
        const QLatin1String extension(kind.extension);
        for (const FolderFile& f : files) {
            if (!f.name.endsWith(extension, Qt::CaseInsensitive))
                continue;
            const QString path = data + f.name;
            if (!records::isStorable(path))
                continue; // the list's format cannot hold this name
            found.append(
                FileListRecord{QLatin1String(kind.scanCode), path, listDateText(f.modified)});
        }
    }
    return found;
}
