// The command state of each tab, checked through the real window over every pair of tabs, so
// that the cells a switch leaves alone are seen to carry over from the tab shown before.
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>

namespace {

struct Expected {
    bool deleteOn, renameOn, createOn;
    const char *deleteCaption, *renameCaption, *createCaption; // nullptr: carried over
    const char *deleteTip, *renameTip, *createTip;             // nullptr: carried over
};

// Written out from the tab descriptions, independently of the program's own table.
const Expected kInitial = {true,
                           true,
                           true,
                           "Delete File",
                           "Rename",
                           "Create",
                           "Delete File or Shortcut",
                           "Rename file or shortcut",
                           "Create a file or shortcut"};
const Expected kPerTab[] = {
    {false, false, false, "Delete", "Rename", "Create", nullptr, nullptr, nullptr},
    {true, true, false, "Delete File", "Rename File", nullptr, "Delete File", "Rename File",
     nullptr},
    {true, true, true, "Delete Shortcut", "Rename Shortcut", "Create Shortcut", "Delete shortcut",
     "Rename shortcut", "Create shortcut"},
    {true, true, true, "Delete Web Shortcut", "Rename Web Shortcut", "Create Web Shortcut",
     "Delete web shortcut", "Rename web shortcut", "Create web shortcut"},
};

QString pick(const char* now, const char* before, const char* initial)
{
    return QString::fromLatin1(now ? now : before ? before : initial);
}

struct CommandRouting : ::testing::Test, FakeHub {};

TEST_F(CommandRouting, EveryPairOfTabsShowsItsStateAndCarriesTheRest)
{
    for (int from = 0; from < 4; ++from) {
        for (int to = 0; to < 4; ++to) {
            SCOPED_TRACE(testing::Message() << from << " -> " << to);
            auto window = makeWindow();
            window->TabMain->setCurrTab(from);
            window->TabMain->setCurrTab(to);
            const Expected& a = kPerTab[from];
            const Expected& b = kPerTab[to];
            const auto action = [&](const char* name) {
                QAction* item = window->button(QString::fromLatin1(name));
                return item ? item : window->findChild<QAction*>(QString::fromLatin1(name));
            };
            for (const char* pair : {"Delete", "Rename", "Create"}) {
                const bool on = pair[0] == 'D'   ? b.deleteOn
                                : pair[0] == 'R' ? b.renameOn
                                                 : b.createOn;
                EXPECT_EQ(action(pair)->isEnabled(), on) << pair;
                EXPECT_EQ(action((std::string("mnu") + pair).c_str())->isEnabled(), on) << pair;
            }
            EXPECT_EQ(action("mnuCleanUpMissing")->isEnabled(), to == 1);
            EXPECT_TRUE(window->mnuIcon->isEnabled());
            EXPECT_TRUE(window->button(QStringLiteral("Icon"))->isEnabled());
            EXPECT_EQ(window->mnuDelete->text(),
                      pick(b.deleteCaption, a.deleteCaption, kInitial.deleteCaption));
            EXPECT_EQ(window->mnuRename->text(),
                      pick(b.renameCaption, a.renameCaption, kInitial.renameCaption));
            EXPECT_EQ(window->mnuCreate->text(),
                      pick(b.createCaption, a.createCaption, kInitial.createCaption));
            EXPECT_EQ(action("Delete")->toolTip(),
                      pick(b.deleteTip, a.deleteTip, kInitial.deleteTip));
            EXPECT_EQ(action("Rename")->toolTip(),
                      pick(b.renameTip, a.renameTip, kInitial.renameTip));
            EXPECT_EQ(action("Create")->toolTip(),
                      pick(b.createTip, a.createTip, kInitial.createTip));
        }
    }
}

TEST_F(CommandRouting, ViewMenuFollowsTheShownListButNotOnTools)
{
    auto window = makeWindow();
    window->TabMain->setCurrTab(1);
    window->mnuIcon->trigger(); // "Open" in icon view
    ASSERT_TRUE(settle());
    window->TabMain->setCurrTab(3);
    EXPECT_TRUE(window->mnuList->isChecked());
    EXPECT_TRUE(window->button(QStringLiteral("List"))->isChecked());
    EXPECT_FALSE(window->button(QStringLiteral("Icon"))->isChecked());
    window->TabMain->setCurrTab(1);
    EXPECT_TRUE(window->mnuIcon->isChecked());
    EXPECT_TRUE(window->button(QStringLiteral("Icon"))->isChecked());
    // "Tools" leaves the marks as they were, whatever its own list shows.
    window->TabMain->setCurrTab(2);
    EXPECT_TRUE(window->mnuIcon->isChecked());
    EXPECT_FALSE(window->mnuList->isChecked());
    EXPECT_EQ(window->lstQEL[2]->viewMode(), QelListView::ViewMode::Report);
    EXPECT_EQ(window->lstQEL[1]->viewMode(), QelListView::ViewMode::Icon);
}

TEST_F(CommandRouting, ButtonsAndMenuItemsReachTheCurrentTabAndDisabledOnesNothing)
{
    auto window = makeWindow();
    window->TabMain->setCurrTab(0);
    for (const char* name : {"Create", "Rename", "Delete"}) {
        window->button(QString::fromLatin1(name))->trigger();
        window->barMain_ButtonClick(QString::fromLatin1(name));
        ASSERT_TRUE(settle());
        window->findChild<QAction*>(QStringLiteral("mnu") + QString::fromLatin1(name))->trigger();
    }
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(launcher.starts.isEmpty());

    // On "Open" the Edit commands reach its entry from either side, and not once disabled.
    app.write(QStringLiteral("data/plot.fpl"), "x");
    window->openTab().SyncDataFolderEntries();
    ASSERT_TRUE(settle());
    window->TabMain->setCurrTab(1);
    window->lstQEL[1]->setSelectedRow(0);
    window->button(QStringLiteral("Rename"))->trigger();
    window->mnuRename->trigger();
    ASSERT_TRUE(settle());
    window->button(QStringLiteral("Delete"))->trigger();
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.inputs.size(), 2);
    EXPECT_EQ(prompter.messages.size(), 2); // the delete questions, answered No
    for (const char* name : {"Delete", "mnuDelete"})
        window->findChild<QAction*>(QString::fromLatin1(name))->setEnabled(false);
    window->button(QStringLiteral("Delete"))->trigger();
    window->barMain_ButtonClick(QStringLiteral("Delete"));
    ASSERT_TRUE(settle());
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages.size(), 2);
    prompter.messages.clear();

    // A key that is not a button's does nothing; a button's key is compared exactly.
    window->barMain_ButtonClick(QStringLiteral("exit"));
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.messages.isEmpty());
    window->button(QStringLiteral("Exit"))->trigger();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Exit Keldara?"));

    // Help > Web Based Support opens the support page, whatever the tab.
    window->mnuWeb->trigger();
    ASSERT_TRUE(settle());
    ASSERT_EQ(browsers.starts.size(), 1);
    EXPECT_TRUE(
        browsers.starts[0].arguments.value(0).endsWith(QStringLiteral("/keldara/qelsupport.htm")));
}

} // namespace
