#pragma once

#include "platform/HandOver.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#ifdef Q_OS_WIN
class QLocalServer;
class QLocalSocket;
using PeerSocket = QLocalSocket;
#else
#include "platform/linux/LocalSocketListener.h"
class LocalConnection;
using PeerSocket = LocalConnection;
#endif

// A per-user local socket beside the instance lock, through which a later start hands the
// running instance what it was asked to do (files to open, kinds to begin) and its activation
// token, so that the running window comes to the front. Only the holder of the lock listens, so
// only it may clear a socket left behind by an instance that was killed.
//
// Nothing a client does can close the channel: at most kMaxPeers connections are served at
// once (then a newcomer that has sent nothing is turned away, and one that has pushes out the
// oldest that has not), each for senderPatienceMs at most, and running out of descriptors only
// pauses the accepting for a moment. Both ends serve only their own user.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // The running instance's answer once it has taken a message.
    static constexpr char kTaken[] = "TAKEN\n";
    // How long a sender may take to deliver its whole message; tests shorten it.
    static int& senderPatienceMs();
    // Connections served at once.
    static constexpr int kMaxPeers = 16;

    explicit InstanceChannel(QString path, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Listens (the caller holds the instance lock); `received` runs for each whole message of
    // ours. Anything else is refused and changes nothing.
    bool listen(std::function<void(const HandOver&)> received);
    // Stops listening and removes the socket, so that a later start no longer waits for us.
    void close();
    // Hands `message` to the instance listening at `path`. True once that instance has taken it;
    // false when none listens, it is not user `peerUser`'s (by default this process's user) or it
    // did not take the message in time.
    static bool handOver(const QString& path, const HandOver& message, int timeoutMs = 3000,
                         std::optional<uint> peerUser = std::nullopt);

    // The user whose connections are served; by default the one this process runs as (tests).
    void setPeerUser(uint user);
    // Connections being served now.
    int peers() const { return int(m_peers.size()); }

private:
    struct Reading;
    struct Peer {
        PeerSocket* socket;
        std::shared_ptr<Reading> reading;
    };
    void serve(PeerSocket* peer);
    void drop(PeerSocket* peer);
    void forget(PeerSocket* peer);
    void makeRoom();
#ifndef Q_OS_WIN
    void serveDescriptor(int fd);
#endif

    QString m_path;
    std::function<void(const HandOver&)> m_received;
    std::vector<Peer> m_peers; // oldest first
#ifdef Q_OS_WIN
    QLocalServer* m_server = nullptr;
#else
    // Not QLocalServer: when an accept fails, for want of descriptors too, it closes itself and
    // removes the socket, and no later start could reach this instance again.
    LocalSocketListener m_listener;
#endif
};
