// Companion tools rewrite the lists while the user works: a command acts on the entry the user
// chose, as the file holds it when the command acts, or says the entry has gone, and never on
// whatever row stands in its place by then.
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
#include <QLineEdit>
#include <QPushButton>

namespace {

struct ChosenEntries : ::testing::Test, FakeHub {
    TempAppFolder other;
    std::unique_ptr<frmQEL> window;

    void SetUp() override { window = makeWindow(); }
    QelListView& list(Tab tab) const { return *window->lstQEL[size_t(tab)]; }
    void show(Tab tab)
    {
        window->TabMain->setCurrTab(int(tab));
        if (tab == Tab::Open)
            window->openTab().reload();
        else if (tab == Tab::Tools)
            window->toolsTab().reload();
        else
            window->webTab().reload();
        ASSERT_TRUE(settle());
    }
    QString data(const QString& name) const { return app.file(QStringLiteral("data/") + name); }
    QByteArray record(const QString& path) const
    {
        return records::encode({QStringLiteral("fpl"), path, QStringLiteral("d")});
    }
    // Another program's rewrite of the recent-file list, and the refresh tick that shows it.
    void companionWrites(const QByteArray& list)
    {
        app.write(QStringLiteral("QELFileList.txt"), list);
        window->openTab().openList().tmrFileUpdate_Timer();
        ASSERT_TRUE(settle());
    }
};

// Two files of one name in two folders; while the question is open, records that sort first
// come in and the list reloads under it.
TEST_F(ChosenEntries, OpenCommandsReachTheChosenFileThroughReloads)
{
    for (const char* name : {"b.fpl", "c.fpl", "d.fpl"})
        app.write(QStringLiteral("data/") + QLatin1String(name), name);
    other.write(QStringLiteral("c.fpl"), "the other c");
    const QByteArray before =
        record(data(QStringLiteral("b.fpl"))) + record(data(QStringLiteral("c.fpl"))) +
        record(data(QStringLiteral("d.fpl"))) + record(other.file(QStringLiteral("c.fpl")));
    const QByteArray first =
        record(other.file(QStringLiteral("a1.fpl"))) + record(other.file(QStringLiteral("a2.fpl")));
    app.write(QStringLiteral("QELFileList.txt"), before);
    show(Tab::Open);
    list(Tab::Open).setSelectedKey(data(QStringLiteral("c.fpl")));

    prompter.answers = {MsgAnswer::Yes};
    prompter.whileShowing = [&] {
        companionWrites(first + before);
        EXPECT_EQ(list(Tab::Open).selectedKey(), data(QStringLiteral("c.fpl")));
    };
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    prompter.whileShowing = {};
    EXPECT_EQ(trash.trashed(), QStringList{data(QStringLiteral("c.fpl"))});
    EXPECT_EQ(other.read(QStringLiteral("c.fpl")), "the other c");
    EXPECT_EQ(recordedPaths().size(), 5);
    EXPECT_FALSE(recordedPaths().contains(data(QStringLiteral("c.fpl"))));

    // Rename while the list changes under the input box: the typed name is not dropped.
    list(Tab::Open).setSelectedKey(data(QStringLiteral("d.fpl")));
    prompter.inputAnswers = {QStringLiteral("ridge")};
    prompter.whileTyping = [&] {
        companionWrites(app.read(QStringLiteral("QELFileList.txt")) +
                        record(other.file(QStringLiteral("a0.fpl"))));
    };
    window->mnuRename->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(QStringLiteral("data/ridge.FPL")), "d.fpl");
    EXPECT_TRUE(recordedPaths().contains(data(QStringLiteral("ridge.FPL"))));
    EXPECT_EQ(recordedPaths().size(), 6);
    EXPECT_EQ(list(Tab::Open).selectedKey(), data(QStringLiteral("ridge.FPL")));

    // Opened after rows came in before it: the chosen file, not the one now in its row.
    list(Tab::Open).setSelectedKey(other.file(QStringLiteral("c.fpl")));
    companionWrites(record(app.file(QStringLiteral("0.fpl"))) +
                    app.read(QStringLiteral("QELFileList.txt")));
    window->lstQEL_DblClick(int(Tab::Open));
    ASSERT_TRUE(settle());
    ASSERT_EQ(launcher.starts.size(), 1);
    EXPECT_TRUE(launcher.starts[0].arguments.endsWith(other.file(QStringLiteral("c.fpl"))));
    EXPECT_TRUE(prompter.messages.size() == 1) << lastMessage(); // the delete question only
}

