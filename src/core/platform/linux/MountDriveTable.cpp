#include "platform/linux/MountDriveTable.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"
#include "platform/VolumeMonitor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSocketNotifier>

#include <blkid/blkid.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

MountDriveTable::MountDriveTable(Sources sources)
    : m_sources(std::move(sources))
{}

MountDriveTable::MountDriveTable(QString mountTable, QString mountInfo, QString user)
    : m_sources{std::move(mountTable),
                std::move(mountInfo),
                QStringLiteral("/etc/fstab"),
                std::move(user),
                {},
                nullptr}
{}

const MountDriveTable::Sources& MountDriveTable::resolved() const
{
    std::call_once(m_userOnce, [this] {
        if (m_sources.user.isEmpty())
            m_sources.user = loginName();
        if (m_sources.runtimeDir.isEmpty()) {
            m_sources.runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
            if (m_sources.runtimeDir.isEmpty())
                m_sources.runtimeDir = QStringLiteral("/run/user/") + QString::number(::getuid());
        }
        while (m_sources.runtimeDir.size() > 1 && m_sources.runtimeDir.endsWith(u'/'))
            m_sources.runtimeDir.chop(1);
    });
    return m_sources;
}

MountDriveTable::~MountDriveTable()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QList<Drive> MountDriveTable::drives() const
{
    QFile f(m_sources.mountTable);
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

QList<MountDriveTable::Mount> MountDriveTable::mounts(const QByteArray& mountInfo)
{
    // "36 35 98:0 /root /mount/point options [optional fields] - type source options".
    QList<Mount> result;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5 || !fields[4].startsWith('/'))
            continue;
        Mount m;
        m.point = unescapeMountPath(fields[4]);
        while (m.point.size() > 1 && m.point.endsWith(QLatin1Char('/')))
            m.point.chop(1);
        m.device = fields[2];
        m.id = QString::fromLatin1(fields[0]);
        const qsizetype dash = fields.indexOf("-", 6);
        if (dash > 0 && dash + 2 < fields.size()) {
            m.type = fields[dash + 1];
            m.source = unescapeMountPath(fields[dash + 2]);
        }
        result.append(m);
    }
    return result;
}

QStringList MountDriveTable::mountPoints(const QByteArray& mountInfo)
{
    QStringList points;
    for (const Mount& m : mounts(mountInfo))
        points.append(m.point);
    return points;
}

