#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

// Faults that even root meets, for tests that run as root. Each is undone when it goes out of
// scope; `mounted` / `set` is false where the system does not allow it (the test then skips).

// A folder made read-only by binding it read-only onto itself; undone when it goes.
struct ReadOnlyFolder {
    QByteArray path;
    bool mounted = false;
    explicit ReadOnlyFolder(const QString& folder)
        : path(QFile::encodeName(folder))
    {
        mounted = ::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (mounted && ::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                               nullptr) != 0) {
            ::umount2(path.constData(), MNT_DETACH);
            mounted = false;
        }
    }
    ~ReadOnlyFolder()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
};

// A file that not even root may remove, for as long as this lives.
struct ImmutableFile {
    QByteArray path;
    bool set = false;
    explicit ImmutableFile(const QString& file)
        : path(QFile::encodeName(file))
    {
        set = change(true);
    }
    ~ImmutableFile()
    {
        if (set)
            change(false);
    }
    bool change(bool on) const
    {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
    }
};
