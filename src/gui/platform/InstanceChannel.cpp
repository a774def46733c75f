#include "platform/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstring>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

struct InstanceChannel::Reading {
    QByteArray bytes;
    bool done = false;
};

namespace {
#ifndef Q_OS_WIN
// The user on the other end of a connected local socket.
std::optional<uint> peerUserOf(qintptr fd)
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

bool hasBytesWaiting(qintptr fd)
{
    char c = 0;
    return ::recv(int(fd), &c, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

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
#endif
} // namespace

InstanceChannel::InstanceChannel(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
#ifdef Q_OS_WIN
    , m_peerUser(0)
#else
    , m_peerUser(::getuid())
#endif
{}

InstanceChannel::~InstanceChannel()
{
    close();
}

int& InstanceChannel::senderPatienceMs()
{
    static int ms = 3000;
    return ms;
}

bool InstanceChannel::listen(std::function<void(const HandOver&)> received)
{
    m_received = std::move(received);
#ifdef Q_OS_WIN
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket still there belongs to an instance that no longer runs.
    QLocalServer::removeServer(m_path);
    if (!m_server->listen(m_path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection())
            serve(peer);
    });
    return true;
#else
    // Not QLocalServer: when an accept fails, for want of descriptors too, it closes itself and
    // removes the socket, and no later start could reach this instance again.
    return bindSocket();
#endif
}

void InstanceChannel::close()
{
    while (!m_peers.empty())
        drop(m_peers.front().socket);
#ifdef Q_OS_WIN
    delete m_server;
    m_server = nullptr;
#else
    closeSocket();
    if (m_pause)
        m_pause->stop();
    if (m_spare >= 0)
        ::close(m_spare);
    m_spare = -1;
#endif
}

void InstanceChannel::serve(QLocalSocket* peer)
{
    if (m_peers.size() >= size_t(kMaxPeers))
        makeRoom();
    auto reading = std::make_shared<Reading>();
    m_peers.push_back({peer, reading});
    connect(peer, &QLocalSocket::disconnected, this, [this, peer] { forget(peer); });
    // A sender that stops half-way, or never begins, is not waited for.
    QTimer::singleShot(senderPatienceMs(), peer, [this, peer] { drop(peer); });
    connect(peer, &QLocalSocket::readyRead, this, [this, peer, reading] {
        if (reading->done)
            return;
        // Never more than one byte past the largest message: that is enough to refuse it.
        reading->bytes.append(peer->read(HandOver::kMaxMessage + 1 - reading->bytes.size()));
        const HandOverReading d = HandOver::decode(reading->bytes);
        if (d.refused) {
            reading->done = true;
            drop(peer);
            return;
        }
        if (!d.complete)
            return;
        reading->done = true;
        reading->bytes.clear();
        peer->write(kTaken, qint64(std::strlen(kTaken)));
        peer->disconnectFromServer();
        // Handled from the event loop, apart from this socket's own handler: what it sets going
        // may ask the user.
        QMetaObject::invokeMethod(
            this,
            [this, message = d.message] {
                if (m_received)
                    m_received(message);
            },
            Qt::QueuedConnection);
    });
}

// Pushes out the oldest connection that has said nothing yet (a later start says all it has at
// once), else the oldest.
void InstanceChannel::makeRoom()
{
    if (m_peers.empty())
        return;
    const auto silent = [](const Peer& p) {
        if (p.reading->done || !p.reading->bytes.isEmpty() || p.socket->bytesAvailable() > 0)
            return false;
#ifndef Q_OS_WIN
        if (hasBytesWaiting(p.socket->socketDescriptor()))
            return false;
#endif
        return true;
    };
    const auto victim = std::find_if(m_peers.begin(), m_peers.end(), silent);
    drop(victim != m_peers.end() ? victim->socket : m_peers.front().socket);
}

void InstanceChannel::drop(QLocalSocket* peer)
{
    forget(peer);
    peer->abort();
}

void InstanceChannel::forget(QLocalSocket* peer)
{
    const auto it = std::find_if(m_peers.begin(), m_peers.end(),
                                 [peer](const Peer& p) { return p.socket == peer; });
    if (it == m_peers.end())
        return;
    m_peers.erase(it);
    peer->deleteLater();
#ifndef Q_OS_WIN
    keepSpare();
#endif
}

#ifndef Q_OS_WIN

bool InstanceChannel::bindSocket()
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
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InstanceChannel::acceptWaiting);
    keepSpare();
    return true;
}

void InstanceChannel::closeSocket()
{
    delete m_notifier;
    m_notifier = nullptr;
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

void InstanceChannel::acceptWaiting()
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
            if (m_peers.size() >= size_t(kMaxPeers) && !hasBytesWaiting(fd)) {
                ::close(fd);
                continue;
            }
            auto* peer = new QLocalSocket(this);
            if (!peer->setSocketDescriptor(fd)) {
                ::close(fd);
                delete peer;
                continue;
            }
            serve(peer);
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
            if (!m_peers.empty()) {
                makeRoom();
                continue;
            }
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

void InstanceChannel::pauseAccepting(bool relisten)
{
    m_pauseMs = std::clamp(m_pauseMs * 2, 50, 1000);
    m_relisten = m_relisten || relisten;
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (!m_pause) {
        m_pause = new QTimer(this);
        m_pause->setSingleShot(true);
        connect(m_pause, &QTimer::timeout, this, [this] {
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

void InstanceChannel::keepSpare()
{
    if (m_spare < 0 && m_listener >= 0)
        m_spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

#endif

bool InstanceChannel::handOver(const QString& path, const HandOver& message, int timeoutMs,
                               std::optional<uint> peerUser)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
#ifndef Q_OS_WIN
    // The user's files go to no one else, whoever listens there.
    const std::optional<uint> user = peerUserOf(socket.socketDescriptor());
    if (!user || *user != peerUser.value_or(uint(::getuid()))) {
        socket.abort();
        return false;
    }
#else
    Q_UNUSED(peerUser);
#endif
    socket.write(message.encode());
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    QByteArray answer;
    while (answer.size() < qsizetype(std::strlen(kTaken)) &&
           socket.waitForReadyRead(int(deadline.remainingTime())))
        answer.append(socket.readAll());
    answer.append(socket.readAll());
    return answer == kTaken;
}
