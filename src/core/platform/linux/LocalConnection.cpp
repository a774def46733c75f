#include "platform/linux/LocalConnection.h"

#ifndef Q_OS_WIN

#include "platform/linux/LocalSocketListener.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool wouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool ready(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, int(deadline.remainingTime()));
    return n > 0;
}

// A socket connected to `path`, or -1 when none listens there. A listener whose queue is full
// (it takes its connections in batches) makes the connect wait for room, up to the deadline.
int connectTo(const QString& path, const QDeadlineTimer& deadline)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // The wait for room is bounded by the send timeout; 0 would wait for ever.
    const qint64 ms = deadline.isForever() ? 0 : qMax<qint64>(deadline.remainingTime(), 1);
    const timeval patience{time_t(ms / 1000), suseconds_t(ms % 1000 * 1000)};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    int connected = -1;
    do
        connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    while (connected != 0 && errno == EINTR && !deadline.hasExpired());
    if (connected != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

LocalConnection::LocalConnection(int fd, QObject* parent)
    : QObject(parent)
    , m_fd(fd)
    , m_notifier(std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Read))
{
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &LocalConnection::readable);
}

LocalConnection::~LocalConnection()
{
    closeSocket();
}

void LocalConnection::readable()
{
    char c = 0;
    const ssize_t n = ::recv(m_fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        emit readyRead();
        return;
    }
    if (n < 0 && wouldBlock())
        return;
    // The other end has closed, or the connection is broken.
    closeSocket();
    emit disconnected();
}

QByteArray LocalConnection::read(qint64 max)
{
    QByteArray bytes;
    if (m_fd < 0 || max <= 0)
        return bytes;
    bytes.resize(qsizetype(qMin<qint64>(max, qMax<qint64>(bytesAvailable(), 1))));
    const ssize_t n = ::recv(m_fd, bytes.data(), size_t(bytes.size()), MSG_DONTWAIT);
    bytes.resize(n > 0 ? qsizetype(n) : 0);
    return bytes;
}

qint64 LocalConnection::bytesAvailable() const
{
    int waiting = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

void LocalConnection::write(const char* data, qint64 size)
{
    if (m_fd >= 0)
        (void)::send(m_fd, data, size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void LocalConnection::disconnectFromServer()
{
    if (m_fd < 0)
        return;
    closeSocket();
    emit disconnected();
}

void LocalConnection::abort()
{
    closeSocket();
}

void LocalConnection::closeSocket()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::optional<QByteArray> LocalConnection::ask(const QString& path, const QByteArray& message,
                                               qsizetype answerSize, int timeoutMs, uint peerUser)
{
    const QDeadlineTimer deadline(timeoutMs);
    const int fd = connectTo(path, deadline);
    if (fd < 0)
        return std::nullopt;
    const auto fail = [fd] {
        ::close(fd);
        return std::nullopt;
    };
    // The user's files go to no one else, whoever listens there.
    const std::optional<uint> user = LocalSocketListener::peerUserOf(fd);
    if (!user || *user != peerUser)
        return fail();
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t n = ::send(fd, message.constData() + sent, size_t(message.size() - sent),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            sent += n;
        else if (n == 0 || !wouldBlock() || !ready(fd, POLLOUT, deadline))
            return fail();
    }
    QByteArray answer;
    char buffer[256];
    while (answer.size() < answerSize) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0)
            answer.append(buffer, qsizetype(n));
        else if (n == 0 || !wouldBlock() || !ready(fd, POLLIN, deadline))
            break;
    }
    ::close(fd);
    return answer;
}

#endif
