// The "Tools" tab over a real shortcut folder, with scripted dialogs and plain-colour icons.
#include "base/Columns.h"
#include "formats/ShortcutHelper.h"
#include "mainwindow/frmQEL.h"
#include "platform/linux/PosixLauncher.h"
#include "setup/StartupHousekeeping.h"
#include "support/FakeHub.h"
#include "support/Faults.h"
#include "support/LnkInfo.h"
#include "support/StandinRecord.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

#include <dirent.h>
#include <sys/stat.h>

namespace {

struct Tools : ::testing::Test, FakeHub {
    TempAppFolder scratch;
    std::unique_ptr<frmQEL> window;
    QelListView* list = nullptr;

    void SetUp() override { open(); }
    void open()
    {
        window = makeWindow(); // which makes "ShortCuts"
        list = window->lstQEL[2];
    }
    ToolsTab& tools() const { return window->toolsTab(); }
    void shortcut(const QString& relative, const QString& program)
    {
        QString file = app.file(relative), target = program, working = QStringLiteral(" "),
                arguments = QStringLiteral(" "), icon = program;
        qint32 n1 = 0, n2 = 0;
        ASSERT_TRUE(
            ShortcutHelper().CreateShortcut(file, target, working, arguments, icon, n1, n2).ok);
    }
    QColor color(int images, const QString& key, int side) const
    {
        return tools().imgShortCut[size_t(images)].icon(key).pixmap(side).toImage().pixelColor(
            side / 2, side / 2);
    }
    int rowOf(const QString& text) const
    {
        for (int i = 0; i < list->count(); ++i) {
            if (list->text(i) == text)
                return i;
        }
        return -1;
    }
    void dblClick(const QString& text)
    {
        list->setSelectedRow(rowOf(text));
        window->lstQEL_DblClick(2);
        ASSERT_TRUE(settle());
    }
};

// The folder's own listing order, as the system gives it.
QStringList readdirOrder(const QString& folder)
{
    QStringList names;
    DIR* d = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent* e = d ? ::readdir(d) : nullptr)
        names.append(QFile::decodeName(e->d_name));
    if (d)
        ::closedir(d);
    return names;
}

TEST_F(Tools, ListsTheShortcutFilesOfTheFolderInItsOwnOrder)
{
    // The folder spelled otherwise than the program spells it.
    QDir(app.path()).rmdir(QStringLiteral("ShortCuts"));
    app.mkdir(QStringLiteral("shortcuts"));
    const QString myTool = scratch.path() + QStringLiteral("/my tool");
    const QString upper = app.path() + QStringLiteral("/x.exe");
    shortcut(QStringLiteral("shortcuts/My.Tool.lnk"), myTool);
    shortcut(QStringLiteral("shortcuts/X.LNK"), upper);
    shortcut(QStringLiteral("shortcuts/.hidden.lnk"), upper);
    app.write(QStringLiteral("shortcuts/readme.txt"), "not a shortcut");
    app.write(QStringLiteral("shortcuts/junk.lnk"), "not a shortcut either");
    app.mkdir(QStringLiteral("shortcuts/folder.lnk"));
    // A pipe would block whoever reads it.
    ASSERT_EQ(::mkfifo(QFile::encodeName(app.file(QStringLiteral("shortcuts/pipe.lnk"))), 0600), 0);

    list->setViewMode(QelListView::ViewMode::Icon);
    tools().LoadShortcutList();
    ASSERT_TRUE(settle());

    const QMap<QString, QString> programOf = {{QStringLiteral("My.Tool.lnk"), myTool},
                                              {QStringLiteral("X.LNK"), upper},
                                              {QStringLiteral("junk.lnk"), QString()}};
    QStringList expected;
    for (const QString& name : readdirOrder(app.file(QStringLiteral("shortcuts")))) {
        if (programOf.contains(name))
            expected.append(name);
    }
    ASSERT_EQ(list->count(), 3);
    QStringList keys, asked;
    for (int row = 0; row < list->count(); ++row) {
        const ListEntry& e = list->entry(row);
        const QString name = e.largeIcon;
        keys.append(name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(e.smallIcon, name);
        EXPECT_EQ(e.text, name.left(name.indexOf(QLatin1Char('.'))));
        EXPECT_EQ(list->subItem(row, ToolsColumn::Path), QString());
        EXPECT_EQ(list->subItem(row, ToolsColumn::ShortcutFile),
                  app.path() + QStringLiteral("/shortcuts/") + name);
        EXPECT_EQ(list->subItem(row, ToolsColumn::Program), programOf.value(name));
        // An unreadable shortcut is greyed, and says why.
        EXPECT_EQ(e.note, programOf.value(name).isEmpty() ? Note::Broken : Note::None);
        EXPECT_EQ(e.toolTip,
                  programOf.value(name).isEmpty()
                      ? QStringLiteral("The shortcut cannot be read: Not a shortcut file")
                      : QString());
        const QColor want = programOf.value(name).isEmpty()
                                ? FakeIconSource::brokenColor()
                                : FakeIconSource::colorFor(programOf.value(name));
        EXPECT_EQ(color(0, name, 32), want);
        EXPECT_EQ(color(1, name, 16), want);
        if (!programOf.value(name).isEmpty())
            asked.append(programOf.value(name));
    }
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(icons.asked(), asked);
    EXPECT_EQ(tools().imgShortCut[0].count(), 3);
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Report);
    EXPECT_EQ(list->largeImageList(), &tools().imgShortCut[0]);
    EXPECT_EQ(list->smallImageList(), &tools().imgShortCut[1]);
}

