#include "platform/InstanceChannel.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_WIN
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#else
#include "platform/linux/LocalConnection.h"

#include <unistd.h>
#endif

struct InstanceChannel::Reading {
    QByteArray bytes;
    bool done = false;
};

InstanceChannel::InstanceChannel(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
#ifndef Q_OS_WIN
    , m_listener(m_path, {[this](int fd) { serveDescriptor(fd); },
                          [this] { return m_peers.size() >= size_t(kMaxPeers); },
                          [this] {
                              if (m_peers.empty())
                                  return false;
                              makeRoom();
                              return true;
                          }})
#endif
{}

void InstanceChannel::setPeerUser(uint user)
{
#ifdef Q_OS_WIN
    Q_UNUSED(user);
#else
    m_listener.setPeerUser(user);
#endif
}

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
        while (PeerSocket* peer = m_server->nextPendingConnection())
            serve(peer);
    });
    return true;
#else
    return m_listener.listen();
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
    m_listener.close();
#endif
}

void InstanceChannel::serve(PeerSocket* peer)
{
    if (m_peers.size() >= size_t(kMaxPeers))
        makeRoom();
    auto reading = std::make_shared<Reading>();
    m_peers.push_back({peer, reading});
    connect(peer, &PeerSocket::disconnected, this, [this, peer] { forget(peer); });
    // A sender that stops half-way, or never begins, is not waited for.
    QTimer::singleShot(senderPatienceMs(), peer, [this, peer] { drop(peer); });
    connect(peer, &PeerSocket::readyRead, this, [this, peer, reading] {
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
        return !p.reading->done && p.reading->bytes.isEmpty() && p.socket->bytesAvailable() == 0;
    };
    const auto victim = std::find_if(m_peers.begin(), m_peers.end(), silent);
    drop(victim != m_peers.end() ? victim->socket : m_peers.front().socket);
}

void InstanceChannel::drop(PeerSocket* peer)
{
    forget(peer);
    peer->abort();
}

void InstanceChannel::forget(PeerSocket* peer)
{
    const auto it = std::find_if(m_peers.begin(), m_peers.end(),
                                 [peer](const Peer& p) { return p.socket == peer; });
    if (it == m_peers.end())
        return;
    m_peers.erase(it);
    peer->deleteLater();
#ifndef Q_OS_WIN
    m_listener.keepSpare();
#endif
}

#ifndef Q_OS_WIN

void InstanceChannel::serveDescriptor(int fd)
{
    serve(new LocalConnection(fd, this));
}

#endif

bool InstanceChannel::handOver(const QString& path, const HandOver& message, int timeoutMs,
                               std::optional<uint> peerUser)
{
    const qsizetype taken = qsizetype(std::strlen(kTaken));
#ifdef Q_OS_WIN
    Q_UNUSED(peerUser);
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(message.encode());
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    QByteArray answer;
    while (answer.size() < taken && socket.waitForReadyRead(int(deadline.remainingTime())))
        answer.append(socket.readAll());
    answer.append(socket.readAll());
    return answer == kTaken;
#else
    const std::optional<QByteArray> answer = LocalConnection::ask(
        path, message.encode(), taken + 1, timeoutMs, peerUser.value_or(uint(::getuid())));
    return answer && *answer == kTaken;
#endif
}
