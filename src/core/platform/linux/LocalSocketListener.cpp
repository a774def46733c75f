#include "platform/linux/LocalSocketListener.h"

#ifndef Q_OS_WIN

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int acceptOne(int listener)
{
#ifdef __linux__
    return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
#else
    const int fd = ::accept(listener, nullptr, nullptr);
    if (fd >= 0) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return fd;
#endif
}

} // namespace

LocalSocketListener::LocalSocketListener(QString path, Hooks hooks)
    : m_path(std::move(path))
    , m_hooks(std::move(hooks))
    , m_peerUser(::getuid())
{}

LocalSocketListener::~LocalSocketListener()
{
    close();
}

std::optional<uint> LocalSocketListener::peerUserOf(qintptr fd)
{
#ifdef SO_PEERCRED
    struct ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0)
        return std::nullopt;
    return uint(cred.uid);
#else
    uid_t uid = 0;
    gid_t gid = 0;
    if (::getpeereid(int(fd), &uid, &gid) != 0)
        return std::nullopt;
    return uint(uid);
#endif
}

bool LocalSocketListener::hasBytesWaiting(qintptr fd)
{
    char c = 0;
    return ::recv(int(fd), &c, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

bool LocalSocketListener::listen()
{
    return bindSocket();
}

void LocalSocketListener::close()
{
    closeSocket();
    if (m_pause)
        m_pause->stop();
    if (m_spare >= 0)
        ::close(m_spare);
    m_spare = -1;
}

bool LocalSocketListener::bindSocket()
{
    const QByteArray name = QFile::encodeName(m_path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // We hold the lock: a socket still there belongs to an instance that no longer runs.
    ::unlink(name.constData());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    struct stat st {};
    if (::chmod(name.constData(), 0600) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
        ::stat(name.constData(), &st) != 0) {
        ::close(fd);
        ::unlink(name.constData());
        return false;
    }
    m_listener = fd;
    m_inode = st.st_ino;
    m_notifier = std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { acceptWaiting(); });
    keepSpare();
    return true;
}

void LocalSocketListener::closeSocket()
{
    m_notifier.reset();
    if (m_listener < 0)
        return;
    ::close(m_listener);
    m_listener = -1;
    // Only the socket we made: a later instance may already have put its own there.
    const QByteArray name = QFile::encodeName(m_path);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_ino == m_inode)
        ::unlink(name.constData());
}

void LocalSocketListener::acceptWaiting()
{
    // A batch at a time, so that the connections taken are read between the batches.
    for (int round = 0; round < 64 && m_listener >= 0; ++round) {
        const int fd = acceptOne(m_listener);
        if (fd >= 0) {
            m_pauseMs = 0;
            const std::optional<uint> user = peerUserOf(fd);
            if (!user || *user != m_peerUser) {
                ::close(fd); // another user's: nothing is taken from it, nothing said to it
                continue;
            }
            // When all places are taken, one that has not said a word yet gets none (a later
            // start says all it has as soon as it is connected, and tries again when turned
            // away), so a flood costs little and the queue behind it moves on at once.
            if (m_hooks.full() && !hasBytesWaiting(fd)) {
                ::close(fd);
                continue;
            }
            m_hooks.accepted(fd);
            continue;
        }
        switch (errno) {
        case EINTR:
        case ECONNABORTED:
        case EPROTO:
            continue;
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
            return;
        case EMFILE:
        case ENFILE:
        case ENOBUFS:
        case ENOMEM:
            // No descriptor for the connection, which waits in the queue meanwhile: one of
            // ours makes room for it, else the spare; with neither, accepting pauses a moment.
            if (m_hooks.makeRoom())
                continue;
            if (m_spare >= 0) {
                ::close(m_spare);
                m_spare = -1;
                continue;
            }
            pauseAccepting(false);
            return;
        default:
            // The listening socket itself is broken: a new one, after a pause.
            pauseAccepting(true);
            return;
        }
    }
}

void LocalSocketListener::pauseAccepting(bool relisten)
{
    m_pauseMs = std::clamp(m_pauseMs * 2, 50, 1000);
    m_relisten = m_relisten || relisten;
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (!m_pause) {
        m_pause = std::make_unique<QTimer>();
        m_pause->setSingleShot(true);
        QObject::connect(m_pause.get(), &QTimer::timeout, [this] {
            keepSpare();
            if (m_relisten) {
                closeSocket();
                if (!bindSocket()) {
                    pauseAccepting(true);
                    return;
                }
                m_relisten = false;
            } else if (m_notifier) {
                m_notifier->setEnabled(true);
            }
        });
    }
    m_pause->start(m_pauseMs);
}

void LocalSocketListener::keepSpare()
{
    if (m_spare < 0 && m_listener >= 0)
        m_spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

#endif
