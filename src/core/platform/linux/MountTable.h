#pragma once

#include "platform/DriveTable.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;

// The kernel's table of mounted file systems: its text read into mounts, and the table as it is
// now, read again only when the kernel says it changed.
class MountTable {
public:
    // One mounted file system, as mountinfo tells it.
    struct Mount {
        QString point; // without a trailing separator ("/" for the root)
        QByteArray type;
        QString source;    // the device, or a share's "//server/share" or "server:/export"
        QByteArray device; // "major:minor"
        QString id;        // the mount's own number
    };

    explicit MountTable(QString mountInfo);
    ~MountTable();
    MountTable(const MountTable&) = delete;
    MountTable& operator=(const MountTable&) = delete;

    // The mounts as they are now, in mount order; only the root when the table cannot be read.
    // Any thread.
    QList<Mount> current() const;
    QStringList currentPoints() const;
    // `changed` runs on `context`'s thread whenever a file system is mounted or unmounted, until
    // `context` goes.
    void watch(QObject* context, std::function<void()> changed) const;

    // Parses mount-table text (fstab syntax, octal escapes in paths).
    static QList<Drive> parse(const QByteArray& table);
    static QList<Mount> mounts(const QByteArray& mountInfo);
    // The mount points of mountinfo text, without their trailing separators ("/" for the root).
    static QStringList mountPoints(const QByteArray& mountInfo);
    // A path as the tables write it: blanks, tabs, newlines and backslashes escaped as \ooo.
    static QString unescapePath(const QByteArray& raw);
    // The longest of `mountPoints` that begins `path`; empty when none does.
    static QString longestMountOf(const QStringList& mountPoints, const QString& path);
    // Where the desktop mounts the drive that would hold `path`: the first folder of the path
    // below /media/USER/ or /run/media/USER/, else below /media/ or /mnt/; empty when the path
    // lies nowhere such.
    static QString removablePlaceOf(const QString& path, const QString& user);

private:
    QString m_mountInfo;
    mutable QMutex m_mutex;
    mutable int m_fd = -1;
    mutable QList<Mount> m_mounts;
};

// What the tables say of the drives at one moment. What is decided from them is decided from
// them alone: a place is never opened (opening an automount point mounts it, and may hang).
struct MountTables {
    QList<MountTable::Mount> mounts; // in mount order: a later mount at a point is over an earlier
    QStringList fstabPoints;
    QString user;
    QString runtimeDir;
    std::optional<QStringList> desktopMounts; // the volume monitor's folders, if known
};