TEST_F(ChosenEntries, AnOpenEntryThatLeftTheListIsNamedAndNothingChanges)
{
    app.write(QStringLiteral("data/d.fpl"), "d");
    app.write(QStringLiteral("QELFileList.txt"), record(data(QStringLiteral("d.fpl"))));
    show(Tab::Open);
    list(Tab::Open).setSelectedKey(data(QStringLiteral("d.fpl")));
    const QString gone = data(QStringLiteral("d.fpl")) +
                         QStringLiteral(" is no longer in the list. Nothing was changed.");

    prompter.answers = {MsgAnswer::Yes};
    prompter.whileShowing = [&] { app.write(QStringLiteral("QELFileList.txt"), QByteArray()); };
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(lastMessage(), gone);
    EXPECT_TRUE(trash.trashed().isEmpty());

    app.write(QStringLiteral("QELFileList.txt"), record(data(QStringLiteral("d.fpl"))));
    show(Tab::Open);
    list(Tab::Open).setSelectedKey(data(QStringLiteral("d.fpl")));
    prompter.whileShowing = {};
    prompter.inputAnswers = {QStringLiteral("ridge")};
    prompter.whileTyping = [&] { app.write(QStringLiteral("QELFileList.txt"), QByteArray()); };
    window->mnuRename->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(lastMessage(), gone);
    EXPECT_EQ(app.read(QStringLiteral("data/d.fpl")), "d");
    EXPECT_EQ(list(Tab::Open).selectedRow(), -1); // reloaded: the entry is gone
}

TEST_F(ChosenEntries, ToolsCommandsReachTheChosenShortcut)
{
    const auto shortcut = [&](const QString& name) {
        QString file = app.file(QStringLiteral("ShortCuts/") + name),
                target = QStringLiteral("/opt/") + name, working = QStringLiteral("/opt"),
                arguments = QStringLiteral(" "), icon = target;
        qint32 n1 = 0, n2 = 0;
        ASSERT_TRUE(
            ShortcutHelper().CreateShortcut(file, target, working, arguments, icon, n1, n2).ok);
    };
    shortcut(QStringLiteral("B.lnk"));
    shortcut(QStringLiteral("C.lnk"));
    show(Tab::Tools);
    list(Tab::Tools).setSelectedKey(app.file(QStringLiteral("ShortCuts/B.lnk")));

    prompter.answers = {MsgAnswer::Yes};
    prompter.whileShowing = [&] {
        shortcut(QStringLiteral("A.lnk"));
        window->toolsTab().LoadShortcutList();
        ASSERT_TRUE(settle());
    };
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(app.exists(QStringLiteral("ShortCuts/B.lnk")));
    EXPECT_TRUE(app.exists(QStringLiteral("ShortCuts/A.lnk")));
    EXPECT_TRUE(app.exists(QStringLiteral("ShortCuts/C.lnk")));

    // Gone while the question was open: said, and nothing else deleted.
    list(Tab::Tools).setSelectedKey(app.file(QStringLiteral("ShortCuts/C.lnk")));
    prompter.answers = {MsgAnswer::Yes};
    prompter.whileShowing = [&] { QFile::remove(app.file(QStringLiteral("ShortCuts/C.lnk"))); };
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(lastMessage(), QStringLiteral("The shortcut C.lnk is no longer in the shortcut "
                                            "folder. Nothing was changed."));
    EXPECT_TRUE(app.exists(QStringLiteral("ShortCuts/A.lnk")));
}

TEST_F(ChosenEntries, WebRenameKeepsAnAddressChangedElsewhere)
{
    const auto link = [](const char* name, const char* url) {
        return records::encode({QString::fromUtf8(name), QString::fromUtf8(url)});
    };
    app.write(QStringLiteral("QELWebList.txt"), link("Maps", "http://old") + link("Z", "http://z"));
    show(Tab::Web);
    list(Tab::Web).setSelectedKey(QStringLiteral("Maps"));
    window->mnuRename->trigger();
    frmWeb* dialog = window->webTab().dialog();
    ASSERT_TRUE(dialog);
    dialog->txtName->setText(QStringLiteral("Fire maps"));

    // Another program moves the link, and a link that sorts first comes in.
    app.write(QStringLiteral("QELWebList.txt"),
              link("A", "http://a") + link("Maps", "http://new") + link("Z", "http://z"));
    window->webTab().LoadWebList();
    ASSERT_TRUE(settle());
    EXPECT_EQ(list(Tab::Web).subItem(list(Tab::Web).rowOfKey(QStringLiteral("Maps")), 1),
              QStringLiteral("http://new"));
    dialog->cmdOK->click();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.value(0).text;
    EXPECT_EQ(app.read(QStringLiteral("QELWebList.txt")),
              link("A", "http://a") + link("Fire maps", "http://new") + link("Z", "http://z"));
    EXPECT_EQ(list(Tab::Web).selectedKey(), QStringLiteral("Fire maps"));

    // Delete reaches the chosen name, whatever came before it.
    prompter.answers = {MsgAnswer::Yes};
    prompter.whileShowing = [&] {
        app.write(QStringLiteral("QELWebList.txt"),
                  link("0", "http://0") + app.read(QStringLiteral("QELWebList.txt")));
    };
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(QStringLiteral("QELWebList.txt")),
              link("0", "http://0") + link("A", "http://a") + link("Z", "http://z"));
}

} // namespace
