#pragma once

#include "platform/DriveTable.h"

#include <QMutex>
#include <QStringList>

#include <mutex>

// Linux has no drive letters: the "drives" are the mounted file systems in mount-table order, and
// an iso9660 or udf file system counts as a CD-ROM. A path's drive is its longest mount point.
class MountDriveTable : public DriveTable {
public:
    // The tables are the kernel's; tests give files of their own and another user name.
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

    // Parses mount-table text (fstab syntax, octal escapes in paths).
    static QList<Drive> parse(const QByteArray& table);
    // The mount points of mountinfo text, without their trailing separators ("/" for the root).
    static QStringList mountPoints(const QByteArray& mountInfo);
    // The longest of `mountPoints` that begins `path`; empty when none does.
    static QString longestMountOf(const QStringList& mountPoints, const QString& path);
    // Where the desktop mounts the drive that would hold `path`: the first folder of the path
    // below /media/USER/ or /run/media/USER/, else below /media/ or /mnt/; empty when the path
    // lies nowhere such.
    static QString removablePlaceOf(const QString& path, const QString& user);

private:
    // The mount points as they are now, read again whenever the kernel says they changed.
    QStringList currentMountPoints() const;

    QString m_mountTable;
    QString m_mountInfo;
    // The user's login name, looked up when first needed, away from the window's thread (the
    // user database may be on the network).
    const QString& user() const;
    mutable std::once_flag m_userOnce;
    mutable QString m_user;
    mutable QMutex m_mutex;
    mutable int m_fd = -1;
    mutable QStringList m_points;
};
