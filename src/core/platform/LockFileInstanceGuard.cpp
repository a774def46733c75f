#include "platform/LockFileInstanceGuard.h"

#include "base/FileResult.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
const QString kLockName = QStringLiteral("Keldara.lock");

QString joined(const QString& folder, const QString& name)
{
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name;
}

QString unusableLock(const QString& path, const QString& why)
{
    return QStringLiteral("The instance lock ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" can not be used (") + why +
           QStringLiteral("), so Keldara can not tell whether it is already running.");
}

#ifndef Q_OS_WIN
QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a folder of these properties is not user `uid`'s own; empty when it is.
QString notOwn(const struct stat& st, uint uid)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("not a folder");
    if (st.st_uid != uid)
        return QStringLiteral("another user owns it");
    if ((st.st_mode & 07777) != 0700)
        return QStringLiteral("others may use it, mode %1")
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}
#endif
} // namespace

uint LockFileInstanceGuard::currentUser()
{
#ifdef Q_OS_WIN
    return 0;
#else
    return ::getuid();
#endif
}

QList<LockFileInstanceGuard::Place> LockFileInstanceGuard::userPlaces()
{
    QList<Place> places;
#ifdef Q_OS_WIN
    places.append({QDir::tempPath(), false}); // a folder of the user's own on Windows
#else
    // Not QStandardPaths: where the runtime folder is not set it falls back on a name in /tmp
    // that anyone may take first.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        places.append({QDir::cleanPath(runtime), false});
    // The same name from every session of the user's, with or without a runtime folder.
    places.append({QStringLiteral("/tmp/keldara-%1").arg(currentUser()), true});
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        cache = QDir::isAbsolutePath(home) ? home + QStringLiteral("/.cache") : QString();
    }
    if (!cache.isEmpty())
        places.append({QDir::cleanPath(cache + QStringLiteral("/keldara")), true});
#endif
    return places;
}

QString LockFileInstanceGuard::notOwnFolder(const QString& folder, uint uid)
{
#ifdef Q_OS_WIN
    Q_UNUSED(uid);
    return QFileInfo(folder).isDir() ? QString() : QStringLiteral("not a folder");
#else
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return errorText(errno);
    return notOwn(st, uid);
#endif
}

QString LockFileInstanceGuard::ownFolder(const QList<Place>& places, uint uid, QStringList* why)
{
    for (const Place& place : places) {
        if (place.make) {
#ifdef Q_OS_WIN
            QDir().mkpath(place.folder);
#else
            QDir().mkpath(QFileInfo(place.folder).path());
            // Made for the user alone; whatever stands there already (someone else's folder, a
            // link) stays as it is and is looked at below.
            ::mkdir(QFile::encodeName(place.folder).constData(), 0700);
#endif
        }
        const QString problem = notOwnFolder(place.folder, uid);
        if (problem.isEmpty())
            return place.folder;
        if (why)
            why->append(QDir::toNativeSeparators(place.folder) + QStringLiteral(": ") + problem);
    }
    return {};
}

LockFileInstanceGuard::LockFileInstanceGuard()
    : LockFileInstanceGuard(userPlaces(), currentUser(), kLockName)
{}

LockFileInstanceGuard::LockFileInstanceGuard(QList<Place> places, uint uid, QString name)
    : m_places(std::move(places))
    , m_uid(uid)
    , m_name(std::move(name))
{}

LockFileInstanceGuard::LockFileInstanceGuard(const QString& lockPath)
    : LockFileInstanceGuard({{QFileInfo(lockPath).path(), false}}, currentUser(),
                            QFileInfo(lockPath).fileName())
{}

QString LockFileInstanceGuard::lockPath() const
{
    return joined(m_locked ? m_heldFolder : ownFolder(m_places, m_uid), m_name);
}

QString LockFileInstanceGuard::channelPath() const
{
    // Beside the lock; the folder is looked at again, as it may have been opened to others.
    const QString folder =
        m_locked ? (notOwnFolder(m_heldFolder, m_uid).isEmpty() ? m_heldFolder : QString())
                 : ownFolder(m_places, m_uid);
    return joined(folder, m_name + QStringLiteral(".socket"));
}

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
    QStringList why;
    const QString folder = ownFolder(m_places, m_uid, &why);
    if (folder.isEmpty()) {
        // Not obeyed: a lock that another user could hold is no lock of the user's.
        m_problem = QStringLiteral("Keldara found no folder of your own for its instance lock (") +
                    why.join(QStringLiteral("; ")) +
                    QStringLiteral("), so it can not tell whether it is already running.");
        return true;
    }
    const QString path = joined(folder, m_name);
    // The folder as opened is looked at once more, so that it cannot be swapped in between.
    const int dir = ::open(QFile::encodeName(folder).constData(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) {
        m_problem = unusableLock(path, errorText(errno));
        return true;
    }
    struct stat ds {};
    const QString folderProblem = ::fstat(dir, &ds) == 0 ? notOwn(ds, m_uid) : errorText(errno);
    if (!folderProblem.isEmpty()) {
        ::close(dir);
        m_problem = unusableLock(path, folderProblem);
        return true;
    }
    const QByteArray name = QFile::encodeName(m_name);
    // Never through a link, never waiting on a pipe, never handed on to a started program.
    int fd = ::openat(dir, name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                      0600);
    bool isFolder = false;
    if (fd < 0 && errno == EISDIR) {
        // A folder in the lock's place is no sign of a running instance. Locking the folder
        // itself still keeps two instances apart.
        isFolder = true;
        fd = ::openat(dir, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    const int openError = errno;
    ::close(dir);
    if (fd < 0) {
        m_problem = unusableLock(path, errorText(openError));
        return true;
    }
    struct stat st {};
    QString fileProblem;
    if (::fstat(fd, &st) != 0)
        fileProblem = errorText(errno);
    else if (!S_ISREG(st.st_mode) && !isFolder)
        fileProblem = QStringLiteral("not an ordinary file");
    else if (st.st_uid != m_uid)
        fileProblem = QStringLiteral("another user owns it");
    if (!fileProblem.isEmpty()) {
        ::close(fd);
        m_problem = unusableLock(path, fileProblem);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK)
            return false; // a live instance holds it
        m_problem = unusableLock(path, errorText(e));
        return true;
    }
    if (isFolder) {
        m_problem = QStringLiteral("The instance lock ") + QDir::toNativeSeparators(path) +
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
    m_heldFolder = folder;
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
    const QString folder = ownFolder(m_places, m_uid);
    const QString path = joined(folder, m_name);
    // Opened without sharing: while a live instance has it open, no other can.
    HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const FileResult r = lastWindowsError();
        if (r.error == ERROR_SHARING_VIOLATION)
            return false;
        m_problem = unusableLock(path, r.errorText);
        return true;
    }
    m_handle = h;
    m_heldFolder = folder;
    m_locked = true;
    return true;
}

#endif
