#include "platform/linux/PosixFiles.h"

#ifndef Q_OS_WIN

#include <cerrno>
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

#endif