TEST_F(Tools, AnEmptiedFolderEmptiesTheListAndItsIcons)
{
    shortcut(QStringLiteral("ShortCuts/Tool.lnk"), QStringLiteral("/opt/tool"));
    tools().LoadShortcutList();
    ASSERT_TRUE(settle());
    ASSERT_EQ(list->count(), 1);
    QFile::remove(app.file(QStringLiteral("ShortCuts/Tool.lnk")));
    list->setViewMode(QelListView::ViewMode::Icon);
    tools().LoadShortcutList();
    ASSERT_TRUE(settle());
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(tools().imgShortCut[0].count(), 0);
    EXPECT_EQ(tools().imgShortCut[1].count(), 0);
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Report);
}

TEST_F(Tools, AFirstStartListsTheSixDefaultShortcuts)
{
    writeDefaultShortcuts(app.path());
    tools().LoadShortcutList();
    ASSERT_TRUE(settle());
    QMap<QString, QString> programs;
    for (int row = 0; row < list->count(); ++row)
        programs.insert(list->text(row), list->subItem(row, ToolsColumn::Program));
    const QString base = app.path() + QLatin1Char('/');
    EXPECT_EQ(programs, (QMap<QString, QString>{
                            {QStringLiteral("Plot Pictures"), base + QStringLiteral("prv.exe")},
                            {QStringLiteral("LogTallyPC"), base + QStringLiteral("LTPC.exe")},
                            {QStringLiteral("Image Keeper"), base + QStringLiteral("imgkeep.exe")},
                            {QStringLiteral("Model Library"), base + QStringLiteral("mdlib.exe")},
                            {QStringLiteral("Canopy Load"), base + QStringLiteral("cnl.exe")},
                            {QStringLiteral("Measure Swap"), base + QStringLiteral("MeasSwap.exe")},
                        }));
}

