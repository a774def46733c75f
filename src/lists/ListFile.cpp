#include "lists/ListFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileResult truncatedListFailure()
{
    return FileResult::failure(62, QStringLiteral("Input past end of file"));
}

FileContent readWholeFile(const QString& path)
{
    FileContent c;
    QFile f(path);
    if (!f.exists())
        return c;
    c.exists = true;
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        c.result = FileResult::fromErrno(errno ? errno : EIO);
        return c;
    }
    c.data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        c.result = FileResult::fromErrno(errno ? errno : EIO);
    return c;
}

#ifndef Q_OS_WIN

namespace {

FileResult writeAll(int fd, const QByteArray& content)
{
    const char* p = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FileResult::fromErrno(errno);
        }
        p += n;
        left -= n;
    }
    return {};
}

void syncFolderOf(const QString& path)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

FileResult replaceFileAtomically(const QString& target, const QString& tempPath,
                                 const QByteArray& content,
                                 const std::function<void()>& beforeReplace)
{
    const QByteArray temp = QFile::encodeName(tempPath);
    if (::unlink(temp.constData()) != 0 && errno != ENOENT)
        return FileResult::fromErrno(errno);

    // Keep the list file's permissions when it has any; a new one gets the usual 0666 & umask.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        mode = st.st_mode & 07777;

    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return FileResult::fromErrno(errno);
    FileResult r = writeAll(fd, content);
    if (r.ok && ::fsync(fd) != 0)
        r = FileResult::fromErrno(errno);
    if (::close(fd) != 0 && r.ok)
        r = FileResult::fromErrno(errno);
    if (!r.ok) {
        ::unlink(temp.constData());
        return r;
    }
    if (beforeReplace)
        beforeReplace();
    if (::rename(temp.constData(), QFile::encodeName(target).constData()) != 0) {
        r = FileResult::fromErrno(errno);
        ::unlink(temp.constData());
        return r;
    }
    syncFolderOf(target);
    return {};
}

FileResult renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return FileResult::fromErrno(errno);
    // File systems without no-replace renames: a hard link fails on an existing name too.
    if (::link(src.constData(), dst.constData()) != 0)
        return FileResult::fromErrno(errno);
    if (::unlink(src.constData()) != 0) {
        const int e = errno;
        ::unlink(dst.constData());
        return FileResult::fromErrno(e);
    }
    return {};
}

#else

namespace {
LPCWSTR w(const QString& s)
{
    return reinterpret_cast<LPCWSTR>(s.utf16());
}
} // namespace

FileResult replaceFileAtomically(const QString& target, const QString& tempPath,
                                 const QByteArray& content,
                                 const std::function<void()>& beforeReplace)
{
    if (!DeleteFileW(w(tempPath)) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return lastWindowsError();
    HANDLE h = CreateFileW(w(tempPath), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastWindowsError();
    DWORD written = 0;
    FileResult r;
    if (!WriteFile(h, content.constData(), DWORD(content.size()), &written, nullptr) ||
        written != DWORD(content.size()) || !FlushFileBuffers(h))
        r = lastWindowsError();
    if (!CloseHandle(h) && r.ok)
        r = lastWindowsError();
    if (!r.ok) {
        DeleteFileW(w(tempPath));
        return r;
    }
    if (beforeReplace)
        beforeReplace();
    if (!MoveFileExW(w(tempPath), w(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        r = lastWindowsError();
        DeleteFileW(w(tempPath));
        return r;
    }
    return {};
}

FileResult renameNoReplace(const QString& from, const QString& to)
{
    if (!MoveFileExW(w(from), w(to), MOVEFILE_WRITE_THROUGH))
        return lastWindowsError();
    return {};
}

#endif
