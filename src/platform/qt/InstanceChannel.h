#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// A per-user local socket beside the instance lock, through which a later start asks the running
// instance to bring its window to the front. Only the holder of the lock listens, so only it may
// clear a socket left behind by an instance that was killed.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // The one message there is, with its version; anything else is ignored.
    static constexpr char kRaiseMessage[] = "KELDARA 1 RAISE\n";

    explicit InstanceChannel(QString path, QObject* parent = nullptr);

    // Listens for raise requests (the caller holds the instance lock); `raise` runs for each.
    bool listen(std::function<void()> raise);
    // Asks the instance listening at `path` to come to the front; false when none answered.
    static bool askToRaise(const QString& path, int timeoutMs = 2000);

private:
    QString m_path;
    QLocalServer* m_server = nullptr;
    std::function<void()> m_raise;
};
