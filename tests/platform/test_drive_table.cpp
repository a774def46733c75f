// Which drives the mount table, /etc/fstab and the desktop's volume monitor say are away, for
// every kind of place a drive comes and goes at, decided without looking at the place.
#include "platform/linux/MountDriveTable.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace {

using Mount = MountTable::Mount;
using V = MountDriveTable::Verdict;

const QString kRun = QStringLiteral("/run/user/1000");

TEST(MountDriveTable, EachKindOfPlaceIsAwayUntilItsDriveIsMounted)
{
    const QString gvfsShare = kRun + QStringLiteral("/gvfs/smb-share:server=office,share=fuels");
    const QString kio = kRun + QStringLiteral("/kio-fuse-Ab12");
    struct Case {
        const char* place;
        QString path;
        QList<Mount> mounted; // what the drive's mount adds to the table
        V away;
    };
    const Case cases[] = {
        {"a stick under /media/USER",
         QStringLiteral("/media/u/FIELDSTICK/a.fpl"),
         {{QStringLiteral("/media/u/FIELDSTICK"), "ext4", QStringLiteral("/dev/sdb1"), "8:17", {}}},
         V::PlaceNotMounted},
        {"a disk under /run/media/USER",
         QStringLiteral("/run/media/u/DISK/p/a.fpl"),
         {{QStringLiteral("/run/media/u/DISK"), "vfat", QStringLiteral("/dev/sdc1"), "8:33", {}}},
         V::PlaceNotMounted},
        {"a share the desktop mounted",
         gvfsShare + QStringLiteral("/plots/a.fpl"),
         {},
         V::NotConnected},
        {"a share below the desktop's other FUSE file system",
         kio + QStringLiteral("/smb/office/fuels/a.fpl"),
         {{kio, "fuse.kio-fuse", QStringLiteral("kio-fuse"), "0:60", {}}},
         V::NotConnected},
        {"a mount point of fstab",
         QStringLiteral("/srv/fieldshare/plots/a.fpl"),
         {{QStringLiteral("/srv/fieldshare"),
           "cifs",
           QStringLiteral("//office/fuels"),
           "0:61",
           {}}},
         V::NotConnected},
        {"a direct automount point",
         QStringLiteral("/srv/auto/a.fpl"),
         {{QStringLiteral("/srv/auto"), "nfs4", QStringLiteral("office:/fuels"), "0:62", {}}},
         V::NotConnected},
        {"a key of an indirect automount map",
         QStringLiteral("/misc/field/a.fpl"),
         {{QStringLiteral("/misc/field"), "nfs", QStringLiteral("office:/field"), "0:63", {}}},
         V::NotConnected},
        {"a folder of the local disk", QStringLiteral("/home/u/a.fpl"), {}, V::Connected},
        {"a file directly in /media", QStringLiteral("/media/a.fpl"), {}, V::Connected},
    };
    for (const Case& c : cases) {
        for (const bool mounted : {false, true}) {
            SCOPED_TRACE(std::string(c.place) + (mounted ? ", mounted" : ", away"));
            MountDriveTable::Tables t;
            t.mounts = {
                {QStringLiteral("/"), "ext4", QStringLiteral("/dev/vda1"), "254:1", {}},
                {kRun + QStringLiteral("/gvfs"),
                 "fuse.gvfsd-fuse",
                 QStringLiteral("gvfsd-fuse"),
                 "0:50",
                 {}},
                {QStringLiteral("/srv/auto"), "autofs", QStringLiteral("systemd-1"), "0:51", {}},
                {QStringLiteral("/misc"), "autofs", QStringLiteral("/etc/auto.misc"), "0:52", {}}};
            t.fstabPoints = {QStringLiteral("/srv/fieldshare"), QStringLiteral("/srv/auto")};
            t.user = QStringLiteral("u");
            t.runtimeDir = kRun;
            t.desktopMounts = QStringList{kRun + QStringLiteral("/gvfs/mtp:host=phone")};
            if (mounted) {
                t.mounts += c.mounted;
                if (c.path.startsWith(gvfsShare))
                    t.desktopMounts->append(gvfsShare);
            }
            QString place;
            EXPECT_EQ(MountDriveTable::verdictOf(t, c.path, &place),
                      mounted ? V::Connected : c.away);
            if (!mounted && c.away == V::PlaceNotMounted) {
                EXPECT_TRUE(c.path.startsWith(place + u'/')) << place.toStdString();
            }
        }
    }
}

// The desktop's own mounts are away while their FUSE file system is not running, and not
// decided before the desktop has said which there are.
TEST(MountDriveTable, TheDesktopsMountsAreAwayWithoutTheirFileSystem)
{
    MountDriveTable::Tables t;
    t.mounts = {{QStringLiteral("/"), "ext4", {}, {}, {}}};
    t.runtimeDir = kRun;
    const QString path = kRun + QStringLiteral("/gvfs/smb-share:server=o,share=f/a.fpl");
    EXPECT_EQ(MountDriveTable::verdictOf(t, path), V::NotConnected);
    t.mounts.append({kRun + QStringLiteral("/gvfs"), "fuse.gvfsd-fuse", {}, {}, {}});
    EXPECT_EQ(MountDriveTable::verdictOf(t, path), V::Connected);
}