TEST_F(Tools, CreateWritesTheShortcutOfTheChosenProgram)
{
    const QString folder = scratch.path() + QStringLiteral("/Tool Dir/");
    const QString calc = folder + QStringLiteral("calc.exe");
    scratch.write(QStringLiteral("Tool Dir/calc.exe"), "x");
    const QString written = app.path() + QStringLiteral("/ShortCuts/Shortcut to calc.exe.lnk");

    // Create does nothing on the "New" tab.
    window->TabMain->setCurrTab(0);
    window->mnuCreate_Click();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.dialogs.isEmpty());

    window->TabMain->setCurrTab(2);
    prompter.dialogAnswers = {calc};
    window->barMain_ButtonClick(QStringLiteral("Create"));
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.dialogs.size(), 1);
    const OpenFileRequest& d = prompter.dialogs[0];
    EXPECT_EQ(d.title, QStringLiteral("Open File"));
    EXPECT_EQ(d.filter, QStringLiteral("Files (.exe,.hlp)|*.exe;*.hlp|All files|*"));
    EXPECT_EQ(d.filterIndex, 1);
    EXPECT_EQ(d.initialFolder, app.path());
    EXPECT_EQ(d.initialName, QString());

    const auto fields = lnkinfo(written);
    EXPECT_EQ(fields.value(QStringLiteral("Local path")), calc);
    EXPECT_EQ(fields.value(QStringLiteral("Working directory")), folder);
    EXPECT_EQ(fields.value(QStringLiteral("Command line arguments")), QStringLiteral(" "));
    EXPECT_EQ(fields.value(QStringLiteral("Icon location")), calc);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->text(0), QStringLiteral("Shortcut to calc"));
    EXPECT_EQ(list->subItem(0, ToolsColumn::ShortcutFile), written);
    EXPECT_EQ(list->subItem(0, ToolsColumn::Program), calc);

    // Cancelled: nothing is written, the list is reloaded, and the name box kept its name.
    shortcut(QStringLiteral("ShortCuts/Later.lnk"), calc);
    window->mnuCreate_Click();
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.dialogs.size(), 2);
    EXPECT_EQ(prompter.dialogs[1].initialName, calc);
    EXPECT_EQ(list->count(), 2);

    // The same name in another letter case is the same shortcut: a damaged one is replaced.
    const QString otherCase = app.file(QStringLiteral("ShortCuts/shortcut to CALC.exe.lnk"));
    QFile::rename(written, otherCase);
    app.write(QStringLiteral("ShortCuts/shortcut to CALC.exe.lnk"), "damaged");
    prompter.dialogAnswers = {folder + QStringLiteral("CALC.exe")};
    window->mnuCreate_Click();
    ASSERT_TRUE(settle());
    EXPECT_EQ(QDir(app.file(QStringLiteral("ShortCuts"))).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(lnkinfo(otherCase).value(QStringLiteral("Local path")),
              folder + QStringLiteral("CALC.exe"));

    // A shortcut that cannot be written is reported; the list still reloads.
    app.mkdir(QStringLiteral("ShortCuts/Shortcut to busy.exe.lnk"));
    prompter.dialogAnswers = {folder + QStringLiteral("busy.exe")};
    window->mnuCreate_Click();
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(
        QStringLiteral("The shortcut could not be written: ") + app.path() +
        QStringLiteral("/ShortCuts/Shortcut to busy.exe.lnk\r")))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(list->count(), 2);
}

