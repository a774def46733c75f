#include "platform/linux/MountDriveTable.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"

#include <QFile>
#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Mount points escape blanks, tabs, newlines and backslashes as \ooo.
QString unescapeMountPath(const QByteArray& raw)
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

QString loginName()
{
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

// A folder that holds nothing (or is not there at all): where a drive would be mounted.
bool absentOrEmpty(const QString& folder)
{
    const QByteArray name = paths::toNativeBytes(folder);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    if (!S_ISDIR(st.st_mode))
        return false;
    DIR* dir = ::opendir(name.constData());
    if (!dir)
        return false;
    bool empty = true;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty;
}

} // namespace

MountDriveTable::MountDriveTable(QString mountTable, QString mountInfo, QString user)
    : m_mountTable(std::move(mountTable))
    , m_mountInfo(std::move(mountInfo))
    , m_user(std::move(user))
{}

const QString& MountDriveTable::user() const
{
    std::call_once(m_userOnce, [this] {
        if (m_user.isEmpty())
            m_user = loginName();
    });
    return m_user;
}

MountDriveTable::~MountDriveTable()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QList<Drive> MountDriveTable::drives() const
{
    QFile f(m_mountTable);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return parse(f.readAll());
}

QList<Drive> MountDriveTable::parse(const QByteArray& table)
{
    QList<Drive> result;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[0].startsWith('#'))
            continue;
        Drive d;
        d.root = unescapeMountPath(fields[1]);
        if (!d.root.endsWith(QLatin1Char('/')))
            d.root += QLatin1Char('/');
        const QByteArray fsType = fields[2];
        d.type = (fsType == "iso9660" || fsType == "udf") ? DriveCdRom : DriveFixed;
        result.append(d);
    }
    return result;
}

QStringList MountDriveTable::mountPoints(const QByteArray& mountInfo)
{
    // "36 35 98:0 /root /mount/point options ... - type source options": the fifth field.
    QStringList points;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5 || !fields[4].startsWith('/'))
            continue;
        QString point = unescapeMountPath(fields[4]);
        while (point.size() > 1 && point.endsWith(QLatin1Char('/')))
            point.chop(1);
        points.append(point);
    }
    return points;
}

QString MountDriveTable::longestMountOf(const QStringList& mountPoints, const QString& path)
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

QString MountDriveTable::removablePlaceOf(const QString& path, const QString& user)
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

QStringList MountDriveTable::currentMountPoints() const
{
    QMutexLocker lock(&m_mutex);
    bool stale = m_fd < 0;
    if (stale)
        m_fd = ::open(QFile::encodeName(m_mountInfo).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return {QStringLiteral("/")};
    // The kernel marks the table as changed for poll() until it is read again.
    pollfd p{m_fd, POLLPRI, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLPRI | POLLERR)))
        stale = true;
    if (stale)
        m_points = mountPoints(readAllFrom(m_fd));
    return m_points;
}

QString MountDriveTable::driveOf(const QString& path) const
{
    return longestMountOf(currentMountPoints(), path);
}

bool MountDriveTable::isNotConnected(const QString& path) const
{
    const QString place = removablePlaceOf(path, user());
    if (place.isEmpty() || currentMountPoints().contains(place))
        return false;
    // Not mounted: a drive's place is left empty (or taken away); a folder with files in it is
    // only a folder.
    return absentOrEmpty(place);
}

void MountDriveTable::watch(QObject* context, std::function<void()> changed)
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
