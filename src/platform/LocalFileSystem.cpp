#include "platform/LocalFileSystem.h"

#include "base/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool LocalFileSystem::isFile(const QString& path)
{
#ifdef Q_OS_WIN
    return QFileInfo(path).isFile();
#else
    struct stat st {};
    return ::stat(paths::toNativeBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

Presence presenceAfterError(int error)
{
#ifdef Q_OS_WIN
    (void)error;
    return Presence::Absent;
#else
    switch (error) {
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ESTALE:
    case ETIMEDOUT:
    case EIO:
        return Presence::NotAnswering;
    default:
        return Presence::Absent;
    }
#endif
}

Presence LocalFileSystem::presence(const QString& path)
{
#ifdef Q_OS_WIN
    return isFile(path) ? Presence::There : Presence::Absent;
#else
    struct stat st {};
    if (::stat(paths::toNativeBytes(path).constData(), &st) == 0)
        return S_ISREG(st.st_mode) ? Presence::There : Presence::Absent;
    return presenceAfterError(errno);
#endif
}

bool LocalFileSystem::exists(const QString& path)
{
    // A link that leads nowhere is still something in the way of the name.
#ifdef Q_OS_WIN
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
#else
    struct stat st {};
    return ::lstat(paths::toNativeBytes(path).constData(), &st) == 0;
#endif
}

FileResult LocalFileSystem::rename(const QString& from, const QString& to)
{
    return renameNoReplace(from, to);
}

FileResult LocalFileSystem::remove(const QString& path)
{
#ifdef Q_OS_WIN
    if (QFile(path).remove())
        return {};
    return lastWindowsError();
#else
    if (::unlink(paths::toNativeBytes(path).constData()) == 0)
        return {};
    return FileResult::fromErrno(errno);
#endif
}

#ifdef Q_OS_WIN
FileResult renameNoReplace(const QString& from, const QString& to)
{
    const auto w = [](const QString& s) { return reinterpret_cast<const wchar_t*>(s.utf16()); };
    if (!MoveFileExW(w(from), w(to), MOVEFILE_WRITE_THROUGH))
        return lastWindowsError();
    return {};
}
#else
FileResult renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray src = paths::toNativeBytes(from);
    const QByteArray dst = paths::toNativeBytes(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return FileResult::fromErrno(errno);
    // A file system without no-replace renames. A hard link fails on an existing name; a folder
    // cannot be linked, and is renamed after a last look, as is a file where links cannot be
    // made.
    struct stat st {};
    if (::lstat(src.constData(), &st) != 0)
        return FileResult::fromErrno(errno);
    if (S_ISDIR(st.st_mode)) {
        if (::lstat(dst.constData(), &st) == 0)
            return FileResult::fromErrno(EEXIST);
        return ::rename(src.constData(), dst.constData()) == 0 ? FileResult()
                                                               : FileResult::fromErrno(errno);
    }
    if (::link(src.constData(), dst.constData()) != 0) {
        // Many network shares hold no hard links either: there the last look has to do.
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
            return FileResult::fromErrno(errno);
        if (::lstat(dst.constData(), &st) == 0)
            return FileResult::fromErrno(EEXIST);
        return ::rename(src.constData(), dst.constData()) == 0 ? FileResult()
                                                               : FileResult::fromErrno(errno);
    }
    if (::unlink(src.constData()) != 0) {
        const int e = errno;
        ::unlink(dst.constData());
        return FileResult::fromErrno(e);
    }
    return {};
}
#endif
