#include "platform/LockFileInstanceGuard.h"

#include "base/FileResult.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
QString defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
#ifdef Q_OS_WIN
        folder = QDir::tempPath();
#else
        // One lock per user, also where no runtime folder is set up.
        return QDir::tempPath() + QStringLiteral("/Keldara-%1.lock").arg(::getuid());
#endif
    }
    return folder + QStringLiteral("/Keldara.lock");
}

QString unusableLock(const QString& path, const QString& why)
{
    return QStringLiteral("The instance lock ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" can not be used (") + why +
           QStringLiteral("), so Keldara can not tell whether it is already running.");
}
} // namespace

LockFileInstanceGuard::LockFileInstanceGuard(QString lockPath)
    : m_path(lockPath.isEmpty() ? defaultLockPath() : std::move(lockPath))
{}

#ifndef Q_OS_WIN

LockFileInstanceGuard::~LockFileInstanceGuard()
{
    release();
}

void LockFileInstanceGuard::release()
{
    if (m_fd >= 0)
        ::close(m_fd); // the lock ends with it; the file stays for the next start to take
    m_fd = -1;
    m_locked = false;
}

bool LockFileInstanceGuard::tryAcquire()
{
    if (m_locked)
        return true;
    m_problem.clear();
    const QByteArray name = QFile::encodeName(m_path);
    // Never through a link, never waiting on a pipe, never handed on to a started program.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    bool isFolder = false;
    if (fd < 0 && errno == EISDIR) {
        // A folder in the lock's place is no sign of a running instance. Locking the folder
        // itself still keeps two instances apart.
        isFolder = true;
        fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) {
        m_problem = unusableLock(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return true; // a lock we cannot use is not obeyed
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode) && !isFolder) {
        ::close(fd);
        m_problem = unusableLock(m_path, QStringLiteral("not an ordinary file"));
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK)
            return false; // a live instance holds it
        m_problem = unusableLock(m_path, QString::fromLocal8Bit(std::strerror(e)));
        return true;
    }
    if (isFolder) {
        m_problem = QStringLiteral("The instance lock ") + QDir::toNativeSeparators(m_path) +
                    QStringLiteral(" is a folder, not a file. Please remove it.");
    } else {
        // Whatever an earlier holder left is replaced by who holds it now, for people to read.
        const QByteArray info =
            QByteArray::number(QCoreApplication::applicationPid()) + "\nKeldara\n";
        if (::ftruncate(fd, 0) == 0) {
            const ssize_t written = ::pwrite(fd, info.constData(), size_t(info.size()), 0);
            Q_UNUSED(written); // only information: the lock holds without it
        }
    }
    m_fd = fd;
    m_locked = true;
    return true;
}

#else

LockFileInstanceGuard::~LockFileInstanceGuard()
{
    release();
}

void LockFileInstanceGuard::release()
{
    if (m_handle)
        CloseHandle(m_handle);
    m_handle = nullptr;
    m_locked = false;
}

bool LockFileInstanceGuard::tryAcquire()
{
    if (m_locked)
        return true;
    m_problem.clear();
    // Opened without sharing: while a live instance has it open, no other can.
    HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(m_path.utf16()), GENERIC_READ | GENERIC_WRITE,
                           0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const FileResult r = lastWindowsError();
        if (r.error == ERROR_SHARING_VIOLATION)
            return false;
        m_problem = unusableLock(m_path, r.errorText);
        return true;
    }
    m_handle = h;
    m_locked = true;
    return true;
}

#endif
