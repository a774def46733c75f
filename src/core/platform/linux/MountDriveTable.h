#pragma once

#include "platform/DriveTable.h"

#include <QMutex>
#include <QStringList>

#include <mutex>
#include <optional>

class VolumeMonitor;

// Linux has no drive letters: the "drives" are the mounted file systems in mount-table order, and
// an iso9660 or udf file system counts as a CD-ROM. A path's drive is its longest mount point.
class MountDriveTable : public DriveTable {
public:
    // What the table is read from: the kernel's and the system's files, the user whose desktop
    // mounts drives, and the desktop's own mounts. Tests give their own.
    struct Sources {
        QString mountTable = QStringLiteral("/proc/self/mounts");
        QString mountInfo = QStringLiteral("/proc/self/mountinfo");
        QString fstab = QStringLiteral("/etc/fstab");
        QString user;                     // empty: the login name
        QString runtimeDir;               // empty: $XDG_RUNTIME_DIR, else /run/user/<uid>
        VolumeMonitor* volumes = nullptr; // none: the desktop's mounts are not known
    };
    explicit MountDriveTable(Sources sources);
    explicit MountDriveTable(QString mountTable = QStringLiteral("/proc/self/mounts"),
                             QString mountInfo = QStringLiteral("/proc/self/mountinfo"),
                             QString user = {});
    ~MountDriveTable() override;
    MountDriveTable(const MountDriveTable&) = delete;
    MountDriveTable& operator=(const MountDriveTable&) = delete;

    QList<Drive> drives() const override;
    QString driveOf(const QString& path) const override;
    bool isNotConnected(const QString& path) const override;
    void watch(QObject* context, std::function<void()> changed) override;
    QList<DriveIdentity> mountedDrives() const override;

    // Where the system names devices by their file system's UUID and label; tests give their own.
    QString byUuid = QStringLiteral("/dev/disk/by-uuid");
    QString byLabel = QStringLiteral("/dev/disk/by-label");

    // One mounted file system, as mountinfo tells it.
    struct Mount {
        QString point; // without a trailing separator ("/" for the root)
        QByteArray type;
        QString source;    // the device, or a share's "//server/share" or "server:/export"
        QByteArray device; // "major:minor"
        QString id;        // the mount's own number
    };
    // Parses mount-table text (fstab syntax, octal escapes in paths).
    static QList<Drive> parse(const QByteArray& table);
    static QList<Mount> mounts(const QByteArray& mountInfo);
    // The mount points of mountinfo text, without their trailing separators ("/" for the root).
    static QStringList mountPoints(const QByteArray& mountInfo);
    // The mount points named in fstab text, swap and the like left out.
    static QStringList fstabPoints(const QByteArray& fstab);
    // The longest of `mountPoints` that begins `path`; empty when none does.
    static QString longestMountOf(const QStringList& mountPoints, const QString& path);
    // Where the desktop mounts the drive that would hold `path`: the first folder of the path
    // below /media/USER/ or /run/media/USER/, else below /media/ or /mnt/; empty when the path
    // lies nowhere such.
    static QString removablePlaceOf(const QString& path, const QString& user);

    // What the tables say of the drive that would hold a path, decided from them alone: the
    // place is never opened (opening an automount point mounts it, and may hang).
    struct Tables {
        QList<Mount> mounts; // in mount order: a later mount at a point is over an earlier one
        QStringList fstabPoints;
        QString user;
        QString runtimeDir;
        std::optional<QStringList> desktopMounts; // the volume monitor's folders, if known
    };
    enum class Verdict {
        Connected,
        NotConnected,
        // A removable drive's place, not mounted now: its drive is away when the place holds
        // nothing (a folder with files in it is only a folder).
        PlaceNotMounted,
    };
    static Verdict verdictOf(const Tables& tables, const QString& path, QString* place = nullptr);
    // Which mounts are drives that come and go: under a removable place, a network file system,
    // or one of the desktop's own mounts; and what each is.
    static QList<DriveIdentity>
    identify(const Tables& tables,
             const std::function<QString(const QString& device, bool label)>& nameOf);

private:
    // The mounts as they are now, read again whenever the kernel says they changed.
    QList<Mount> currentMounts() const;
    QStringList currentMountPoints() const;
    QStringList currentFstabPoints() const;

    mutable Sources m_sources; // the user and runtime folder filled in when first needed
    // The user's login name and runtime folder, looked up when first needed, away from the
    // window's thread (the user database may be on the network).
    const Sources& resolved() const;
    mutable std::once_flag m_userOnce;
    mutable QMutex m_mutex;
    mutable int m_fd = -1;
    mutable QList<Mount> m_mounts;
    mutable QStringList m_fstabPoints;
    mutable qint64 m_fstabStamp = -1;
};
