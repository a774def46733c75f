// The "Tools" tab over a real shortcut folder, with scripted dialogs and plain-colour icons.
#include "actions/ShortcutHelper.h"
#include "actions/ToolsTab.h"
#include "app/StartupHousekeeping.h"
#include "base/Columns.h"
#include "mainwindow/frmQEL.h"
#include "platform/linux/PosixLauncher.h"
#include "support/FakeHub.h"
#include "support/LnkInfo.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

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
        EXPECT_EQ(e.missingNote,
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
    EXPECT_EQ(icons.asked, asked);
    EXPECT_EQ(tools().imgShortCut[0].count(), 3);
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Report);
    EXPECT_EQ(list->largeImageList(), &tools().imgShortCut[0]);
    EXPECT_EQ(list->smallImageList(), &tools().imgShortCut[1]);
}

TEST_F(Tools, AnEmptiedFolderEmptiesTheListAndItsIcons)
{
    shortcut(QStringLiteral("ShortCuts/Tool.lnk"), QStringLiteral("/opt/tool"));
    tools().LoadShortcutList();
    ASSERT_EQ(list->count(), 1);
    QFile::remove(app.file(QStringLiteral("ShortCuts/Tool.lnk")));
    list->setViewMode(QelListView::ViewMode::Icon);
    tools().LoadShortcutList();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(tools().imgShortCut[0].count(), 0);
    EXPECT_EQ(tools().imgShortCut[1].count(), 0);
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Report);
}

TEST_F(Tools, AFirstStartListsTheSixDefaultShortcuts)
{
    writeDefaultShortcuts(app.path());
    tools().LoadShortcutList();
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
    EXPECT_TRUE(prompter.dialogs.isEmpty());

    window->TabMain->setCurrTab(2);
    prompter.dialogAnswers = {calc};
    window->barMain_ButtonClick(QStringLiteral("Create"));
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
    ASSERT_EQ(prompter.dialogs.size(), 2);
    EXPECT_EQ(prompter.dialogs[1].initialName, calc);
    EXPECT_EQ(list->count(), 2);

    // The same name in another letter case is the same shortcut: a damaged one is replaced.
    const QString otherCase = app.file(QStringLiteral("ShortCuts/shortcut to CALC.exe.lnk"));
    QFile::rename(written, otherCase);
    app.write(QStringLiteral("ShortCuts/shortcut to CALC.exe.lnk"), "damaged");
    prompter.dialogAnswers = {folder + QStringLiteral("CALC.exe")};
    window->mnuCreate_Click();
    EXPECT_EQ(QDir(app.file(QStringLiteral("ShortCuts"))).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(lnkinfo(otherCase).value(QStringLiteral("Local path")),
              folder + QStringLiteral("CALC.exe"));

    // A shortcut that cannot be written is reported; the list still reloads.
    app.mkdir(QStringLiteral("ShortCuts/Shortcut to busy.exe.lnk"));
    prompter.dialogAnswers = {folder + QStringLiteral("busy.exe")};
    window->mnuCreate_Click();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(
        QStringLiteral("The shortcut could not be written: ") + app.path() +
        QStringLiteral("/ShortCuts/Shortcut to busy.exe.lnk\r")))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(list->count(), 2);
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
    QStringList starts(int expected) const
    {
        QElapsedTimer t;
        t.start();
        QStringList lines;
        while (t.elapsed() < 10000) {
            QFile f(recordFile);
            if (f.open(QIODevice::ReadOnly))
                lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (lines.size() >= expected)
                break;
            QThread::msleep(10);
        }
        return lines;
    }
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

    list->setSelectedRow(-1);
    window->lstQEL_DblClick(2); // nothing selected: nothing happens
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
