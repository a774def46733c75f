// Edit > Undo through the window's menu, over real files: what a Delete or Rename took comes back
// byte for byte, nothing that stands in the way is replaced, and the menu item names the step.
#include "formats/ShortcutHelper.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QTreeView>

namespace {

QByteArray fileRecord(const QString& path, const char* date)
{
    return records::encode({QStringLiteral("fpl"), path, QString::fromLatin1(date)});
}

QByteArray link(const char* name, const char* url)
{
    return records::encode({QString::fromUtf8(name), QString::fromUtf8(url)});
}

struct Undo : ::testing::Test, FakeHub {
    std::unique_ptr<frmQEL> window;
    const QString openList = QStringLiteral("QELFileList.txt");
    const QString webList = QStringLiteral("QELWebList.txt");

    void SetUp() override
    {
        window = makeWindow();
        app.write(QStringLiteral("data/plot7.fpl"), "plot seven");
        app.write(QStringLiteral("data/keep.fpl"), "keep");
        // Two records of the file amid other lines, one of them no record.
        app.write(openList, fileRecord(data("keep.fpl"), "d1") +
                                fileRecord(data("plot7.fpl"), "d2") + "not a record\r\n" +
                                fileRecord(data("plot7.fpl"), "d3"));
        app.write(webList, link("Maps", "http://m/") + link("Forest", "http://f/1") +
                               link("Trails", "http://t/") + link("Forest", "http://f/2"));
        app.write(QStringLiteral("ShortCuts/calc.lnk"), QByteArray("not a real shortcut\0\1", 22));
        window->openTab().openList().LoadOpenList();
        window->toolsTab().LoadShortcutList();
        window->webTab().LoadWebList();
        ASSERT_TRUE(settle());
    }
    QString data(const char* name) const
    {
        return app.file(QStringLiteral("data/") + QString::fromLatin1(name));
    }
    void select(Tab tab, const QString& text)
    {
        window->TabMain->setCurrTab(int(tab));
        QelListView* list = window->lstQEL[size_t(tab)];
        for (int row = 0; row < list->count(); ++row) {
            if (list->text(row) == text)
                list->setSelectedRow(row);
        }
        ASSERT_EQ(list->text(list->selectedRow()), text);
    }
    void run(QAction* command)
    {
        command->trigger();
        ASSERT_TRUE(settle());
    }
    void remove(Tab tab, const QString& text)
    {
        select(tab, text);
        prompter.answers = {MsgAnswer::Yes};
        run(window->mnuDelete);
    }
    QString selected(Tab tab) const
    {
        const QelListView* list = window->lstQEL[size_t(tab)];
        return list->text(list->selectedRow());
    }
};

// Each tab's Delete, then Undo: the files hold exactly what they held before, byte for byte,
// and the restored entry is selected in the reloaded list.
TEST_F(Undo, AfterDeleteEverythingComesBackAsItWas)
{
    struct Case {
        Tab tab;
        QString entry;
        QString file; // relative to the application folder
        QString undoText;
    };
    const Case cases[] = {
        {Tab::Open, QStringLiteral("plot7.fpl"), openList,
         QStringLiteral("Undo Delete of plot7.fpl")},
        {Tab::Tools, QStringLiteral("calc"), QStringLiteral("ShortCuts/calc.lnk"),
         QStringLiteral("Undo Delete of calc.lnk")},
        {Tab::Web, QStringLiteral("Forest"), webList, QStringLiteral("Undo Delete of Forest")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.undoText.toStdString());
        const QByteArray before = app.read(c.file);
        remove(c.tab, c.entry);
        ASSERT_NE(app.read(c.file), before);
        EXPECT_TRUE(window->mnuUndo->isEnabled());
        EXPECT_EQ(window->mnuUndo->text(), c.undoText);

        run(window->mnuUndo);
        EXPECT_EQ(app.read(c.file), before);
        EXPECT_EQ(selected(c.tab), c.entry);
        EXPECT_FALSE(window->mnuUndo->isEnabled()); // one step, and it is spent
        EXPECT_EQ(window->mnuUndo->text(), QStringLiteral("Undo"));
    }
    // The data file came back from the trash with its contents.
    EXPECT_EQ(app.read(QStringLiteral("data/plot7.fpl")), "plot seven");
    EXPECT_EQ(trash.restored().size(), 1);
    EXPECT_EQ(prompter.messages.size(), 3) << lastMessage();
}

// Something that now stands where the entry was is never replaced: one message, nothing
// changes, and the step stays on offer for when the way is clear.
TEST_F(Undo, IsRefusedWhenThePathOrNameIsTakenAgain)
{
    struct Case {
        Tab tab;
        QString entry;
        std::function<void()> takeThePlace;
        QString refusal;
    };
    const Case cases[] = {
        {Tab::Open, QStringLiteral("plot7.fpl"),
         [&] { app.write(QStringLiteral("data/plot7.fpl"), "a new plot"); },
         QStringLiteral("Cannot undo: ") + data("plot7.fpl") +
             QStringLiteral(" already exists. Nothing was changed.")},
        {Tab::Tools, QStringLiteral("calc"),
         [&] { app.write(QStringLiteral("ShortCuts/CALC.lnk"), "another"); },
         QStringLiteral("Cannot undo: a shortcut named calc.lnk already exists. Nothing was "
                        "changed.")},
        {Tab::Web, QStringLiteral("Forest"),
         [&] { app.write(webList, app.read(webList) + link("Forest", "http://new/")); },
         QStringLiteral("Cannot undo: a web link named \"Forest\" already exists. Nothing was "
                        "changed.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal.toStdString());
        remove(c.tab, c.entry);
        c.takeThePlace();
        const QString step = window->mnuUndo->text();
        const QByteArray lists = app.read(openList) + app.read(webList);
        const QStringList shortcuts = QDir(app.file(QStringLiteral("ShortCuts"))).entryList();

        run(window->mnuUndo);
        EXPECT_EQ(lastMessage(), c.refusal);
        EXPECT_EQ(prompter.messages.last().title, QStringLiteral("Keldara"));
        EXPECT_EQ(prompter.messages.last().buttons, MsgButtons::Ok);
        EXPECT_EQ(prompter.messages.last().icon, MsgIcon::None);
        EXPECT_EQ(app.read(openList) + app.read(webList), lists);
        EXPECT_EQ(QDir(app.file(QStringLiteral("ShortCuts"))).entryList(), shortcuts);
        EXPECT_EQ(window->mnuUndo->text(), step);
        EXPECT_TRUE(window->mnuUndo->isEnabled());
    }
    EXPECT_EQ(app.read(QStringLiteral("data/plot7.fpl")), "a new plot");
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts/CALC.lnk")), "another");
}

TEST_F(Undo, AfterRenameTheOldNameComesBack)
{
    // A shortcut with arguments and an icon of its own, which a rename does not carry over.
    QString file = app.file(QStringLiteral("ShortCuts/Shortcut to calc.exe.lnk")),
            target = QStringLiteral("/opt/calc.exe"), working = QStringLiteral("/opt"),
            arguments = QStringLiteral("--quiet"), icon = QStringLiteral("/opt/calc.ico");
    qint32 n1 = 3, n2 = 0;
    ASSERT_TRUE(ShortcutHelper().CreateShortcut(file, target, working, arguments, icon, n1, n2).ok);
    const QByteArray shortcut = app.read(QStringLiteral("ShortCuts/Shortcut to calc.exe.lnk"));
    const QByteArray openBefore = app.read(openList);
    window->toolsTab().LoadShortcutList();
    ASSERT_TRUE(settle());

    prompter.inputAnswers = {QStringLiteral("ridge"), QStringLiteral("Calculator")};
    select(Tab::Open, QStringLiteral("plot7.fpl"));
    run(window->mnuRename);
    ASSERT_TRUE(app.exists(QStringLiteral("data/ridge.FPL")));
    EXPECT_EQ(window->mnuUndo->text(), QStringLiteral("Undo Rename of ridge.FPL"));
    run(window->mnuUndo);
    EXPECT_EQ(app.read(QStringLiteral("data/plot7.fpl")), "plot seven");
    EXPECT_FALSE(app.exists(QStringLiteral("data/ridge.FPL")));
    EXPECT_EQ(app.read(openList), openBefore);
    EXPECT_EQ(selected(Tab::Open), QStringLiteral("plot7.fpl"));

    select(Tab::Tools, QStringLiteral("Shortcut to calc"));
    run(window->mnuRename);
    ASSERT_TRUE(app.exists(QStringLiteral("ShortCuts/Calculator.lnk")));
    EXPECT_EQ(window->mnuUndo->text(), QStringLiteral("Undo Rename of Calculator.lnk"));
    run(window->mnuUndo);
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts/Shortcut to calc.exe.lnk")), shortcut);
    EXPECT_FALSE(app.exists(QStringLiteral("ShortCuts/Calculator.lnk")));
    EXPECT_EQ(selected(Tab::Tools), QStringLiteral("Shortcut to calc"));

    select(Tab::Web, QStringLiteral("Maps"));
    window->webTab().RewriteWebList(QStringLiteral("Atlas"), QStringLiteral("http://a/"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(window->mnuUndo->text(), QStringLiteral("Undo Rename of Atlas"));
    run(window->mnuUndo);
    // The file in the list's order, as the rename writes it.
    EXPECT_EQ(app.read(webList), link("Forest", "http://f/1") + link("Forest", "http://f/2") +
                                     link("Maps", "http://m/") + link("Trails", "http://t/"));
    EXPECT_EQ(selected(Tab::Web), QStringLiteral("Maps"));
    EXPECT_TRUE(prompter.messages.isEmpty()) << lastMessage();
}

// Another program removed what the rename made: nothing to take back, and the user is told.
TEST_F(Undo, AfterRenameOfAnEntryThatWentSaysSo)
{
    prompter.inputAnswers = {QStringLiteral("ridge")};
    select(Tab::Open, QStringLiteral("plot7.fpl"));
    run(window->mnuRename);
    QFile::remove(app.file(QStringLiteral("data/ridge.FPL")));
    const QByteArray list = app.read(openList);

    run(window->mnuUndo);
    EXPECT_EQ(lastMessage(), QStringLiteral("Cannot undo: ") + data("ridge.FPL") +
                                 QStringLiteral(" is no longer there. Nothing was changed."));
    EXPECT_EQ(app.read(openList), list);
    EXPECT_FALSE(app.exists(QStringLiteral("data/plot7.fpl")));
    EXPECT_FALSE(window->mnuUndo->isEnabled());
}

// The menu item follows the current tab: disabled with "Undo" on "New" and where nothing was
// done; a file deleted for good leaves nothing to undo; Ctrl+Z on a list does what the item does.
TEST_F(Undo, MenuItemNamesTheCurrentTabsStep)
{
    const auto expectNothing = [&](Tab tab) {
        window->TabMain->setCurrTab(int(tab));
        EXPECT_FALSE(window->mnuUndo->isEnabled()) << int(tab);
        EXPECT_EQ(window->mnuUndo->text(), QStringLiteral("Undo")) << int(tab);
    };
    for (Tab tab : {Tab::New, Tab::Open, Tab::Tools, Tab::Web})
        expectNothing(tab);

    app.write(webList, link("Fire & Smoke", "http://fs/"));
    window->webTab().LoadWebList();
    ASSERT_TRUE(settle());
    remove(Tab::Web, QStringLiteral("Fire & Smoke"));
    EXPECT_EQ(window->mnuUndo->text(), QStringLiteral("Undo Delete of Fire && Smoke"));
    expectNothing(Tab::New);
    expectNothing(Tab::Open);
    window->TabMain->setCurrTab(int(Tab::Web));
    EXPECT_TRUE(window->mnuUndo->isEnabled());

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->lstQEL[size_t(Tab::Web)]->reportView(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(webList), link("Fire & Smoke", "http://fs/"));

    remove(Tab::Open, QStringLiteral("keep.fpl"));
    EXPECT_TRUE(window->mnuUndo->isEnabled());
    trash.failTrashWith(FileResult::fromErrno(EROFS));
    select(Tab::Open, QStringLiteral("plot7.fpl"));
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes}; // and delete it for good
    run(window->mnuDelete);
    ASSERT_FALSE(app.exists(QStringLiteral("data/plot7.fpl")));
    expectNothing(Tab::Open);
}

} // namespace
