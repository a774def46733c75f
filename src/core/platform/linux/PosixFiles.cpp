#include "platform/linux/PosixFiles.h"

#ifndef Q_OS_WIN

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileResult writeAll(int fd, QByteArrayView bytes)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
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

FileResult createNewFile(const QByteArray& path, int* fd)
{
    *fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    return *fd < 0 ? FileResult::fromErrno(errno) : FileResult();
}

FileResult flushFile(int fd)
{
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return FileResult::fromErrno(errno);
    }
    return {};
}

FileResult closeFile(int fd)
{
    // After an interrupted close the descriptor is gone on Linux: it is not closed again.
    if (::close(fd) != 0 && errno != EINTR)
        return FileResult::fromErrno(errno);
    return {};
}

FileResult readFile(const QByteArray& path, qsizetype limit, QByteArray* bytes)
{
    bytes->clear();
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return FileResult::fromErrno(errno);
    struct stat st {};
    FileResult r;
    if (::fstat(fd, &st) != 0)
        r = FileResult::fromErrno(errno);
    else if (S_ISDIR(st.st_mode))
        r = FileResult::fromErrno(EISDIR);
    else if (!S_ISREG(st.st_mode))
        r = FileResult::fromErrno(S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? ESPIPE : ENODEV);
    while (r.ok && bytes->size() < limit) {
        char buffer[16384];
        const ssize_t n =
            ::read(fd, buffer, size_t(qMin<qsizetype>(sizeof buffer, limit - bytes->size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            r = FileResult::fromErrno(errno);
        if (n <= 0)
            break;
        bytes->append(buffer, n);
    }
    ::close(fd);
    if (!r.ok)
        bytes->clear();
    return r;
}

#endif
