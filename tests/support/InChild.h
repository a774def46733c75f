#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

// Runs `body` in a forked child and returns its exit code, or 128 + the signal that ended it.
inline int inChild(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Tests run as root, which may read and write anywhere: a child that must meet permissions
// becomes an ordinary user first. False when it could not.
inline bool becomeOrdinaryUser()
{
    return getuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
}
