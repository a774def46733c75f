// The desktop's trash in our own code. Qt 6.4's QFile::moveToTrash tries the next name for ever
// when the trash's folders exist but cannot be written, and where it cannot make the home trash
// it takes the current folder for one; here every step either works or is reported at once.
#include "platform/linux/XdgTrash.h"

#include "base/Paths.h"

#include "platform/FileSystem.h"
#include "platform/linux/PosixFiles.h"

#ifndef Q_OS_WIN

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How many names (NAME, NAME.2, NAME.3 ...) a file may try in the trash before it gives up.
constexpr int kNameAttempts = 1000;
// The largest record that is read back; real ones hold a path and a date.
constexpr qsizetype kMaxInfoSize = 64 * 1024;

const QString kInfoSuffix = QStringLiteral(".trashinfo");

QByteArray native(const QString& path)
{
    return paths::toNativeBytes(path);
}

FileResult lastError()
{
    return FileResult::fromErrno(errno);
}

QString uidText()
{
    return QString::number(::getuid());
}

// A trash folder, and the folder the paths of its records are relative to (empty for the home
// trash, whose records hold absolute paths).
struct TrashFolder {
    QString root;
    QString topDir;
};

// Makes `path` a folder of mode 0700 unless something is there already, which then must be a
// folder. A `strict` one must also be the user's own and no symbolic link, as a trash on a shared
// drive must be.
FileResult ensureFolder(const QString& path, bool strict)
{
    const QByteArray p = native(path);
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST)
        return lastError();
    struct stat st {};
    if ((strict ? ::lstat(p.constData(), &st) : ::stat(p.constData(), &st)) != 0)
        return lastError();
    if (!S_ISDIR(st.st_mode))
        return FileResult::fromErrno(ENOTDIR);
    if (strict && st.st_uid != ::getuid())
        return FileResult::fromErrno(EPERM);
    return {};
}

FileResult ensureTrashFolders(const QString& root, bool strict)
{
    if (FileResult r = ensureFolder(root, strict); !r.ok)
        return r;
    if (FileResult r = ensureFolder(root + QStringLiteral("/files"), strict); !r.ok)
        return r;
    return ensureFolder(root + QStringLiteral("/info"), strict);
}

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash; empty when there is no absolute home.
QString homeTrash()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        const QString home = QDir::homePath();
        if (!QDir::isAbsolutePath(home) || home == QDir::rootPath())
            return {};
        data = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data) + QStringLiteral("/Trash");
}

// The device `path` is on, or would be on when made: that of its nearest existing folder.
bool deviceOf(QString path, dev_t* device)
{
    struct stat st {};
    while (::stat(native(path).constData(), &st) != 0) {
        if (errno != ENOENT || path == QDir::rootPath())
            return false;
        path = QFileInfo(path).path();
    }
    *device = st.st_dev;
    return true;
}

// The folders of the home trash, with every missing folder on the way made 0700 as the desktop's
// data folders are.
FileResult makeHomeTrash(const QString& root)
{
    QString made;
    for (const QString& part : QFileInfo(root).path().split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        if (::mkdir(native(made).constData(), 0700) != 0 && errno != EEXIST)
            return lastError();
    }
    return ensureTrashFolders(root, false);
}

