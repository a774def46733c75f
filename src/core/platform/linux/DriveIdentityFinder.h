#pragma once

#include "platform/DriveTable.h"
#include "platform/linux/MountTable.h"

#include <QList>
#include <QString>

#include <functional>

// Which mounts are drives that come and go, and what each is: a stick or disk under a removable
// place by its file system's UUID and label, a network file system by its source, a desktop
// mount by its name. Found from the tables and the system's names of devices, never from the
// drives themselves.
class DriveIdentityFinder {
public:
    // Where the system names devices by their file system's UUID and label; tests give their own.
    QString byUuid = QStringLiteral("/dev/disk/by-uuid");
    QString byLabel = QStringLiteral("/dev/disk/by-label");

    QList<DriveIdentity> find(const MountTables& tables) const;
    // The same, with `nameOf` giving a device's UUID or (`label`) its label, empty for none.
    static QList<DriveIdentity>
    identify(const MountTables& tables,
             const std::function<QString(const QString& device, bool label)>& nameOf);
};