struct ToolsEditing : Tools {
    QString folder() const { return app.file(QStringLiteral("ShortCuts")); }
    QString file(const QString& name) const { return folder() + QLatin1Char('/') + name; }
    QStringList files() const
    {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Selects the entry of a shortcut file and runs Rename or Delete the way the user does;
    // `meanwhile` changes the folder behind the list's back.
    void command(QAction* item, const QString& name, const std::function<void()>& meanwhile = {})
    {
        tools().LoadShortcutList();
        ASSERT_TRUE(settle());
        list->setSelectedRow(-1);
        for (int row = 0; row < list->count(); ++row) {
            if (list->entry(row).largeIcon == name)
                list->setSelectedRow(row);
        }
        if (meanwhile)
            meanwhile();
        item->trigger();
        ASSERT_TRUE(settle());
    }
    void SetUp() override
    {
        Tools::SetUp();
        window->TabMain->setCurrTab(2);
    }
};

TEST_F(ToolsEditing, ProtectedNamesAreRefusedWhateverTheirCase)
{
    for (const char* name : {"Image Keeper.lnk", "Sort Images.lnk", "canopy load.LNK"})
        shortcut(QStringLiteral("ShortCuts/") + QLatin1String(name), QStringLiteral("/opt/tool"));
    const QString cantRename = QStringLiteral("Sorry, you can't rename this shortcut");
    const QString cantDelete = QStringLiteral("Sorry, you can't delete this shortcut");
    const QStringList all = files();

    // Image Keeper may be renamed (here: the box cancelled, and the list read anew), not deleted.
    command(window->mnuRename, QStringLiteral("Image Keeper.lnk"),
            [&] { shortcut(QStringLiteral("ShortCuts/Later.lnk"), QStringLiteral("/opt/tool")); });
    EXPECT_EQ(list->count(), 4);
    QFile::remove(file(QStringLiteral("Later.lnk")));
    ASSERT_EQ(prompter.inputs.size(), 1);
    EXPECT_EQ(prompter.inputs[0].prompt, QStringLiteral("Rename shortcut Image Keeper"));
    EXPECT_EQ(prompter.inputs[0].title, QStringLiteral("  "));
    EXPECT_EQ(prompter.inputs[0].defaultText, QStringLiteral(" "));
    EXPECT_TRUE(prompter.messages.isEmpty());
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    command(window->mnuDelete, QStringLiteral("Image Keeper.lnk"));
    EXPECT_EQ(lastMessage(), cantDelete);
    // Sort Images the other way round; canopy load neither.
    command(window->mnuRename, QStringLiteral("Sort Images.lnk"));
    EXPECT_EQ(lastMessage(), cantRename);
    command(window->mnuRename, QStringLiteral("canopy load.LNK"));
    EXPECT_EQ(lastMessage(), cantRename);
    command(window->mnuDelete, QStringLiteral("canopy load.LNK"));
    EXPECT_EQ(lastMessage(), cantDelete);
    EXPECT_EQ(prompter.inputs.size(), 1);
    ASSERT_EQ(prompter.messages.size(), 4);
    for (const FakePrompter::Message& m : prompter.messages) {
        EXPECT_EQ(m.title, QStringLiteral("Keldara"));
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.icon, MsgIcon::None);
    }
    EXPECT_EQ(files(), all);

    // Sort Images may go, after the question; No keeps it.
    prompter.answers = {MsgAnswer::No};
    command(window->button(QStringLiteral("Delete")), QStringLiteral("Sort Images.lnk"));
    EXPECT_EQ(lastMessage(),
              QStringLiteral("Are your sure you want to delete the shortcut: SORT IMAGES.LNK"));
    EXPECT_EQ(prompter.messages.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.messages.last().buttons, MsgButtons::YesNo);
    EXPECT_EQ(files(), all);
    prompter.answers = {MsgAnswer::Yes};
    command(window->mnuDelete, QStringLiteral("Sort Images.lnk"));
    EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("Sort Images.lnk"))));
    EXPECT_EQ(list->count(), 2); // reloaded

    // Nothing selected, or its file gone: both commands ask for a shortcut.
    for (QAction* item : {window->mnuRename, window->mnuDelete}) {
        command(item, QString());
        EXPECT_EQ(lastMessage(), QStringLiteral("Please select shortcut"));
        prompter.messages.clear();
        tools().LoadShortcutList();
        ASSERT_TRUE(settle());
        list->setSelectedRow(0);
        const QString gone = list->subItem(0, ToolsColumn::ShortcutFile);
        QFile::rename(gone, gone + QStringLiteral(".away"));
        item->trigger();
        ASSERT_TRUE(settle());
        QFile::rename(gone + QStringLiteral(".away"), gone);
        EXPECT_EQ(lastMessage(), QStringLiteral("Please select shortcut"));
    }
    EXPECT_EQ(prompter.inputs.size(), 1);
}

