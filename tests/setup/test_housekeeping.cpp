#include "formats/ShortcutHelper.h"
#include "setup/StartupHousekeeping.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

QStringList shortcutNames(const TempAppFolder& app)
{
    return QDir(app.file(QStringLiteral("ShortCuts"))).entryList(QDir::Files, QDir::Name);
}

void housekeeping(const QString& appFolder)
{
    makeProgramFolders(appFolder);
    removeRetiredShortcut(appFolder);
    writeDefaultShortcuts(appFolder);
}

TEST(Housekeeping, EmptyFolderGetsFoldersAndTheSixDefaultShortcuts)
{
    TempAppFolder app;
    housekeeping(app.path());
    for (const char* folder : {"ShortCuts", "DemoImages", "PhotoImages"})
        EXPECT_TRUE(QFileInfo(app.file(QString::fromLatin1(folder))).isDir()) << folder;
    EXPECT_EQ(
        shortcutNames(app),
        (QStringList{QStringLiteral("Canopy Load.lnk"), QStringLiteral("Image Keeper.lnk"),
                     QStringLiteral("LogTallyPC.lnk"), QStringLiteral("Measure Swap.lnk"),
                     QStringLiteral("Model Library.lnk"), QStringLiteral("Plot Pictures.lnk")}));
    const QString base = app.path() + QLatin1Char('/');
    const char* expected[][3] = {{"Plot Pictures.lnk", "prv.exe", "prv.exe"},
                                 {"LogTallyPC.lnk", "LTPC.exe", "LTPC.exe"},
                                 {"Model Library.lnk", "MDLib.exe", "mdlib.exe"},
                                 {"Measure Swap.lnk", "MeasSwap.exe", "MeasSwap.exe"}};
    for (const auto& e : expected) {
        const auto d = ShortcutHelper::decode(
            app.read(QStringLiteral("ShortCuts/") + QString::fromLatin1(e[0])));
        ASSERT_TRUE(d.has_value()) << e[0];
        EXPECT_EQ(d->targetPath, base + QString::fromLatin1(e[1]));
        EXPECT_EQ(d->iconFile, base + QString::fromLatin1(e[2]));
        EXPECT_EQ(d->workingFolder, QStringLiteral(" "));
        EXPECT_EQ(d->argumentText, QStringLiteral(" "));
    }
}

TEST(Housekeeping, UsersShortcutsAreLeftAloneAndTheRetiredOneGoes)
{
    TempAppFolder app;
    app.write(QStringLiteral("shortcuts/ProfileView.lnk"), "retired");
    app.write(QStringLiteral("shortcuts/Plot Pictures.lnk"), "points elsewhere");
    app.write(QStringLiteral("shortcuts/canopy load.LNK"), "users own spelling");
    app.write(QStringLiteral("shortcuts/Mine.lnk"), "mine");
    housekeeping(app.path());
    EXPECT_FALSE(app.exists(QStringLiteral("ShortCuts"))); // "shortcuts" counts
    const QStringList names =
        QDir(app.file(QStringLiteral("shortcuts"))).entryList(QDir::Files, QDir::Name);
    EXPECT_FALSE(names.contains(QStringLiteral("ProfileView.lnk")));
    EXPECT_FALSE(names.contains(QStringLiteral("Canopy Load.lnk")));
    EXPECT_EQ(names.size(), 7);
    EXPECT_EQ(app.read(QStringLiteral("shortcuts/Plot Pictures.lnk")),
              QByteArray("points elsewhere"));
    EXPECT_EQ(app.read(QStringLiteral("shortcuts/canopy load.LNK")),
              QByteArray("users own spelling"));

    // A default shortcut the user deleted comes back at the next start.
    QFile::remove(app.file(QStringLiteral("shortcuts/LogTallyPC.lnk")));
    housekeeping(app.path());
    EXPECT_TRUE(app.exists(QStringLiteral("shortcuts/LogTallyPC.lnk")));
}

TEST(Housekeeping, FilesWhereFoldersShouldBeAreNotReplaced)
{
    TempAppFolder app;
    app.write(QStringLiteral("ShortCuts"), "a file");
    app.write(QStringLiteral("photoimages"), "another file");
    housekeeping(app.path()); // every step fails quietly and the next one runs
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts")), QByteArray("a file"));
    EXPECT_EQ(app.read(QStringLiteral("photoimages")), QByteArray("another file"));
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("DemoImages"))).isDir());
}

} // namespace
