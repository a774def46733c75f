#include "platform/LocalFileSystem.h"

#include "base/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include "platform/linux/PosixFiles.h"

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

FileResult LocalFileSystem::replace(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    const auto w = [](const QString& s) { return reinterpret_cast<const wchar_t*>(s.utf16()); };
    if (!MoveFileExW(w(from), w(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastWindowsError();
    return {};
#else
    if (::rename(paths::toNativeBytes(from).constData(), paths::toNativeBytes(to).constData()) == 0)
        return {};
    return FileResult::fromErrno(errno);
#endif
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
FileResult LocalFileSystem::create(const QString& path, int* handle)
{
    const errno_t e = _wsopen_s(handle, reinterpret_cast<const wchar_t*>(path.utf16()),
                                _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                _SH_DENYWR, _S_IREAD | _S_IWRITE);
    return e != 0 ? FileResult::fromErrno(e) : FileResult();
}

FileResult LocalFileSystem::write(int handle, QByteArrayView bytes)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const int n = _write(handle, p, unsigned(qMin<qsizetype>(left, 1 << 20)));
        if (n < 0)
            return FileResult::fromErrno(errno);
        p += n;
        left -= n;
    }
    return {};
}

FileResult LocalFileSystem::flush(int handle)
{
    return _commit(handle) != 0 ? FileResult::fromErrno(errno) : FileResult();
}

FileResult LocalFileSystem::close(int handle)
{
    return _close(handle) != 0 ? FileResult::fromErrno(errno) : FileResult();
}

FileResult LocalFileSystem::read(const QString& path, qsizetype limit, QByteArray* bytes)
{
    bytes->clear();
    QFile in(path);
    if (QFileInfo(path).isDir())
        return FileResult::fromErrno(EISDIR);
    if (!in.open(QIODevice::ReadOnly))
        return FileResult::failure(QFileInfo::exists(path) ? EACCES : ENOENT, in.errorString());
    *bytes = in.read(limit);
    if (in.error() != QFileDevice::NoError) {
        bytes->clear();
        return FileResult::fromErrno(EIO);
    }
    return {};
}
#else
FileResult LocalFileSystem::create(const QString& path, int* handle)
{
    return createNewFile(paths::toNativeBytes(path), handle);
}

FileResult LocalFileSystem::write(int handle, QByteArrayView bytes)
{
    return writeAll(handle, bytes);
}

FileResult LocalFileSystem::flush(int handle)
{
    return flushFile(handle);
}

FileResult LocalFileSystem::close(int handle)
{
    return closeFile(handle);
}

FileResult LocalFileSystem::read(const QString& path, qsizetype limit, QByteArray* bytes)
{
    return readFile(paths::toNativeBytes(path), limit, bytes);
}
#endif

namespace {
// The hidden file beside `file` that writeWhole writes first.
QString partFileOf(const QString& file)
{
    const QFileInfo info(file);
    // Hidden and without the shortcut extension, so that no list shows it halfway.
    return paths::join(info.path(), QLatin1Char('.') + info.fileName() + QStringLiteral(".part"));
}
} // namespace

FileResult writeWhole(FileSystem& files, const QString& file, const QByteArray& bytes,
                      const std::function<FileResult(const QByteArray& readBack)>& check,
                      bool replaceOld)
{
    const QString part = partFileOf(file);
    // What a crash between writing and renaming left there is ours to clear.
    if (files.isFile(part))
        files.remove(part);
    int handle = -1;
    if (FileResult r = files.create(part, &handle); !r.ok) {
        // Something of another's there (a folder, say) is named, and is no reason to think
        // that `file` stands already.
        if (r.alreadyExists())
            r = FileResult::failure(EEXIST, QString::fromLocal8Bit(std::strerror(EEXIST)) +
                                                QStringLiteral(": ") + part);
        return r;
    }
    FileResult r = files.write(handle, bytes);
    if (r.ok)
        r = files.flush(handle);
    // A close that fails after a good flush may still have lost the file's end.
    if (FileResult closed = files.close(handle); r.ok)
        r = closed;
    QByteArray back;
    if (r.ok)
        r = files.read(part, bytes.size() + 1, &back);
    if (r.ok && check)
        r = check(back);
    if (r.ok)
        r = replaceOld ? files.replace(part, file) : files.rename(part, file);
    if (!r.ok)
        files.remove(part);
    return r;
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