TEST_F(ToolsEditing, RenameWritesTheNewShortcutBeforeTheOldOneGoes)
{
    const QString calc = scratch.file(QStringLiteral("Tool Dir/calc.exe"));
    const QString working = scratch.file(QStringLiteral("Tool Dir/"));
    {
        // The old shortcut's own icon, arguments and numbers are not carried over.
        QString f = file(QStringLiteral("Shortcut to calc.exe.lnk")), t = calc, w = working,
                a = QStringLiteral("-x"), i = QStringLiteral("/icons/calc.ico");
        qint32 n1 = 3, n2 = 4;
        ASSERT_TRUE(ShortcutHelper().CreateShortcut(f, t, w, a, i, n1, n2).ok);
    }
    prompter.inputAnswers = {QStringLiteral("Calculator")};
    command(window->mnuRename, QStringLiteral("Shortcut to calc.exe.lnk"));
    EXPECT_EQ(prompter.inputs.last().prompt,
              QStringLiteral("Rename shortcut Shortcut to calc.exe"));
    EXPECT_TRUE(prompter.messages.isEmpty()) << lastMessage().toStdString();
    EXPECT_EQ(files(), QStringList{QStringLiteral("Calculator.lnk")});
    const auto fields = lnkinfo(file(QStringLiteral("Calculator.lnk")));
    EXPECT_EQ(fields.value(QStringLiteral("Local path")), calc);
    EXPECT_EQ(fields.value(QStringLiteral("Working directory")), working);
    EXPECT_EQ(fields.value(QStringLiteral("Command line arguments")), QStringLiteral(" "));
    EXPECT_EQ(fields.value(QStringLiteral("Icon location")), calc);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->text(0), QStringLiteral("Calculator"));
    EXPECT_EQ(list->subItem(0, ToolsColumn::Program), calc);

    // The name it has, in any letter case: refused, and the list is still read anew.
    prompter.inputAnswers = {QStringLiteral("calculator")};
    command(window->mnuRename, QStringLiteral("Calculator.lnk"),
            [&] { shortcut(QStringLiteral("ShortCuts/Added.lnk"), calc); });
    EXPECT_EQ(lastMessage(), QStringLiteral("CALCULATOR already exists, can't change name"));
    EXPECT_EQ(prompter.messages.last().icon, MsgIcon::None);
    EXPECT_EQ(files(),
              (QStringList{QStringLiteral("Added.lnk"), QStringLiteral("Calculator.lnk")}));
    EXPECT_EQ(list->count(), 2);
    QFile::remove(file(QStringLiteral("Added.lnk")));

    // The untouched one-blank default is a name like any other.
    prompter.messages.clear();
    prompter.inputAnswers = {QStringLiteral(" ")};
    command(window->mnuRename, QStringLiteral("Calculator.lnk"));
    EXPECT_TRUE(prompter.messages.isEmpty()) << lastMessage().toStdString();
    EXPECT_EQ(files(), QStringList{QStringLiteral(" .lnk")});
    EXPECT_EQ(lnkinfo(file(QStringLiteral(" .lnk"))).value(QStringLiteral("Local path")), calc);
    EXPECT_EQ(list->count(), 1);
}

