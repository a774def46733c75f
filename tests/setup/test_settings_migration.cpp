#include "setup/SettingsMigration.h"
#include "support/Fakes.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("Keldara");
const QString kOld = QStringLiteral("GroveLedger");

Drive drive(const char* root, int type)
{
    return Drive{QString::fromLatin1(root), type};
}

struct MigrationCase {
    const char* name;
    bool marker;
    QList<Drive> drives;
    QMap<QString, QString> predecessor; // key -> value
    const char* expectedOrg;
    const char* expectedPhotoDir; // "<app>" stands for the application folder
};

class Migration : public ::testing::TestWithParam<MigrationCase> {};

TEST_P(Migration, FirstStartCopiesOnceAndMarksConverted)
{
    const MigrationCase& c = GetParam();
    TempAppFolder app;
    if (c.marker)
        app.write(QStringLiteral("CDRomLoaded"), "");
    FakeSettingsStore store;
    for (auto it = c.predecessor.begin(); it != c.predecessor.end(); ++it)
        store.set(kOld, it.key(), it.value());
    FakeDriveTable drives;
    drives.table = c.drives;

    MigrateSettings(store, drives, app.path());

    EXPECT_EQ(store.get(kApp, QStringLiteral("Converted")), QStringLiteral("99"));
    EXPECT_EQ(store.get(kApp, QStringLiteral("Org")), QString::fromUtf8(c.expectedOrg));
    QString photo = QString::fromUtf8(c.expectedPhotoDir);
    photo.replace(QStringLiteral("<app>"), app.path());
    EXPECT_EQ(store.get(kApp, QStringLiteral("PhotoDir")), photo);
    // The predecessor's store is only read, never written.
    for (const auto& w : store.writes)
        EXPECT_EQ(w.application, kApp);

    // A second start reads nothing from the predecessor and writes nothing.
    store.reads.clear();
    store.writes.clear();
    store.values.remove(
        FakeSettingsStore::path(kOld, QStringLiteral("General"), QStringLiteral("Org")));
    MigrateSettings(store, drives, app.path());
    EXPECT_EQ(store.readsOf(kOld), 0);
    EXPECT_TRUE(store.writes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Migration,
    ::testing::Values(
        MigrationCase{"NoPredecessorNoMarker", false, {}, {}, " ", "<app>/DemoImages/"},
        MigrationCase{
            "MarkerTakesFirstCdRom",
            true,
            {drive("C:\\", DriveFixed), drive("D:\\", DriveCdRom), drive("E:\\", DriveCdRom)},
            {},
            " ",
            "D:\\photoimages/"},
        MigrationCase{"MarkerWithPredecessorPhotoDir",
                      true,
                      {drive("/media/cdrom/", DriveCdRom)},
                      {{QStringLiteral("PhotoDir"), QStringLiteral("F:\\pictures\\")},
                       {QStringLiteral("Org"), QStringLiteral("Fuels Unit 4")}},
                      "Fuels Unit 4",
                      "F:\\pictures\\"},
        MigrationCase{
            "MarkerWithoutCdRom", true, {drive("/", DriveFixed)}, {}, " ", "photoimages/"},
        MigrationCase{"PredecessorPhotoDirIgnoredWithoutMarker",
                      false,
                      {},
                      {{QStringLiteral("PhotoDir"), QStringLiteral("F:\\pictures\\")}},
                      " ",
                      "<app>/DemoImages/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Migration, ConvertedValueDecidesWhetherToRun)
{
    struct {
        const char* stored;
        bool migrates;
    } cases[] = {{"0", true},   {" 0 ", true},  {"1", false}, {"-3", false},
                 {"99", false}, {"yes", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        TempAppFolder app;
        FakeSettingsStore store;
        store.set(kApp, QStringLiteral("Converted"), QString::fromLatin1(c.stored));
        FakeDriveTable drives;
        MigrateSettings(store, drives, app.path());
        EXPECT_EQ(store.has(kApp, QStringLiteral("Org")), c.migrates);
        EXPECT_EQ(store.readsOf(kOld) > 0, c.migrates);
    }
}

TEST(FindCdRomDrive, FirstCdRomInTableOrderOrEmpty)
{
    FakeDriveTable drives;
    EXPECT_EQ(FindCdRomDrive(drives), QString());
    drives.table = {drive("A:\\", DriveRemovable), drive("C:\\", DriveFixed)};
    EXPECT_EQ(FindCdRomDrive(drives), QString());
    drives.table = {drive("C:\\", DriveFixed), drive("D:\\", DriveCdRom),
                    drive("E:\\", DriveCdRom)};
    EXPECT_EQ(FindCdRomDrive(drives), QStringLiteral("D:\\"));
}

TEST(BooleanText, OnlyTrueAndFalseInAnyCase)
{
    EXPECT_TRUE(readBooleanText(QStringLiteral("True"), false));
    EXPECT_TRUE(readBooleanText(QStringLiteral("TRUE"), false));
    EXPECT_FALSE(readBooleanText(QStringLiteral("false"), true));
    EXPECT_FALSE(readBooleanText(QStringLiteral("1"), false));
    EXPECT_FALSE(readBooleanText(QStringLiteral("maybe"), false));
}

} // namespace
