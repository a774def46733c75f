#include "platform/linux/DriveIdentityFinder.h"

#ifndef Q_OS_WIN

#include "base/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <blkid/blkid.h>

#include <algorithm>
#include <cstdlib>

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

QList<DriveIdentity> DriveIdentityFinder::identify(
    const MountTables& t, const std::function<QString(const QString& device, bool label)>& nameOf)
{
    QList<DriveIdentity> found;
    for (const MountTable::Mount& m : t.mounts) {
        if (isNetworkType(m.type)) {
            found.append({{}, m.source, m.point, m.id});
        } else if (m.source.startsWith(QLatin1String("/dev/")) &&
                   MountTable::removablePlaceOf(m.point + QStringLiteral("/x"), t.user) ==
                       m.point) {
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

QList<DriveIdentity> DriveIdentityFinder::find(const MountTables& tables) const
{
    return identify(tables, [this](const QString& device, bool label) {
        QString name = linkNameOf(label ? byLabel : byUuid, device);
        if (name.isEmpty())
            name = blkidTag(device, label ? "LABEL" : "UUID");
        return name;
    });
}

#endif
