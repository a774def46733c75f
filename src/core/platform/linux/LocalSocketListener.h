#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

// A listening local socket of our own, non-blocking, for one user's connections, that nothing a
// client does can close: running out of descriptors first frees one of the connections being
// served, then a spare descriptor kept for the purpose, and only then pauses the accepting for a
// moment (50 ms, doubling to 1 s); a broken socket is made anew after such a pause. Only the
// socket it made is removed. Its notifier and timer live on the thread that calls listen().
class LocalSocketListener {
public:
    struct Hooks {
        // A connection of the served user, non-blocking and close-on-exec; the callee owns it.
        std::function<void(int fd)> accepted;
        // Whether every place is taken: a newcomer that has sent nothing yet is turned away.
        std::function<bool()> full;
        // Closes one of the connections being served; false when none is.
        std::function<bool()> makeRoom;
    };
    LocalSocketListener(QString path, Hooks hooks);
    ~LocalSocketListener();
    LocalSocketListener(const LocalSocketListener&) = delete;
    LocalSocketListener& operator=(const LocalSocketListener&) = delete;

    // Removes a socket left at the path (the caller holds the instance lock) and listens there.
    bool listen();
    // Stops listening and removes the socket, if it is still ours.
    void close();
    // Takes the spare descriptor again once one of ours is given up.
    void keepSpare();
    // The user whose connections are served; by default the one this process runs as.
    void setPeerUser(uint user) { m_peerUser = user; }

    // The user on the other end of a connected local socket.
    static std::optional<uint> peerUserOf(qintptr fd);
    // Whether the other end has sent something not read yet.
    static bool hasBytesWaiting(qintptr fd);

private:
    bool bindSocket();
    void closeSocket();
    void acceptWaiting();
    void pauseAccepting(bool relisten);

    QString m_path;
    Hooks m_hooks;
    uint m_peerUser;
    int m_listener = -1;
    unsigned long long m_inode = 0; // of the socket we made, so only it is removed
    int m_spare = -1;               // a descriptor given up when there are no others to accept with
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QTimer> m_pause;
    int m_pauseMs = 0;
    bool m_relisten = false;
};
