// The "Tools" tab's commands on the shortcut files: the protected names, and a rename or delete
// failing at each step with the old shortcut kept, and Undo bringing back the old bytes.
#include "commands/ShortcutEdits.h"
#include "formats/ShortcutHelper.h"
#include "platform/LocalFileSystem.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using shortcutedits::Outcome;

TEST(ShortcutEdits, EachProtectedNameIsProtectedForWhatTheTableSaysInAnyLetterCase)
{
    const struct {
        const char* name;
        bool noDelete, noRename;
    } table[] = {
        {"Model Library.lnk", true, true}, {"LogTallyPC.lnk", true, true},
        {"Plot Pictures.lnk", true, true}, {"Image Keeper.lnk", true, false},
        {"Sort Images.lnk", false, true},  {"Tabulate.lnk", false, true},
        {"Canopy Load.lnk", true, true},   {"Measure Swap.lnk", true, true},
        {"Calculator.lnk", false, false},  {"Canopy Load", false, false},
    };
    for (const auto& row : table) {
        for (const QString& name :
             {QString::fromLatin1(row.name).toLower(), QString::fromLatin1(row.name).toUpper()}) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(shortcutedits::protectionOf(name).noDelete, row.noDelete);
            EXPECT_EQ(shortcutedits::protectionOf(name).noRename, row.noRename);
        }
    }
}

// The file system, except that deleting one file fails.
struct Files : LocalFileSystem {
    QString pinned;
    FileResult remove(const QString& path) override
    {
        return path == pinned ? FileResult::fromErrno(EPERM) : LocalFileSystem::remove(path);
    }
};

// A shortcut folder holding Mine.lnk.
struct Folder {
    TempAppFolder app;
    Files files;
    QString mine = app.file(QStringLiteral("ShortCuts/Mine.lnk"));
    QByteArray mineBytes;

    Folder()
    {
        app.mkdir(QStringLiteral("ShortCuts"));
        QString f = mine, t = QStringLiteral("/opt/mine"), w = QStringLiteral("/opt/"),
                a = QStringLiteral("-x"), i = QStringLiteral("/opt/mine.ico");
        qint32 n1 = 3, n2 = 4;
        ShortcutHelper().CreateShortcut(f, t, w, a, i, n1, n2);
        mineBytes = app.read(QStringLiteral("ShortCuts/Mine.lnk"));
    }
    QStringList folder() const
    {
        return QDir(app.file(QStringLiteral("ShortCuts")))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    shortcutedits::Result rename(const QString& typed)
    {
        return shortcutedits::rename(files, app.path(), mine, typed);
    }
};

struct ShortcutFolder : ::testing::Test, Folder {
    void SetUp() override { ASSERT_FALSE(mineBytes.isEmpty()); }
};

TEST_F(ShortcutFolder, ARenameThatCannotBeCompletedKeepsTheOldShortcutAlone)
{
    struct Case {
        const char* what;
        QString typed;
        std::function<void(Folder&)> fault;
        Outcome outcome;
    };
    const Case cases[] = {
        {"a name no file can have", QStringLiteral("../Escaped"), {}, Outcome::Refused},
        {"a hidden name", QStringLiteral(".mine"), {}, Outcome::Refused},
        {"a name taken in another letter case", QStringLiteral("MINE"), {}, Outcome::Taken},
        {"a name too long for the file system",
         QString(300, QLatin1Char('n')),
         {},
         Outcome::Failed},
        {"an old shortcut that cannot be read", QStringLiteral("Fixed"),
         [](Folder& t) { t.app.write(QStringLiteral("ShortCuts/Mine.lnk"), "damaged"); },
         Outcome::Failed},
        {"a new shortcut that does not read back as written", QStringLiteral("Lost"),
         [](Folder& t) {
             shortcutedits::afterRenameWrite = [&t](const QString& written) {
                 t.app.write(QStringLiteral("ShortCuts/") + QFileInfo(written).fileName(), "x");
             };
         },
         Outcome::Failed},
        {"a shortcut that has gone", QStringLiteral("Other"),
         [](Folder& t) { QFile::remove(t.mine); }, Outcome::Gone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder t;
        if (c.fault)
            c.fault(t);
        const QStringList before = t.folder();
        const QByteArray bytes = t.app.read(QStringLiteral("ShortCuts/Mine.lnk"));
        const shortcutedits::Result r = t.rename(c.typed);
        shortcutedits::afterRenameWrite = nullptr;
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(t.folder(), before);
        EXPECT_EQ(t.app.read(QStringLiteral("ShortCuts/Mine.lnk")), bytes);
        EXPECT_FALSE(r.undo);
    }
}

TEST_F(ShortcutFolder, ARenameWritesTheNewShortcutFirstAndUndoBringsBackTheOldBytes)
{
    files.pinned = mine; // the old one cannot go: both stay, and the user is told
    shortcutedits::Result r = rename(QStringLiteral("Copy"));
    EXPECT_EQ(r.outcome, Outcome::OldKept);
    EXPECT_EQ(folder(), (QStringList{QStringLiteral("Copy.lnk"), QStringLiteral("Mine.lnk")}));
    files.pinned.clear();
    QFile::remove(app.file(QStringLiteral("ShortCuts/Copy.lnk")));

    r = rename(QStringLiteral("Calculator"));
    ASSERT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(folder(), QStringList{QStringLiteral("Calculator.lnk")});
    ShortcutData back;
    QString f = r.newFile, icon, args;
    ASSERT_TRUE(ShortcutHelper()
                    .ReadShortcut(f, back.targetPath, back.workingFolder, args, icon,
                                  back.iconIndex, back.hotKey)
                    .ok);
    EXPECT_EQ(args, QStringLiteral(" ")); // the old arguments and icon are not carried over
    EXPECT_EQ(icon, QStringLiteral("/opt/mine"));
    ASSERT_TRUE(r.undo);

    // Undo: not over a shortcut of the old name; not when the renamed one has gone.
    app.write(QStringLiteral("ShortCuts/mine.LNK"), "someone's");
    EXPECT_EQ(shortcutedits::undo(files, *r.undo).outcome, Outcome::Taken);
    QFile::remove(app.file(QStringLiteral("ShortCuts/mine.LNK")));
    files.pinned = r.newFile; // the renamed one cannot go: the old one is not written either
    EXPECT_EQ(shortcutedits::undo(files, *r.undo).outcome, Outcome::Failed);
    EXPECT_EQ(folder(), QStringList{QStringLiteral("Calculator.lnk")});
    files.pinned.clear();
    EXPECT_EQ(shortcutedits::undo(files, *r.undo).outcome, Outcome::Done);
    EXPECT_EQ(folder(), QStringList{QStringLiteral("Mine.lnk")});
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts/Mine.lnk")), mineBytes);
    EXPECT_EQ(shortcutedits::undo(files, *r.undo).outcome, Outcome::Gone);
}

TEST_F(ShortcutFolder, ADeleteKeepsTheBytesForUndo)
{
    const shortcutedits::Result r = shortcutedits::remove(files, mine);
    ASSERT_TRUE(r.undo);
    EXPECT_TRUE(folder().isEmpty());
    EXPECT_EQ(shortcutedits::remove(files, mine).outcome, Outcome::Gone);
    EXPECT_EQ(shortcutedits::undo(files, *r.undo).outcome, Outcome::Done);
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts/Mine.lnk")), mineBytes);
}

} // namespace