// The top folder of the mount that holds `folder` (an absolute path without symbolic links):
// the highest folder above it on the same device. A bind mount of a folder of the same device
// can take this past its own top; the rename into that trash then fails (EXDEV) and is reported.
QString mountTop(const QString& folder, dev_t device)
{
    QString top = folder;
    while (top != QDir::rootPath()) {
        const QString up = QFileInfo(top).path();
        struct stat st {};
        if (::stat(native(up).constData(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The trash of a drive: $topdir/.Trash/$uid when the administrator made $topdir/.Trash (a real
// folder, sticky so that no user can take another's), else the user's own $topdir/.Trash-$uid.
FileResult driveTrash(const QString& topDir, TrashFolder* trash)
{
    const QString shared = joined(topDir, QStringLiteral(".Trash"));
    struct stat st {};
    if (::lstat(native(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX) != 0) {
        const QString mine = shared + QLatin1Char('/') + uidText();
        if (ensureTrashFolders(mine, true).ok) {
            *trash = {mine, topDir};
            return {};
        }
    }
    const QString own = joined(topDir, QStringLiteral(".Trash-") + uidText());
    if (FileResult r = ensureTrashFolders(own, true); !r.ok)
        return r;
    *trash = {own, topDir};
    return {};
}

QByteArray infoRecord(const TrashFolder& trash, const QString& original)
{
    const QString path =
        trash.topDir.isEmpty() ? original : QDir(trash.topDir).relativeFilePath(original);
    return "[Trash Info]\nPath=" + native(path).toPercentEncoding("/") + "\nDeletionDate=" +
           QDateTime::currentDateTime()
               .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
               .toLatin1() +
           "\n";
}

struct Recorded {
    QString path;
    QByteArray deletedAt;
};

// The path (as written, maybe relative) and deletion date of a record's text.
Recorded recordOf(const QByteArray& text)
{
    Recorded r;
    bool inGroup = false;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('['))
            inGroup = line == "[Trash Info]";
        else if (inGroup && line.startsWith("Path=") && r.path.isEmpty())
            r.path = paths::fromNativeBytes(QByteArray::fromPercentEncoding(line.mid(5)));
        else if (inGroup && line.startsWith("DeletionDate=") && r.deletedAt.isEmpty())
            r.deletedAt = line.mid(13);
    }
    return r;
}

// The trashed file's identity, as the move left it.
void identify(const QString& file, TrashedFile* where)
{
    struct stat st {};
    if (::lstat(native(file).constData(), &st) != 0)
        return;
    where->size = st.st_size;
    where->modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    where->inode = st.st_ino;
    where->device = st.st_dev;
}

// Writes the record under the first free name and renames the file into files/ under the same
// name. Names are taken by creating the record exclusively, so that two moves at once, in this
// program or another, never take the same one.
FileResult moveInto(const TrashFolder& trash, const QString& original, TrashedFile* where)
{
    const QString name = QFileInfo(original).fileName();
    const QByteArray record = infoRecord(trash, original);
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        const QString candidate =
            attempt == 1 ? name : name + QLatin1Char('.') + QString::number(attempt);
        const QString file = trash.root + QStringLiteral("/files/") + candidate;
        // A file left in files/ without its record keeps its name too.
        struct stat st {};
        if (::lstat(native(file).constData(), &st) == 0)
            continue;
        if (errno != ENOENT)
            return lastError();
        const QString info = trash.root + QStringLiteral("/info/") + candidate + kInfoSuffix;
        const QByteArray infoName = native(info);
        const int fd = ::open(infoName.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return lastError();
        }
        FileResult r = writeAll(fd, record);
        if (r.ok && ::fsync(fd) != 0)
            r = lastError();
        if (::close(fd) != 0 && r.ok)
            r = lastError();
        if (r.ok)
            r = renameNoReplace(original, file);
        if (!r.ok) {
            ::unlink(infoName.constData());
            return r;
        }
        *where = TrashedFile();
        where->originalPath = original;
        where->trashedPath = file;
        where->infoPath = info;
        where->deletedAt = QString::fromLatin1(recordOf(record).deletedAt);
        identify(file, where);
        return {};
    }
    return FileResult::fromErrno(EEXIST);
}

// The original path and the deletion date a record holds, the path absolute; empty when the
// record holds none or cannot be read.
Recorded recordedIn(const QString& infoPath)
{
    QByteArray text;
    const int fd = ::open(native(infoPath).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    text.resize(kMaxInfoSize);
    const ssize_t n = ::read(fd, text.data(), size_t(text.size()));
    ::close(fd);
    if (n < 0)
        return {};
    text.truncate(n);
    Recorded r = recordOf(text);
    if (r.path.isEmpty() || QDir::isAbsolutePath(r.path)) {
        r.path = r.path.isEmpty() ? QString() : QDir::cleanPath(r.path);
        return r;
    }
    // Relative to the drive's top folder: the one above .Trash-$uid, or above .Trash/$uid.
    const QFileInfo root(QDir::cleanPath(QFileInfo(infoPath).path() + QStringLiteral("/..")));
    QFileInfo top(root.path());
    if (root.fileName() == uidText() && top.fileName() == QStringLiteral(".Trash"))
        top = QFileInfo(top.path());
    r.path = QDir::cleanPath(joined(top.filePath(), r.path));
    return r;
}

} // namespace

FileResult XdgTrash::moveToTrash(const QString& path, TrashedFile* where)
{
    if (path.isEmpty())
        return FileResult::fromErrno(ENOENT);
    const QFileInfo given(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    struct stat st {};
    if (::lstat(native(given.filePath()).constData(), &st) != 0)
        return lastError();
    if (given.fileName().isEmpty())
        return FileResult::fromErrno(EBUSY); // the root folder
    // The folder as it really is, so that the mount's top folder is found above it; the file
    // itself is not followed (a link goes to the trash as a link).
    char* real = ::realpath(native(given.path()).constData(), nullptr);
    if (!real)
        return lastError();
    const QString folder = paths::fromNativeBytes(real);
    ::free(real);
    const QString original = joined(folder, given.fileName());
    struct stat folderStat {};
    if (::stat(native(folder).constData(), &folderStat) != 0)
        return lastError();

    TrashFolder trash;
    dev_t homeDevice = 0;
    const QString home = homeTrash();
    if (!home.isEmpty() && deviceOf(home, &homeDevice) && homeDevice == folderStat.st_dev) {
        if (FileResult r = makeHomeTrash(home); !r.ok)
            return r;
        trash.root = home;
    } else if (FileResult r = driveTrash(mountTop(folder, folderStat.st_dev), &trash); !r.ok) {
        return r;
    }
    TrashedFile done;
    if (FileResult r = moveInto(trash, original, &done); !r.ok)
        return r;
    if (where)
        *where = done;
    return {};
}

FileResult XdgTrash::restore(const TrashedFile& what)
{
    // The record and the file must be a pair: info/NAME.trashinfo and files/NAME.
    const QFileInfo info(what.infoPath);
    const QFileInfo file(what.trashedPath);
    if (!info.fileName().endsWith(kInfoSuffix) ||
        info.fileName().chopped(kInfoSuffix.size()) != file.fileName() ||
        QDir::cleanPath(info.path() + QStringLiteral("/../files")) != QDir::cleanPath(file.path()))
        return FileResult::fromErrno(EINVAL);
    // The record and the file must still be the ones the move made: the user may have emptied
    // the trash and trashed another file of the same name since.
    const Recorded recorded = recordedIn(what.infoPath);
    TrashedFile now = what;
    identify(what.trashedPath, &now);
    struct stat inTrash {};
    if (recorded.path.isEmpty() || ::lstat(native(what.trashedPath).constData(), &inTrash) != 0 ||
        QString::fromLatin1(recorded.deletedAt) != what.deletedAt)
        return FileResult::fromErrno(ENOENT);
    if (recorded.path != QDir::cleanPath(what.originalPath))
        return FileResult::refused(
            QStringLiteral("The trash no longer records that this file came from ") +
            what.originalPath);
    if (!(now == what))
        return FileResult::fromErrno(ENOENT);
    struct stat st {};
    if (::lstat(native(what.originalPath).constData(), &st) == 0)
        return FileResult::fromErrno(EEXIST);
    if (errno != ENOENT)
        return lastError();
    if (FileResult r = renameNoReplace(what.trashedPath, what.originalPath); !r.ok)
        return r;
    // The file is back; a record that will not go only leaves the trash listing a missing file.
    ::unlink(native(what.infoPath).constData());
    return {};
}

#endif
