#include "platform/linux/PosixLauncher.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

QString PosixLauncher::resolveProgram(const QString& program)
{
    if (QFileInfo::exists(program))
        return program;
    const QFileInfo info(program);
    const QString found = paths::findIgnoringCase(info.absolutePath(), info.fileName());
    return found.isEmpty() ? program : paths::join(info.absolutePath(), found);
}

bool PosixLauncher::isWindowsExecutable(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(2) == "MZ";
}

FileResult PosixLauncher::start(const QString& program, const QString& argumentText)
{
    const QString resolved = resolveProgram(program);
    QList<QByteArray> args;
    // A Windows program runs through wine when wine is there; without it the start fails with the
    // system's own reason (exec format error).
    const QString wine = isWindowsExecutable(resolved)
                             ? QStandardPaths::findExecutable(QStringLiteral("wine"))
                             : QString();
    if (!wine.isEmpty())
        args.append(QFile::encodeName(wine));
    args.append(QFile::encodeName(resolved));
    for (const QString& a : argumentText.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        args.append(a.toLocal8Bit());

    // Everything the child needs is prepared before the fork.
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    // The tool starts with no blocked signals and none of ours ignored.
    sigset_t none, reset;
    sigemptyset(&none);
    sigemptyset(&reset);
    for (int sig : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGHUP, SIGTERM})
        sigaddset(&reset, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &reset);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        const int e = errno;
        posix_spawnattr_destroy(&attr);
        return FileResult::fromErrno(e);
    }
    const pid_t middle = ::fork();
    if (middle == 0) {
        pid_t child = 0;
        const int err = posix_spawn(&child, argv[0], nullptr, &attr, argv.data(), environ);
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