QStringList MountDriveTable::fstabPoints(const QByteArray& fstab)
{
    QStringList points;
    for (const QByteArray& line : fstab.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[0].startsWith('#') || !fields[1].startsWith('/') ||
            fields[2] == "swap")
            continue;
        QString point = unescapeMountPath(fields[1]);
        while (point.size() > 1 && point.endsWith(QLatin1Char('/')))
            point.chop(1);
        if (point != QLatin1String("/"))
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

QList<MountDriveTable::Mount> MountDriveTable::currentMounts() const
{
    QMutexLocker lock(&m_mutex);
    bool stale = m_fd < 0;
    if (stale)
        m_fd = ::open(QFile::encodeName(m_sources.mountInfo).constData(), O_RDONLY | O_CLOEXEC);
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

QStringList MountDriveTable::currentMountPoints() const
{
    QStringList points;
    for (const Mount& m : currentMounts())
        points.append(m.point);
    return points;
}

QStringList MountDriveTable::currentFstabPoints() const
{
    // Read again when it changed; a look at /etc itself never waits on a drive that comes and
    // goes.
    struct stat st {};
    const QByteArray name = QFile::encodeName(m_sources.fstab);
    const qint64 stamp = ::stat(name.constData(), &st) == 0
                             ? qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec
                             : 0;
    QMutexLocker lock(&m_mutex);
    if (stamp != m_fstabStamp) {
        m_fstabStamp = stamp;
        QFile f(m_sources.fstab);
        m_fstabPoints = f.open(QIODevice::ReadOnly) ? fstabPoints(f.read(1 << 20)) : QStringList();
    }
    return m_fstabPoints;
}

QString MountDriveTable::driveOf(const QString& path) const
{
    return longestMountOf(currentMountPoints(), path);
}

namespace {

bool below(const QString& path, const QString& folder)
{
    return folder == QLatin1String("/") ||
           (path.startsWith(folder) &&
            (path.size() == folder.size() || path[folder.size()] == u'/'));
}

// The folder of `path` one level below `root` (which ends in a separator); empty when the path
// names nothing below it.
QString firstFolderBelow(const QString& path, const QString& root)
{
    if (!path.startsWith(root) || path.size() == root.size())
        return {};
    const qsizetype end = path.indexOf(u'/', root.size());
    return end < 0 ? path : path.left(end);
}

} // namespace

MountDriveTable::Verdict MountDriveTable::verdictOf(const Tables& t, const QString& path,
                                                    QString* place)
{
    using V = Verdict;
    // The mount the path lies on: the longest point, the latest mounted there.
    const Mount* on = nullptr;
    for (const Mount& m : t.mounts) {
        if (below(path, m.point) && (!on || m.point.size() >= on->point.size()))
            on = &m;
    }
    // An automount point with nothing mounted over it: looking below it would mount the drive.
    if (on && on->type == "autofs")
        return V::NotConnected;
    const QString onPoint = on ? on->point : QString();
    // The desktop's network, phone and camera mounts: one file system, a folder per mount.
    const QString gvfs = t.runtimeDir + QStringLiteral("/gvfs");
    if (const QString folder = firstFolderBelow(path, gvfs + u'/'); !folder.isEmpty()) {
        if (onPoint != gvfs)
            return V::NotConnected;
        if (!t.desktopMounts)
            return V::Connected; // not known yet: the look decides
        return t.desktopMounts->contains(folder) ? V::Connected : V::NotConnected;
    }
    // A KDE desktop's shares, below a FUSE file system of its own that is mounted while it
    // runs; a share folder within it cannot be told without asking the network.
    if (const QString fuse = firstFolderBelow(path, t.runtimeDir + u'/');
        fuse.startsWith(t.runtimeDir + QStringLiteral("/kio-fuse-"))) {
        return onPoint == fuse ? V::Connected : V::NotConnected;
    }
    // A mount point the system names, not mounted now (a share mounted by hand or on demand).
    QString named;
    for (const QString& point : t.fstabPoints) {
        if (below(path, point) && point.size() > named.size())
            named = point;
    }
    if (!named.isEmpty() && std::none_of(t.mounts.begin(), t.mounts.end(),
                                         [&](const Mount& m) { return m.point == named; }))
        return V::NotConnected;
    // Where the desktop mounts sticks and disks.
    const QString removable = removablePlaceOf(path, t.user);
    if (removable.isEmpty() || below(onPoint, removable))
        return V::Connected;
    if (place)
        *place = removable;
    return V::PlaceNotMounted;
}

bool MountDriveTable::isNotConnected(const QString& path) const
{
    const Sources& s = resolved();
    Tables t{currentMounts(), currentFstabPoints(), s.user, s.runtimeDir,
             s.volumes ? s.volumes->mountFolders() : std::nullopt};
    QString place;
    switch (verdictOf(t, path, &place)) {
    case Verdict::Connected:
        return false;
    case Verdict::NotConnected:
        return true;
    case Verdict::PlaceNotMounted:
        break;
    }
    // Not mounted: a drive's place is left empty (or taken away); a folder with files in it is
    // only a folder. The place is on the drive that holds the mount points, not on the drive.
    return absentOrEmpty(place);
}

namespace {

bool isNetworkType(const QByteArray& type)
{
    static const char* const kTypes[] = {"cifs", "smb3",       "smbfs", "nfs",
                                         "nfs4", "fuse.sshfs", "davfs", "fuse.davfs2",
                                         "9p",   "afs",        "ceph"};
    return std::any_of(std::begin(kTypes), std::end(kTypes),
                       [&](const char* t) { return type == t; });
}

// udev writes a blank of a label as \x20.
QString unescapeDeviceName(const QString& name)
{
    QByteArray bytes = paths::toNativeBytes(name), out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            bool ok = false;
            const int code = bytes.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(bytes[i]);
    }
    return paths::fromNativeBytes(out);
}

// The name under `folder` of the link that leads to `device`; empty when none does.
QString linkNameOf(const QString& folder, const QString& device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QFileInfoList links = QDir(folder).entryInfoList(QDir::Files | QDir::System);
    for (const QFileInfo& link : links) {
        if (link.canonicalFilePath() == target)
            return unescapeDeviceName(link.fileName());
    }
    return {};
}

// The file system's own word, read from the device where the system keeps no name for it.
QString blkidTag(const QString& device, const char* tag)
{
    char* value = blkid_get_tag_value(nullptr, tag, QFile::encodeName(device).constData());
    if (!value)
        return {};
    const QString text = QString::fromUtf8(value);
    std::free(value);
    return text;
}

} // namespace

QList<DriveIdentity>
MountDriveTable::identify(const Tables& t,
                          const std::function<QString(const QString& device, bool label)>& nameOf)
{
    QList<DriveIdentity> found;
    for (const Mount& m : t.mounts) {
        if (isNetworkType(m.type)) {
            found.append({{}, m.source, m.point, m.id});
        } else if (m.source.startsWith(QLatin1String("/dev/")) &&
                   removablePlaceOf(m.point + QStringLiteral("/x"), t.user) == m.point) {
            const QString uuid = nameOf(m.source, false);
            if (!uuid.isEmpty())
                found.append({uuid, nameOf(m.source, true), m.point, m.id});
        }
    }
    // The desktop's mounts: each known by its name, one folder of its file system.
    const QString gvfs = t.runtimeDir + QStringLiteral("/gvfs/");
    for (const QString& folder : t.desktopMounts.value_or(QStringList())) {
        if (folder.startsWith(gvfs))
            found.append({{}, folder.mid(gvfs.size()), folder, folder});
    }
    return found;
}

QList<DriveIdentity> MountDriveTable::mountedDrives() const
{
    const Sources& s = resolved();
    const Tables t{currentMounts(),
                   {},
                   s.user,
                   s.runtimeDir,
                   s.volumes ? s.volumes->mountFolders() : std::nullopt};
    return identify(t, [this](const QString& device, bool label) {
        QString name = linkNameOf(label ? byLabel : byUuid, device);
        if (name.isEmpty())
            name = blkidTag(device, label ? "LABEL" : "UUID");
        return name;
    });
}

void MountDriveTable::watch(QObject* context, std::function<void()> changed)
{
    if (m_sources.volumes)
        m_sources.volumes->watch(context, changed);
    const int fd = ::open(QFile::encodeName(m_sources.mountInfo).constData(), O_RDONLY | O_CLOEXEC);
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
