// The list-file core on POSIX systems: non-blocking reads of ordinary files only, and an atomic
// exchange that proves which version of the file it displaced.
#include "base/Paths.h"
#include "lists/ListFileParts.h"
#include "platform/linux/PosixFiles.h"

#ifndef Q_OS_WIN

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace listfile;

namespace listfile {

FileIdentity identityFromStat(const struct stat& st)
{
    FileIdentity id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}

// The same version as `id` by content: a rename changes a file's status-change time, not these.
bool sameContentVersion(const struct stat& st, const FileIdentity& id)
{
    const FileIdentity now = identityFromStat(st);
    return now.device == id.device && now.inode == id.inode && now.size == id.size &&
           now.modifiedNs == id.modifiedNs;
}

// One read. `stable` is false when the file changed while it was read.
FileContent readOnce(const QString& path, bool* stable)
{
    FileContent c;
    *stable = true;
    // Non-blocking, so that opening a pipe never waits for a writer.
    const int fd = ::open(paths::toNativeBytes(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        c.exists = e != ENOENT;
        if (c.exists)
            c.result = FileResult::fromErrno(e);
        return c;
    }
    c.exists = true;
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        c.result = FileResult::fromErrno(errno);
    } else if (S_ISDIR(before.st_mode)) {
        c.result = FileResult::fromErrno(EISDIR);
    } else if (!S_ISREG(before.st_mode)) {
        // What a pipe answers to a seek, which a list file must take.
        c.result = notOrdinaryFile(path, S_ISFIFO(before.st_mode) || S_ISSOCK(before.st_mode)
                                             ? FileResult::Nearest::Pipe
                                             : FileResult::Nearest::Invalid);
    } else if (before.st_size > kMaxListFileSize) {
        c.result = tooLarge();
    } else {
        c.readOnly = (before.st_mode & S_IWUSR) == 0;
        // Exactly the file's size and one byte to see its end: a large list is not held twice.
        c.data = QByteArray(qsizetype(before.st_size) + 1, Qt::Uninitialized);
        qsizetype total = 0;
        while (true) {
            if (total == c.data.size()) {
                if (total > kMaxListFileSize) {
                    c.result = tooLarge();
                    break;
                }
                c.data.resize(qMin<qsizetype>(total * 2 + 4096, kMaxListFileSize + 1));
            }
            const ssize_t n = ::read(fd, c.data.data() + total, size_t(c.data.size() - total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                c.result = FileResult::fromErrno(errno);
                break;
            }
            if (n == 0)
                break;
            total += n;
        }
        c.data.truncate(total);
        struct stat after {};
        if (c.result.ok && ::fstat(fd, &after) == 0) {
            c.identity = identityFromStat(after);
            *stable = c.identity == identityFromStat(before) && total == after.st_size;
        }
    }
    ::close(fd);
    if (!c.result.ok)
        c.data.clear();
    return c;
}

void syncFolderOf(const QString& path)
{
    const int dir = ::open(paths::toNativeBytes(QFileInfo(path).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// What an exchange left at the temporary name, which stood at the list's name until then, is the
// version that was read: the list itself or a symbolic link that still leads to it, or, when
// there was no list, a link that still leads nowhere.
bool displacedIsExpected(const QByteArray& displaced, const FileIdentity& expected)
{
    struct stat st {};
    if (::stat(displaced.constData(), &st) == 0)
        return expected.exists && sameContentVersion(st, expected);
    return !expected.exists && errno == ENOENT;
}

// Writes `content` to the temporary file, flushes it, and renames it over the list's name (the
// file, or a symbolic link in its place) when what that name leads to is still the version
// `expected`.
Replaced replaceIfUnchanged(const QString& path, const QString& tempPath, const QByteArray& content,
                            const FileIdentity& expected,
                            const std::function<void()>& beforeReplace, FileResult* failure)
{
    const QByteArray temp = paths::toNativeBytes(tempPath);
    const QByteArray to = paths::toNativeBytes(path);
    // Something at the temporary name that cannot go (a folder) stops every rewrite until the
    // user takes it away: the message names it.
    const auto inTheWay = [&](FileResult r) {
        struct stat there {};
        return ::lstat(temp.constData(), &there) == 0 ? r.at(QDir::toNativeSeparators(tempPath))
                                                      : r;
    };
    if (::unlink(temp.constData()) != 0 && errno != ENOENT) {
        *failure = inTheWay(FileResult::fromErrno(errno));
        return Replaced::Failed;
    }
    // Keep the list file's permissions when it has any (through a link, those of the file it
    // leads to); a new one gets the usual 0666 & umask.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(to.constData(), &st) == 0)
        mode = st.st_mode & 07777;

    const int fd =
        ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0) {
        *failure = inTheWay(FileResult::fromErrno(errno));
        return Replaced::Failed;
    }
    FileResult r = writeAll(fd, content);
    // A change meanwhile makes this attempt void: give it up before the costly flush.
    const bool changed = r.ok && !(identityOf(path) == expected);
    if (r.ok && !changed && ::fsync(fd) != 0)
        r = FileResult::fromErrno(errno);
    if (::close(fd) != 0 && r.ok)
        r = FileResult::fromErrno(errno);
    if (!r.ok || changed) {
        ::unlink(temp.constData());
        *failure = r;
        return changed ? Replaced::FileChanged : Replaced::Failed;
    }
    // The last look before the swap.
    if (!(identityOf(path) == expected)) {
        ::unlink(temp.constData());
        return Replaced::FileChanged;
    }
    if (beforeReplace)
        beforeReplace();
    // A missing list may still have a name in the folder: a symbolic link that leads nowhere.
    struct stat standing {};
    const bool nameTaken = ::lstat(to.constData(), &standing) == 0;
    if (!expected.exists && !nameTaken) {
        // The list was missing: the new one goes in only while no other program has made one.
        if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) ==
            0) {
            syncFolderOf(path);
            return Replaced::Done;
        }
        if (errno == EEXIST) {
            ::unlink(temp.constData());
            return Replaced::FileChanged;
        }
    } else if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) ==
               0) {
        // One atomic swap, after which the temporary name holds what was at the list's name: the
        // list, or a symbolic link (which goes, and the file it leads to stays as it was). If
        // that is the version that was read, nothing can have been lost. If another program's
        // version slipped in after the last look, it goes straight back, and the rewrite starts
        // again from it.
        const bool same = displacedIsExpected(temp, expected);
        if (!same && ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, to.constData(),
                                 RENAME_EXCHANGE) != 0) {
            *failure = FileResult::fromErrno(errno);
            return Replaced::Failed; // the other version stays in the temporary file
        }
        ::unlink(temp.constData());
        if (!same)
            return Replaced::FileChanged;
        syncFolderOf(path);
        return Replaced::Done;
    } else if (errno == ENOENT) {
        ::unlink(temp.constData()); // the list went away after the last look
        return Replaced::FileChanged;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        *failure = FileResult::fromErrno(errno);
        ::unlink(temp.constData());
        return Replaced::Failed;
    }
    // A file system without these renames: the last look above has to do. A rename replaces a
    // symbolic link, not the file it leads to.
    if (::rename(temp.constData(), to.constData()) != 0) {
        *failure = FileResult::fromErrno(errno);
        ::unlink(temp.constData());
        return Replaced::Failed;
    }
    syncFolderOf(path);
    return Replaced::Done;
}

} // namespace listfile

FileIdentity identityOf(const QString& path)
{
    struct stat st {};
    if (::stat(paths::toNativeBytes(path).constData(), &st) != 0)
        return {};
    return identityFromStat(st);
}

#endif
