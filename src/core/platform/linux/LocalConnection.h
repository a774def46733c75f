#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QSocketNotifier;

// One end of a connected local socket, non-blocking, read as its bytes come; and the other end's
// side of a short exchange, ask(). Our own rather than the network library's local sockets: this
// is all the program needs of them, and that library (with what it pulls in) costs every start
// several milliseconds of loading.
class LocalConnection : public QObject {
    Q_OBJECT
public:
    // Takes over `fd`, a connected non-blocking stream socket.
    explicit LocalConnection(int fd, QObject* parent = nullptr);
    ~LocalConnection() override;
    LocalConnection(const LocalConnection&) = delete;
    LocalConnection& operator=(const LocalConnection&) = delete;

    // At most `max` of the bytes waiting; none when nothing waits or the connection is closed.
    QByteArray read(qint64 max);
    // The bytes the other end has sent that are not read yet.
    qint64 bytesAvailable() const;
    // Sends what the socket takes at once, which a short answer always fits in.
    void write(const char* data, qint64 size);
    // Closes the connection; `disconnected` is emitted.
    void disconnectFromServer();
    // Closes the connection without a signal.
    void abort();
    qintptr socketDescriptor() const { return m_fd; }

    // Connects to the socket at `path`, sends `message` and returns what comes back until
    // `answerSize` bytes have come, the other end closes or `timeoutMs` have passed. Nothing when
    // none listens there, the one who does is not user `peerUser`, or the message could not be
    // sent in time.
    static std::optional<QByteArray> ask(const QString& path, const QByteArray& message,
                                         qsizetype answerSize, int timeoutMs, uint peerUser);

signals:
    void readyRead();
    void disconnected();

private:
    void readable();
    void closeSocket();

    int m_fd;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
