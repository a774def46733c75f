#include "platform/linux/MountTable.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"

#include <QFile>
#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// The whole of a file that the kernel makes, read from its start.
QByteArray readAllFrom(int fd)
{
    QByteArray text;
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return text;
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(buffer, n);
    }
}

} // namespace

MountTable::MountTable(QString mountInfo)
    : m_mountInfo(std::move(mountInfo))
{}

MountTable::~MountTable()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString MountTable::unescapePath(const QByteArray& raw)
{
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size()) {
            bool ok = false;
            const int code = raw.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(raw[i]);
    }
    return paths::fromNativeBytes(out);
}

QList<Drive> MountTable::parse(const QByteArray& table)
{
    QList<Drive> result;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[0].startsWith('#'))
            continue;
        Drive d;
        d.root = unescapePath(fields[1]);
        if (!d.root.endsWith(QLatin1Char('/')))
            d.root += QLatin1Char('/');
        const QByteArray fsType = fields[2];
        d.type = (fsType == "iso9660" || fsType == "udf") ? DriveCdRom : DriveFixed;
        result.append(d);
    }
    return result;
}

QList<MountTable::Mount> MountTable::mounts(const QByteArray& mountInfo)
{
    // "36 35 98:0 /root /mount/point options [optional fields] - type source options".
    QList<Mount> result;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5 || !fields[4].startsWith('/'))
            continue;
        Mount m;
        m.point = unescapePath(fields[4]);
        while (m.point.size() > 1 && m.point.endsWith(QLatin1Char('/')))
            m.point.chop(1);
        m.device = fields[2];
        m.id = QString::fromLatin1(fields[0]);
        const qsizetype dash = fields.indexOf("-", 6);
        if (dash > 0 && dash + 2 < fields.size()) {
            m.type = fields[dash + 1];
            m.source = unescapePath(fields[dash + 2]);
        }
        result.append(m);
    }
    return result;
}

QStringList MountTable::mountPoints(const QByteArray& mountInfo)
{
    QStringList points;
    for (const Mount& m : mounts(mountInfo))
        points.append(m.point);
    return points;
}

QString MountTable::longestMountOf(const QStringList& mountPoints, const QString& path)
{
    QString best;
    for (const QString& point : mountPoints) {
        const bool holds =
            point == QLatin1String("/") ||
            (path.startsWith(point) && (path.size() == point.size() || path[point.size()] == u'/'));
        if (holds && (best.isEmpty() || point.size() > best.size()))
            best = point;
    }
    return best;
}

QString MountTable::removablePlaceOf(const QString& path, const QString& user)
{
    QStringList roots;
    if (!user.isEmpty()) {
        roots << QStringLiteral("/media/") + user + u'/'
              << QStringLiteral("/run/media/") + user + u'/';
    }
    roots << QStringLiteral("/media/") << QStringLiteral("/mnt/");
    for (const QString& root : roots) {
        if (!path.startsWith(root))
            continue;
        // The first folder below the root: a file directly in it lies on no drive of its own.
        const qsizetype end = path.indexOf(u'/', root.size());
        if (end <= root.size())
            return {};
        return path.left(end);
    }
    return {};
}

QList<MountTable::Mount> MountTable::current() const
{
    QMutexLocker lock(&m_mutex);
    bool stale = m_fd < 0;
    if (stale)
        m_fd = ::open(QFile::encodeName(m_mountInfo).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return {Mount{QStringLiteral("/"), {}, {}, {}, {}}};
    // The kernel marks the table as changed for poll() until it is read again.
    pollfd p{m_fd, POLLPRI, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLPRI | POLLERR)))
        stale = true;
    if (stale)
        m_mounts = mounts(readAllFrom(m_fd));
    return m_mounts;
}

QStringList MountTable::currentPoints() const
{
    QStringList points;
    for (const Mount& m : current())
        points.append(m.point);
    return points;
}

void MountTable::watch(QObject* context, std::function<void()> changed) const
{
    const int fd = ::open(QFile::encodeName(m_mountInfo).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    readAllFrom(fd);
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Exception, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [fd, changed = std::move(changed)] {
                         readAllFrom(fd); // until the table changes again
                         changed();
                     });
    QObject::connect(notifier, &QObject::destroyed, [fd] { ::close(fd); });
}

#endif
