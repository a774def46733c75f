#include "platform/linux/Spawn.h"

#ifndef Q_OS_WIN

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

FileResult spawnDetached(const QList<QByteArray>& argv)
{
    if (argv.isEmpty())
        return FileResult::fromErrno(EINVAL);

    // Everything the child needs is prepared before the fork.
    QList<QByteArray> args = argv;
    std::vector<char*> pointers;
    for (QByteArray& a : args)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t none, reset;
    sigemptyset(&none);
    sigemptyset(&reset);
    for (int sig : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGHUP, SIGTERM})
        sigaddset(&reset, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &reset);

    // The intermediate process reports posix_spawn's result through the pipe.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        const int e = errno;
        posix_spawnattr_destroy(&attr);
        return FileResult::fromErrno(e);
    }
    const pid_t middle = ::fork();
    if (middle == 0) {
        pid_t child = 0;
        const int err = posix_spawn(&child, pointers[0], nullptr, &attr, pointers.data(), environ);
        ssize_t ignored = ::write(report[1], &err, sizeof err);
        (void)ignored;
        ::_exit(0);
    }
    const int forkErrno = errno;
    ::close(report[1]);
    posix_spawnattr_destroy(&attr);
    if (middle < 0) {
        ::close(report[0]);
        return FileResult::fromErrno(forkErrno);
    }
    int err = EIO;
    ssize_t n;
    do
        n = ::read(report[0], &err, sizeof err);
    while (n < 0 && errno == EINTR);
    ::close(report[0]);
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (n != sizeof err)
        err = EIO;
    if (err != 0)
        return FileResult::fromErrno(err);
    return {};
}

#endif
