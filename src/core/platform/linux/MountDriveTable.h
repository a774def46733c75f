#pragma once

#include "platform/DriveTable.h"
#include "platform/linux/DriveIdentityFinder.h"
#include "platform/linux/FstabReader.h"
#include "platform/linux/MountTable.h"

#include <QStringList>

#include <mutex>

class VolumeMonitor;

// Linux has no drive letters: the "drives" are the mounted file systems in mount-table order, and
// an iso9660 or udf file system counts as a CD-ROM. A path's drive is its longest mount point.
// Whether a path's drive is away is decided from the kernel's mounts, /etc/fstab and the
// desktop's own mounts together.
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
    MountDriveTable(const MountDriveTable&) = delete;
    MountDriveTable& operator=(const MountDriveTable&) = delete;

    QList<Drive> drives() const override;
    QString driveOf(const QString& path) const override;
    bool isNotConnected(const QString& path) const override;
    void watch(QObject* context, std::function<void()> changed) override;
    QList<DriveIdentity> mountedDrives() const override;

    using Tables = MountTables;
    enum class Verdict {
        Connected,
        NotConnected,
        // A removable drive's place, not mounted now: its drive is away when the place holds
        // nothing (a folder with files in it is only a folder).
        PlaceNotMounted,
    };
    // What the tables say of the drive that would hold `path`; `place` receives the removable
    // place that is not mounted.
    static Verdict verdictOf(const Tables& tables, const QString& path, QString* place = nullptr);

private:
    // The tables as they are now.
    Tables current(bool withFstab) const;

    mutable Sources m_sources; // the user and runtime folder filled in when first needed
    // The user's login name and runtime folder, looked up when first needed, away from the
    // window's thread (the user database may be on the network).
    const Sources& resolved() const;
    mutable std::once_flag m_userOnce;
    MountTable m_mounts;
    FstabReader m_fstab;
    DriveIdentityFinder m_identities;
};
