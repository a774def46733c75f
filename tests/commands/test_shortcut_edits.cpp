// The "Tools" tab's commands on the shortcut files: the protected names, and a rename or delete
// failing at each step with the old shortcut kept, and Undo bringing back the old bytes.
#include "commands/ShortcutChecks.h"
#include "formats/ShortcutHelper.h"
#include "platform/LocalFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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

using Step = FaultyFileSystem::Step;

// A shortcut folder holding Mine.lnk.
struct Folder {
    TempAppFolder app;
    FaultyFileSystem files;
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
    // Every file of the folder with its bytes.
    QMap<QString, QByteArray> contents() const
    {
        QMap<QString, QByteArray> all;
        for (const QString& name : folder())
            all[name] = app.read(QStringLiteral("ShortCuts/") + name);
        return all;
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
    // What the user is told: a notice, or a failure told with the platform's reason.
    const QString refusal = QStringLiteral(
        "A file name can not contain any of these characters:\r\" / \\ : * ? < > | or control "
        "characters.");
    const commands::Told notRenamed{{}, QStringLiteral("The shortcut was not renamed")};
    struct Case {
        const char* what;
        QString typed;
        std::function<void(Folder&)> fault;
        Outcome outcome;
        commands::Told told;
    };
    const Case cases[] = {
        {"a name that leaves the folder",
         QStringLiteral("../Escaped"),
         {},
         Outcome::Refused,
         {refusal, {}}},
        {"a back slash", QStringLiteral("a\\b"), {}, Outcome::Refused, {refusal, {}}},
        {"a drive's colon", QStringLiteral("C:x"), {}, Outcome::Refused, {refusal, {}}},
        {"a control character", QStringLiteral("tab\there"), {}, Outcome::Refused, {refusal, {}}},
        {"the parent folder",
         QStringLiteral(".."),
         {},
         Outcome::Refused,
         {QStringLiteral("\"..\" can not be used as a file name."), {}}},
        {"a hidden name",
         QStringLiteral(".mine"),
         {},
         Outcome::Refused,
         {QStringLiteral("\".mine\" can not be used as a file name."), {}}},
        {"a name taken in another letter case",
         QStringLiteral("MINE"),
         {},
         Outcome::Taken,
         {QStringLiteral("MINE already exists, can't change name"), {}}},
        {"a name too long for the file system",
         QString(300, QLatin1Char('n')),
         {},
         Outcome::Failed,
         notRenamed},
        {"an old shortcut that cannot be read", QStringLiteral("Fixed"),
         [](Folder& t) { t.app.write(QStringLiteral("ShortCuts/Mine.lnk"), "damaged"); },
         Outcome::Failed, notRenamed},
        {"a new shortcut that does not read back as written", QStringLiteral("Lost"),
         [](Folder& t) {
             shortcutedits::afterRenameWrite = [&t](const QString& written) {
                 t.app.write(QStringLiteral("ShortCuts/") + QFileInfo(written).fileName(), "x");
             };
         },
         Outcome::Failed, notRenamed},
        {"a folder where the new one is written first", QStringLiteral("Parted"),
         [](Folder& t) { t.app.mkdir(QStringLiteral("ShortCuts/.Parted.lnk.part")); },
         Outcome::Failed, notRenamed},
        {"a shortcut that has gone",
         QStringLiteral("Other"),
         [](Folder& t) { QFile::remove(t.mine); },
         Outcome::Gone,
         {QStringLiteral("The shortcut Mine.lnk is no longer in the shortcut folder. Nothing was "
                         "changed."),
          {}}},
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
        const commands::Told told =
            shortcutedits::told(r, {t.mine, QStringLiteral("Mine.lnk"), {}, {}}, c.typed);
        EXPECT_EQ(told.notice, c.told.notice);
        EXPECT_EQ(told.failure, c.told.failure);
    }
}

TEST_F(ShortcutFolder, ARenameWritesTheNewShortcutFirstAndUndoBringsBackTheOldBytes)
{
    shortcutedits::Result r = rename(QStringLiteral("Calculator"));
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

// The commands that write a shortcut file, each from its own start: Create of a new shortcut and
// over an old one of that name, Rename, and the Undo of a Rename and of a Delete (which keep
// their step, to be tried again).
enum class Command { Create, CreateOver, Rename, UndoRename, UndoDelete };

struct Ran {
    Outcome outcome;
    FileResult result;
    QString told; // the failure as the window shows it
};

Ran prepareAndRun(Folder& t, Command c, const std::function<void()>& fault)
{
    const QString program = QStringLiteral("/opt/calc");
    std::optional<shortcutedits::ShortcutStep> step;
    if (c == Command::CreateOver) {
        EXPECT_TRUE(shortcutedits::createShortcutTo(t.files, t.app.path(), program).result.ok);
    }
    if (c == Command::UndoRename)
        step = t.rename(QStringLiteral("Calc")).undo;
    if (c == Command::UndoDelete)
        step = shortcutedits::remove(t.files, t.mine).undo;
    EXPECT_EQ(c == Command::UndoRename || c == Command::UndoDelete, step.has_value());
    fault();
    switch (c) {
    case Command::Create:
    case Command::CreateOver: {
        const auto w = shortcutedits::createShortcutTo(t.files, t.app.path(), program);
        return {w.result.ok ? Outcome::Done : Outcome::Failed, w.result,
                w.result.message(shortcutedits::notWrittenText(w.file))};
    }
    case Command::Rename: {
        const auto r = t.rename(QStringLiteral("Calc"));
        return {r.outcome, r.result, r.result.message(shortcutedits::notRenamedText())};
    }
    default: {
        const auto r = shortcutedits::undo(t.files, *step);
        const Outcome o = r.outcome;
        t.files.fail(Step::None, 0);
        // What failed may be tried again, and then goes through.
        EXPECT_EQ(shortcutedits::undo(t.files, *step).outcome,
                  o == Outcome::Failed ? Outcome::Done : Outcome::Taken);
        EXPECT_TRUE(t.folder().contains(QStringLiteral("Mine.lnk")));
        return {
            o, r.result,
            r.result.message(QStringLiteral("The undo did not go through. Nothing was changed."))};
    }
    }
}

TEST(ShortcutDisk, EachStepOfEachCommandFailingLeavesTheShortcutsAsTheyWereAndSaysWhy)
{
    const struct {
        const char* what;
        Step step; // Step::Rename: the rename into place, a replacing one for Create
        int error;
        QString at;
    } faults[] = {
        {"the new file made", Step::Create, ENOSPC, {}},
        {"a full disk on the write", Step::Write, ENOSPC, {}},
        {"a failing disk on the write", Step::Write, EIO, {}},
        {"a full disk on the flush", Step::Flush, ENOSPC, {}},
        {"a failing disk on the flush", Step::Flush, EIO, {}},
        {"a full disk on the close", Step::Close, ENOSPC, {}},
        {"a failing disk on the close", Step::Close, EIO, {}},
        {"the read back", Step::Read, EIO, QStringLiteral(".part")},
        {"the rename into place", Step::Rename, EIO, {}},
    };
    const struct {
        const char* what;
        Command command;
    } commands[] = {
        {"Create", Command::Create},
        {"Create over an old one", Command::CreateOver},
        {"Rename", Command::Rename},
        {"Undo of a Rename", Command::UndoRename},
        {"Undo of a Delete", Command::UndoDelete},
    };
    for (const auto& c : commands) {
        for (const auto& f : faults) {
            SCOPED_TRACE(std::string(c.what) + ", " + f.what);
            Folder t;
            QMap<QString, QByteArray> before;
            const Step step =
                f.step == Step::Rename && c.command <= Command::CreateOver ? Step::Replace : f.step;
            const Ran run = prepareAndRun(t, c.command, [&] {
                before = t.contents();
                t.files.fail(step, f.error, f.at);
            });
            EXPECT_EQ(run.outcome, Outcome::Failed);
            EXPECT_EQ(run.told.section(QLatin1Char('\r'), 1),
                      QStringLiteral("%1-%2").arg(f.error).arg(
                          QString::fromLocal8Bit(std::strerror(f.error))));
            if (c.command != Command::UndoRename && c.command != Command::UndoDelete) {
                EXPECT_EQ(t.contents(), before);
            }
        }
    }
}

TEST(ShortcutDisk, AShortcutThatCannotBeRemovedAfterTheNewOneIsWritten)
{
    const struct {
        const char* what;
        Command command;
        QString at; // whose removal fails; every one's when empty
        Outcome outcome;
        QStringList after;
        QString told;
    } cases[] = {
        // The new one goes again: nothing was changed.
        {"Rename, the old one",
         Command::Rename,
         QStringLiteral("Mine.lnk"),
         Outcome::Failed,
         {QStringLiteral("Mine.lnk")},
         QStringLiteral("The shortcut was not renamed\r1-Operation not permitted")},
        {"Rename, neither",
         Command::Rename,
         {},
         Outcome::OldKept,
         {QStringLiteral("Calc.lnk"), QStringLiteral("Mine.lnk")},
         QStringLiteral("The shortcut was copied to Calc.lnk, but the old one could not be "
                        "removed: Mine.lnk\r1-Operation not permitted")},
        {"Undo of a Rename, the renamed one",
         Command::UndoRename,
         QStringLiteral("Calc.lnk"),
         Outcome::Failed,
         {QStringLiteral("Calc.lnk")},
         QStringLiteral("The undo did not go through. Nothing was changed.\r1-Operation not "
                        "permitted")},
        {"Undo of a Rename, neither",
         Command::UndoRename,
         {},
         Outcome::OldKept,
         {QStringLiteral("Calc.lnk"), QStringLiteral("Mine.lnk")},
         QStringLiteral("The shortcut Mine.lnk is back, but Calc.lnk could not be "
                        "removed\r1-Operation not permitted")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder t;
        shortcutedits::Result r;
        if (c.command == Command::Rename) {
            t.files.fail(Step::Remove, EPERM, c.at);
            r = t.rename(QStringLiteral("Calc"));
            EXPECT_EQ(r.result.message(r.outcome == Outcome::OldKept
                                           ? shortcutedits::oldKeptText(QStringLiteral("Calc"),
                                                                        QStringLiteral("Mine.lnk"))
                                           : shortcutedits::notRenamedText()),
                      c.told);
        } else {
            const auto step = *t.rename(QStringLiteral("Calc")).undo;
            t.files.fail(Step::Remove, EPERM, c.at);
            r = shortcutedits::undo(t.files, step);
            const UndoTexts texts = shortcutedits::undoTexts(step);
            EXPECT_EQ(r.result.message(r.outcome == Outcome::OldKept
                                           ? texts.partly
                                           : QStringLiteral("The undo did not go through. "
                                                            "Nothing was changed.")),
                      c.told);
        }
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(r.undo);
        EXPECT_EQ(t.folder(), c.after);
    }

    // A Delete whose deletion fails says nothing: the reload shows the shortcut again.
    Folder t;
    t.files.fail(Step::Remove, EPERM);
    const shortcutedits::Result r = shortcutedits::remove(t.files, t.mine);
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_FALSE(r.undo);
    EXPECT_EQ(t.app.read(QStringLiteral("ShortCuts/Mine.lnk")), t.mineBytes);
}

} // namespace