TEST_F(ToolsEditing, ARenameThatCannotBeCompletedKeepsTheOldShortcut)
{
    shortcut(QStringLiteral("ShortCuts/Mine.lnk"), QStringLiteral("/opt/mine"));
    const QByteArray mine = app.read(QStringLiteral("ShortCuts/Mine.lnk"));
    const auto rename = [&](const QString& fileName, const QString& answer) {
        prompter.messages.clear();
        prompter.inputAnswers = {answer};
        command(window->mnuRename, fileName);
        EXPECT_EQ(prompter.messages.size(), 1);
        return lastMessage();
    };

    // A name that leaves the folder is refused before any writing (the core's table has every
    // kind); one the file system refuses fails in the writing.
    const struct {
        QString answer, message;
    } names[] = {
        {QStringLiteral("../Escaped"),
         QStringLiteral("A file name can not contain any of these characters:\r\" / \\ : * ? < "
                        "> | or control characters.")},
        {QString(300, QLatin1Char('n')),
         QStringLiteral("The shortcut was not renamed\r36-File name too long")},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.answer.toStdString());
        EXPECT_EQ(rename(QStringLiteral("Mine.lnk"), n.answer), n.message);
        EXPECT_EQ(files(), QStringList{QStringLiteral("Mine.lnk")});
    }
    EXPECT_FALSE(app.exists(QStringLiteral("Escaped.lnk")));

    // An old shortcut that cannot be read is not replaced by a guess.
    app.write(QStringLiteral("ShortCuts/Damaged.lnk"), "not a shortcut");
    EXPECT_EQ(rename(QStringLiteral("Damaged.lnk"), QStringLiteral("Fixed")),
              QStringLiteral("The shortcut was not renamed\r22-Not a shortcut file"));
    EXPECT_EQ(files(), (QStringList{QStringLiteral("Damaged.lnk"), QStringLiteral("Mine.lnk")}));
    QFile::remove(file(QStringLiteral("Damaged.lnk")));

    // An old shortcut that cannot be removed takes its copy back with it, and the user is told.
    {
        ImmutableFile pinned(file(QStringLiteral("Mine.lnk")));
        if (pinned.set) {
            EXPECT_EQ(rename(QStringLiteral("Mine.lnk"), QStringLiteral("Copy")),
                      QStringLiteral("The shortcut was not renamed\r1-Operation not permitted"));
            EXPECT_EQ(files(), QStringList{QStringLiteral("Mine.lnk")});
            EXPECT_EQ(list->count(), 1);
        }
    }

    // A folder that cannot be written: the new shortcut is not made and the old one stays; a
    // delete there fails without a word and the reload shows the shortcut still there.
    ReadOnlyFolder readOnly(folder());
    if (!readOnly.mounted)
        GTEST_SKIP() << "cannot bind-mount a folder read-only here";
    EXPECT_TRUE(rename(QStringLiteral("Mine.lnk"), QStringLiteral("Moved"))
                    .startsWith(QStringLiteral("The shortcut was not renamed\r30-")))
        << lastMessage().toStdString();
    prompter.messages.clear();
    prompter.answers = {MsgAnswer::Yes};
    command(window->mnuDelete, QStringLiteral("Mine.lnk"));
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(files(), QStringList{QStringLiteral("Mine.lnk")});
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts/Mine.lnk")), mine);
    EXPECT_EQ(list->count(), 1);
}

struct ToolsStarting : Tools {
    PosixLauncher realLauncher;
    QString recordFile;
    void SetUp() override
    {
        services.launcher = &realLauncher;
        recordFile = scratch.file(QStringLiteral("starts.txt"));
        qputenv("KELDARA_STANDIN_RECORD", QFile::encodeName(recordFile));
        open();
    }
    void TearDown() override { qunsetenv("KELDARA_STANDIN_RECORD"); }
    QStringList starts(int expected) const { return standinStarts(recordFile, expected); }
};

TEST_F(ToolsStarting, DoubleClickStartsTheProgramAsItStands)
{
    scratch.mkdir(QStringLiteral("Tool Dir"));
    const QString recorder = scratch.file(QStringLiteral("Tool Dir/rec tool"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(STANDIN_EXE), recorder));
    scratch.write(QStringLiteral("Tool Dir/manual.hlp"), "help");
    shortcut(QStringLiteral("ShortCuts/Recorder.lnk"), recorder);
    shortcut(QStringLiteral("ShortCuts/Gone.lnk"), scratch.file(QStringLiteral("gone/tool")));
    shortcut(QStringLiteral("ShortCuts/Help.lnk"),
             scratch.file(QStringLiteral("Tool Dir/manual.hlp")));
    app.write(QStringLiteral("ShortCuts/junk.lnk"), "not a shortcut");
    tools().LoadShortcutList();
    ASSERT_TRUE(settle());

    list->setSelectedRow(-1);
    window->lstQEL_DblClick(2); // nothing selected: nothing happens
    ASSERT_TRUE(settle());
    dblClick(QStringLiteral("Recorder"));
    EXPECT_EQ(starts(1), QStringList{QStringLiteral("rec tool")});

    dblClick(QStringLiteral("Gone"));
    dblClick(QStringLiteral("Help"));
    dblClick(QStringLiteral("junk"));
    ASSERT_EQ(prompter.messages.size(), 3);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Can't start application\r2-No such file or directory"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.messages[1].text,
              QStringLiteral("Can't start application\r13-Permission denied"));
    EXPECT_EQ(prompter.messages[2].text,
              QStringLiteral("The shortcut cannot be read: junk.lnk\r22-Not a shortcut file"));
    EXPECT_EQ(starts(1).size(), 1);
}

} // namespace
