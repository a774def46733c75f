#pragma once

#include <QList>
#include <QString>

// Drive-type codes as the platform reports them; only CD-ROM matters to this program.
enum DriveTypeCode : int {
    DriveUnknown = 0,
    DriveNoRootDir = 1,
    DriveRemovable = 2,
    DriveFixed = 3,
    DriveRemote = 4,
    DriveCdRom = 5,
    DriveRamDisk = 6,
};

struct Drive {
    QString root; // ends in the native separator, e.g. "D:\" or "/media/cdrom/"
    int type = DriveUnknown;
};

// The machine's drives in the platform's own order (A: to Z: on Windows, mount order elsewhere).
class DriveTable {
public:
    virtual ~DriveTable() = default;
    virtual QList<Drive> drives() const = 0;
};