TEST(MountTable, MountInfoAndFstabAreReadWithTheirEscapes)
{
    const QList<Mount> mounts = MountTable::mounts(
        "22 1 254:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
        "90 22 8:17 / /media/u/FIELD\\040STICK rw shared:5 master:2 - ext4 /dev/sdb1 rw\n"
        "91 22 0:61 / /srv/fieldshare rw - cifs //office/fuels rw,vers=3\n");
    ASSERT_EQ(mounts.size(), 3);
    EXPECT_EQ(mounts[1].point, QStringLiteral("/media/u/FIELD STICK"));
    EXPECT_EQ(mounts[1].type, QByteArray("ext4"));
    EXPECT_EQ(mounts[1].device, QByteArray("8:17"));
    EXPECT_EQ(mounts[2].source, QStringLiteral("//office/fuels"));
    EXPECT_EQ(FstabReader::fstabPoints("# comment\n"
                                       "UUID=1 / ext4 defaults 0 1\n"
                                       "UUID=2 none swap sw 0 0\n"
                                       "//office/fuels /srv/field\\040share cifs noauto 0 0\n"
                                       "office:/x /mnt/x/ nfs noauto,user 0 0\n"),
              QStringList({QStringLiteral("/srv/field share"), QStringLiteral("/mnt/x")}));
}

// Which mounts are drives that come and go, and what each is: a stick by the UUID and label the
// system names its device by, a share by its source, a desktop mount by its name.
TEST(DriveIdentityFinder, DrivesThatComeAndGoAreKnownByWhatTheyAre)
{
    MountDriveTable::Tables t;
    t.user = QStringLiteral("u");
    t.runtimeDir = kRun;
    t.mounts = {
        {QStringLiteral("/"), "ext4", QStringLiteral("/dev/vda1"), "254:1", QStringLiteral("22")},
        {QStringLiteral("/home"), "ext4", QStringLiteral("/dev/vda2"), "254:2",
         QStringLiteral("23")},
        {QStringLiteral("/media/u/FIELDSTICK1"), "ext4", QStringLiteral("/dev/sdb1"), "8:17",
         QStringLiteral("90")},
        {QStringLiteral("/media/u/NONAME"), "vfat", QStringLiteral("/dev/sdc1"), "8:33",
         QStringLiteral("91")},
        {QStringLiteral("/srv/fieldshare"), "cifs", QStringLiteral("//office/fuels"), "0:61",
         QStringLiteral("92")}};
    t.desktopMounts = QStringList{kRun + QStringLiteral("/gvfs/smb-share:server=o,share=f")};
    const auto names = [](const QString& device, bool label) {
        if (device != QLatin1String("/dev/sdb1"))
            return QString(); // the system names no other device
        return label ? QStringLiteral("FIELD STICK") : QStringLiteral("1b2c-33");
    };
    const QList<DriveIdentity> drives = DriveIdentityFinder::identify(t, names);
    QStringList seen;
    for (const DriveIdentity& d : drives)
        seen << d.key() + u'|' + d.name() + u'|' + d.mountPoint + u'|' + d.mountId;
    EXPECT_EQ(seen,
              (QStringList{QStringLiteral("uuid:1b2c-33|FIELD STICK|/media/u/FIELDSTICK1|90"),
                           QStringLiteral("share://office/fuels|//office/fuels|/srv/fieldshare|92"),
                           QStringLiteral("share:smb-share:server=o,share=f|smb-share:server=o,"
                                          "share=f|") +
                               kRun + QStringLiteral("/gvfs/smb-share:server=o,share=f|") + kRun +
                               QStringLiteral("/gvfs/smb-share:server=o,share=f")}));
}

// The table as the program reads it, from the files the system keeps.
TEST(MountDriveTable, AnFstabMountPointNotMountedIsNotConnected)
{
    TempAppFolder dir;
    dir.write(QStringLiteral("mountinfo"), "22 1 254:1 / / rw - ext4 /dev/vda1 rw\n");
    dir.write(QStringLiteral("fstab"), "//office/fuels /srv/fieldshare cifs noauto 0 0\n");
    MountDriveTable::Sources s;
    s.mountInfo = dir.file(QStringLiteral("mountinfo"));
    s.fstab = dir.file(QStringLiteral("fstab"));
    s.user = QStringLiteral("u");
    s.runtimeDir = kRun;
    MountDriveTable drives(s);
    EXPECT_TRUE(drives.isNotConnected(QStringLiteral("/srv/fieldshare/plots/a.fpl")));
    EXPECT_FALSE(drives.isNotConnected(QStringLiteral("/srv/other/a.fpl")));
    EXPECT_EQ(drives.driveOf(QStringLiteral("/srv/fieldshare/plots/a.fpl")), QStringLiteral("/"));
}

} // namespace
