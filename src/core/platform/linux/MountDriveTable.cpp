#include "platform/linux/MountDriveTable.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"
#include "platform/VolumeMonitor.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

MountDriveTable::MountDriveTable(Sources sources)
    : m_sources(std::move(sources))
    , m_mounts(m_sources.mountInfo)
    , m_fstab(m_sources.fstab)
{}

MountDriveTable::MountDriveTable(QString mountTable, QString mountInfo, QString user)
    : MountDriveTable(Sources{std::move(mountTable),
                              std::move(mountInfo),
                              QStringLiteral("/etc/fstab"),
                              std::move(user),
                              {},
                              nullptr})
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

MountDriveTable::Tables MountDriveTable::current(bool withFstab) const
{
    const Sources& s = resolved();
    return Tables{m_mounts.current(), withFstab ? m_fstab.current() : QStringList(), s.user,
                  s.runtimeDir, s.volumes ? s.volumes->mountFolders() : std::nullopt};
}

QList<Drive> MountDriveTable::drives() const
{
    QFile f(m_sources.mountTable);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return MountTable::parse(f.readAll());
}

QString MountDriveTable::driveOf(const QString& path) const
{
    return MountTable::longestMountOf(m_mounts.currentPoints(), path);
}

MountDriveTable::Verdict MountDriveTable::verdictOf(const Tables& t, const QString& path,
                                                    QString* place)
{
    using V = Verdict;
    // The mount the path lies on: the longest point, the latest mounted there.
    const MountTable::Mount* on = nullptr;
    for (const MountTable::Mount& m : t.mounts) {
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
                                         [&](const auto& m) { return m.point == named; }))
        return V::NotConnected;
    // Where the desktop mounts sticks and disks.
    const QString removable = MountTable::removablePlaceOf(path, t.user);
    if (removable.isEmpty() || below(onPoint, removable))
        return V::Connected;
    if (place)
        *place = removable;
    return V::PlaceNotMounted;
}

bool MountDriveTable::isNotConnected(const QString& path) const
{
    QString place;
    switch (verdictOf(current(true), path, &place)) {
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

QList<DriveIdentity> MountDriveTable::mountedDrives() const
{
    return m_identities.find(current(false));
}

void MountDriveTable::watch(QObject* context, std::function<void()> changed)
{
    if (m_sources.volumes)
        m_sources.volumes->watch(context, changed);
    m_mounts.watch(context, std::move(changed));
}

#endif
