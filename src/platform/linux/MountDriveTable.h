#pragma once

#include "platform/DriveTable.h"

// Linux has no drive letters: the "drives" are the mounted file systems in mount-table order, and
// an iso9660 or udf file system counts as a CD-ROM.
class MountDriveTable : public DriveTable {
public:
    explicit MountDriveTable(QString mountTable = QStringLiteral("/proc/self/mounts"));
    QList<Drive> drives() const override;

    // Parses mount-table text (fstab syntax, octal escapes in paths).
    static QList<Drive> parse(const QByteArray& table);

private:
    QString m_mountTable;
};
