#pragma once

#include "platform/HandOver.h"

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// A per-user local socket beside the instance lock, through which a later start hands the
// running instance what it was asked to do (files to open, kinds to begin) and its activation
// token, so that the running window comes to the front. Only the holder of the lock listens, so
// only it may clear a socket left behind by an instance that was killed.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // The running instance's answer once it has taken a message.
    static constexpr char kTaken[] = "TAKEN\n";
    // How long a sender may take to deliver its whole message; tests shorten it.
    static int& senderPatienceMs();

    explicit InstanceChannel(QString path, QObject* parent = nullptr);

    // Listens (the caller holds the instance lock); `received` runs for each whole message of
    // ours. Anything else is refused and changes nothing.
    bool listen(std::function<void(const HandOver&)> received);
    // Hands `message` to the instance listening at `path`. True once that instance has taken it;
    // false when none listens or it did not take the message in time.
    static bool handOver(const QString& path, const HandOver& message, int timeoutMs = 3000);

private:
    void serve(class QLocalSocket* peer);

    QString m_path;
    QLocalServer* m_server = nullptr;
    std::function<void(const HandOver&)> m_received;
};
