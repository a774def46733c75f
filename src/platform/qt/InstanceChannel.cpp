#include "platform/qt/InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cstring>

namespace {
constexpr qint64 kMaxMessage = 64; // a peer that sends more is not one of ours
}

InstanceChannel::InstanceChannel(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
{}

bool InstanceChannel::listen(std::function<void()> raise)
{
    m_raise = std::move(raise);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket still there belongs to an instance that no longer runs.
    QLocalServer::removeServer(m_path);
    if (!m_server->listen(m_path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (!peer->canReadLine() && peer->bytesAvailable() < kMaxMessage)
                    return; // the rest of the line is still on its way
                const QByteArray line = peer->readLine(kMaxMessage);
                peer->disconnectFromServer();
                if (line == kRaiseMessage && m_raise)
                    m_raise();
            });
        }
    });
    return true;
}

bool InstanceChannel::askToRaise(const QString& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaiseMessage, qint64(std::strlen(kRaiseMessage)));
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}
