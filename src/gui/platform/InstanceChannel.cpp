#include "platform/InstanceChannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cstring>

InstanceChannel::InstanceChannel(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
{}

int& InstanceChannel::senderPatienceMs()
{
    static int ms = 5000;
    return ms;
}

bool InstanceChannel::listen(std::function<void(const HandOver&)> received)
{
    m_received = std::move(received);
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
}

void InstanceChannel::serve(QLocalSocket* peer)
{
    connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    // A sender that stops half-way is not waited for.
    QTimer::singleShot(senderPatienceMs(), peer, [peer] { peer->abort(); });
    struct Reading {
        QByteArray bytes;
        bool done = false;
    };
    auto reading = std::make_shared<Reading>();
    connect(peer, &QLocalSocket::readyRead, this, [this, peer, reading] {
        if (reading->done)
            return;
        // Never more than one byte past the largest message: that is enough to refuse it.
        reading->bytes.append(peer->read(HandOver::kMaxMessage + 1 - reading->bytes.size()));
        const HandOverReading d = HandOver::decode(reading->bytes);
        if (d.refused) {
            reading->done = true;
            peer->abort();
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

bool InstanceChannel::handOver(const QString& path, const HandOver& message, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
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
