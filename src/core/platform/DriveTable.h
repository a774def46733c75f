#pragma once

#include <QList>
#include <QString>

#include <functional>

class QObject;

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

// What a removable drive or a network share is, wherever it is mounted: its file system's UUID
// and label, or a share's source ("//server/share", "server:/export", the desktop's name of the
// mount). Two sticks with the same label and different UUIDs are two drives.
struct DriveIdentity {
    QString uuid;       // empty for a share
    QString label;      // the file system's label; a share's source
    QString mountPoint; // where it is mounted now, without a trailing separator
    QString mountId;    // another mount of the same drive has another id
    // The identity alone, as it is remembered: "uuid:..." or "share:...".
    QString key() const
    {
        return uuid.isEmpty() ? QStringLiteral("share:") + label : QStringLiteral("uuid:") + uuid;
    }
    // How the user knows it: its label, its share, else where it is mounted.
    QString name() const { return label.isEmpty() ? mountPoint : label; }
};

// The machine's drives. A data file may lie on a USB stick that is not plugged in or a network
// share that does not answer: what the program knows of a path's drive comes from here, without
// touching the path itself.
class DriveTable {
public:
    virtual ~DriveTable() = default;

    // The drives in the platform's own order (A: to Z: on Windows, mount order elsewhere).
    virtual QList<Drive> drives() const = 0;

    // The drive that holds `path`: the longest mount point that begins it (Linux), its drive
    // root or its \\server\share (Windows). Found from the mount table alone, never by looking at
    // `path`, so it answers at once for a path on a drive that hangs. Any thread.
    virtual QString driveOf(const QString& path) const = 0;

    // Whether `path` lies where a removable drive or a network share is mounted while it is
    // connected, and that drive is not connected now: an entry there is not missing, its file is
    // elsewhere for the moment. May look at the place the drive would be mounted (never below it,
    // and never a drive that is mounted), so call it off the window's thread.
    virtual bool isNotConnected(const QString& path) const = 0;

    // The removable drives and network shares mounted now, with what they are. Found from the
    // mount table and the system's names of devices, never from the drives themselves. Any
    // thread.
    virtual QList<DriveIdentity> mountedDrives() const { return {}; }

    // `changed` runs on `context`'s thread, within about two seconds, whenever a drive is mounted
    // or unmounted, until `context` goes.
    virtual void watch(QObject* context, std::function<void()> changed) = 0;
};
