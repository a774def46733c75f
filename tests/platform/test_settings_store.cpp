#include "platform/linux/MountDriveTable.h"
#include "platform/QSettingsStore.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

const QString kApp = QStringLiteral("Keldara");
const QString kGeneral = QStringLiteral("General");

TEST(SettingsStore, IniFileAtExactPathWithGeneralSection)
{
    TempAppFolder home;
    QSettingsStore store(home.path());
    EXPECT_TRUE(store.write(kApp, kGeneral, QStringLiteral("Converted"), QStringLiteral("99")));
    EXPECT_TRUE(store.write(kApp, kGeneral, QStringLiteral("Org"), QStringLiteral(" ")));
    const QByteArray ini = home.read(QStringLiteral("Keldara/Keldara.conf"));
    EXPECT_TRUE(ini.startsWith("[General]")) << ini.constData();
    EXPECT_TRUE(ini.contains("Converted=99")) << ini.constData();
}

TEST(SettingsStore, TextsRoundTripExactly)
{
    TempAppFolder home;
    const QStringList texts = {QStringLiteral(" "),
                               QString(),
                               QStringLiteral("  two leading"),
                               QStringLiteral("C:\\photo images\\"),
                               QStringLiteral("a=b;c,d \"quoted\" #hash"),
                               QStringLiteral("Smith, Jones and Co"),
                               QStringLiteral("Ünïcødé ✓"),
                               QStringLiteral("true")};
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        // A fresh store each time: the value must come from the file, not from a cache.
        EXPECT_TRUE(QSettingsStore(home.path()).write(kApp, kGeneral, QStringLiteral("K"), text));
        EXPECT_EQ(QSettingsStore(home.path())
                      .read(kApp, kGeneral, QStringLiteral("K"), QStringLiteral("<default>")),
                  text);
    }
}

TEST(SettingsStore, AbsentOrDamagedStoreGivesDefault)
{
    TempAppFolder home;
    QSettingsStore store(home.path());
    EXPECT_EQ(store.read(QStringLiteral("GroveLedger"), kGeneral, QStringLiteral("Org"),
                         QStringLiteral(" ")),
              QStringLiteral(" "));
    home.write(QStringLiteral("GroveLedger/GroveLedger.conf"), QByteArray("\x00\xff[[[=\n\x01", 8));
    EXPECT_EQ(store.read(QStringLiteral("GroveLedger"), kGeneral, QStringLiteral("Org"),
                         QStringLiteral(" ")),
              QStringLiteral(" "));
    // A folder where the file should be: reading goes on with the default, writing fails.
    home.mkdir(QStringLiteral("Broken/Broken.conf"));
    EXPECT_EQ(
        store.read(QStringLiteral("Broken"), kGeneral, QStringLiteral("X"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_FALSE(
        store.write(QStringLiteral("Broken"), kGeneral, QStringLiteral("X"), QStringLiteral("v")));
}

TEST(SettingsStore, PredecessorValuesWrittenByHandAreRead)
{
    TempAppFolder home;
    home.write(QStringLiteral("GroveLedger/GroveLedger.conf"),
               "[General]\r\nOrg=Fuels Unit 4\r\nPhotoDir=\"E:\\\\photoimages\\\\\"\r\n"
               "Crew=Smith, Jones and Co\r\nNote = a; b,c \r\n[Other]\r\nOrg=elsewhere\r\n");
    QSettingsStore store(home.path());
    EXPECT_EQ(store.read(QStringLiteral("GroveLedger"), kGeneral, QStringLiteral("Org"), {}),
              QStringLiteral("Fuels Unit 4"));
    // Commas and semicolons are part of a value, as other programs write them unquoted.
    EXPECT_EQ(store.read(QStringLiteral("GroveLedger"), kGeneral, QStringLiteral("Crew"), {}),
              QStringLiteral("Smith, Jones and Co"));
    EXPECT_EQ(store.read(QStringLiteral("GroveLedger"), kGeneral, QStringLiteral("Note"), {}),
              QStringLiteral("a; b,c"));
    EXPECT_EQ(store.read(QStringLiteral("GroveLedger"), kGeneral, QStringLiteral("PhotoDir"), {}),
              QStringLiteral("E:\\photoimages\\"));
}

TEST(MountTable, CdRomsInMountOrderWithEscapedPaths)
{
    const QByteArray table = "/dev/vda1 / ext4 rw 0 0\n"
                             "proc /proc proc rw 0 0\n"
                             "/dev/sr0 /media/Field\\040Disc iso9660 ro 0 0\n"
                             "/dev/sr1 /media/cd2 udf ro 0 0\n";
    const QList<Drive> drives = MountTable::parse(table);
    ASSERT_EQ(drives.size(), 4);
    EXPECT_EQ(drives[0].type, DriveFixed);
    EXPECT_EQ(drives[2].root, QStringLiteral("/media/Field Disc/"));
    EXPECT_EQ(drives[2].type, DriveCdRom);
    EXPECT_EQ(drives[3].root, QStringLiteral("/media/cd2/"));
    EXPECT_EQ(drives[3].type, DriveCdRom);
    EXPECT_TRUE(MountDriveTable(QStringLiteral("/nonexistent/mounts")).drives().isEmpty());
}

} // namespace
