// The command state of each tab, checked through the real window over every pair of tabs, so
// that the cells a switch leaves alone are seen to carry over from the tab shown before.
#include "formats/ShortcutHelper.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include <future>
#include <mutex>

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

// The Edit menu's items below "Delete File", in menu order, and those each tab enables: every
// command of the tab's context menus is among them.
const char* const kAddedItems[] = {
    "Show in Folder",   "Copy Path",    "Remove from List", "Browse ...",
    "Clean Up Missing", "Copy Address", "Pin to Top",       "Unpin"};
const QStringList kAddedOn[] = {
    {},
    {QStringLiteral("Show in Folder"), QStringLiteral("Copy Path"),
     QStringLiteral("Remove from List"), QStringLiteral("Browse ..."),
     QStringLiteral("Clean Up Missing"), QStringLiteral("Pin to Top"), QStringLiteral("Unpin")},
    {QStringLiteral("Pin to Top"), QStringLiteral("Unpin")},
    {QStringLiteral("Copy Address"), QStringLiteral("Pin to Top"), QStringLiteral("Unpin")},
};

QString pick(const char* now, const char* before, const char* initial)
{
    return QString::fromLatin1(now ? now : before ? before : initial);
}

struct CommandRouting : ::testing::Test, FakeHub {};

// What waits, as on a drive that stopped answering, until released.
struct Gate {
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    std::once_flag once;
    void release()
    {
        std::call_once(once, [this] { go.set_value(); });
    }
};

// Program icons read from such a drive.
struct HangingIcons : FakeIconSource {
    Gate gate;
    std::atomic<int> reads{0};
    ProgramIconData readProgramIcon(const QString& path) override
    {
        ++reads;
        gate.released.wait();
        return FakeIconSource::readProgramIcon(path);
    }
};

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

TEST_F(CommandRouting, TheContextMenusCommandsStandInTheEditMenuWithStatesOfTheirOwn)
{
    auto window = makeWindow();
    // Below "Delete File", after a separator, named for the accessibility tree.
    const QList<QAction*> edit = window->mnuEdit->actions();
    const qsizetype after = edit.indexOf(window->mnuDelete) + 1;
    ASSERT_LT(after, edit.size());
    EXPECT_TRUE(edit[after]->isSeparator());
    // ... and before the search over every tab, which stands apart under a separator.
    const qsizetype end = edit.indexOf(window->mnuFindAnywhere) - 1;
    ASSERT_TRUE(end > after && edit[end]->isSeparator());
    ASSERT_EQ(end - after - 1, qsizetype(std::size(kAddedItems)));
    for (size_t i = 0; i < std::size(kAddedItems); ++i) {
        QAction* item = edit[after + 1 + qsizetype(i)];
        EXPECT_EQ(item->text(), QString::fromLatin1(kAddedItems[i]));
        EXPECT_TRUE(item->objectName().startsWith(QStringLiteral("mnu"))) << kAddedItems[i];
    }
    for (int from = 0; from < 4; ++from) {
        for (int to = 0; to < 4; ++to) {
            SCOPED_TRACE(testing::Message() << from << " -> " << to);
            window->TabMain->setCurrTab(from);
            window->TabMain->setCurrTab(to);
            QStringList on;
            for (qsizetype i = after + 1; i < end; ++i) {
                if (edit[i]->isEnabled())
                    on.append(edit[i]->text());
            }
            EXPECT_EQ(on, kAddedOn[to]);
            // The specified items keep exactly their table's state.
            EXPECT_EQ(window->mnuDelete->isEnabled(), to != 0);
            if (from != to)
                continue;
            // Whatever a context menu of this tab offers, the menu bar offers too.
            for (const bool onEntry : {true, false}) {
                const std::unique_ptr<QMenu> menu = window->contextMenuFor(to, onEntry);
                for (QAction* c : menu->actions()) {
                    const QString text = c->text().section(QLatin1Char('\t'), 0, 0);
                    if (c->isSeparator() || text == QStringLiteral("Open") || edit.indexOf(c) >= 0)
                        continue;
                    EXPECT_TRUE(on.contains(text)) << text.toStdString();
                }
            }
        }
    }

    // Each runs the current tab's command: Remove from List asks about the chosen entry, Copy
    // Address copies the chosen link's address.
    app.write(QStringLiteral("data/plot.fpl"), "x");
    app.writeRecords(QStringLiteral("QELWebList.txt"),
                     {{QStringLiteral("Fire lab"), QStringLiteral("http://lab.example")}});
    window->openTab().openList().SyncDataFolderEntries();
    window->webTab().LoadWebList();
    ASSERT_TRUE(settle());
    const auto item = [&](const char* name) {
        return window->mnuEdit->findChild<QAction*>(QString::fromLatin1(name));
    };
    window->TabMain->setCurrTab(1);
    window->lstQEL[1]->setSelectedRow(0);
    item("mnuRemoveFromList")->trigger();
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Remove PLOT.FPL from")));
    window->TabMain->setCurrTab(3);
    window->lstQEL[3]->setSelectedRow(0);
    item("mnuRemoveFromList")->trigger(); // disabled here: nothing
    item("mnuCopyAddress")->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("http://lab.example"));
}

// F5 held down while a line waits: one read of each list, and one icon batch at the drive.
TEST_F(CommandRouting, HoldingF5WhileALineWaitsQueuesOneReadAndOneIconBatch)
{
    HangingIcons hanging;
    services.icons = &hanging;
    const QString program = app.file(QStringLiteral("tool.exe"));
    app.write(QStringLiteral("tool.exe"), "MZ");
    QString file = app.file(QStringLiteral("ShortCuts/Tool.lnk")), target = program,
            blank = QStringLiteral(" "), argumentText = blank, icon = program;
    qint32 n1 = 0, n2 = 0;
    app.mkdir(QStringLiteral("ShortCuts"));
    ASSERT_TRUE(
        ShortcutHelper().CreateShortcut(file, target, blank, argumentText, icon, n1, n2).ok);
    auto window = makeWindow();
    QAction* f5 = window->findChild<QAction*>(QStringLiteral("reload"));
    std::mutex mutex;
    QStringList begun;
    work::setObserver([&](const work::Line&, const char* postedBy) {
        std::lock_guard lock(mutex);
        begun.append(QString::fromLatin1(postedBy));
    });
    const auto count = [&](const char* function) {
        std::lock_guard lock(mutex);
        return begun.filter(QLatin1String(function)).size();
    };

    // The list line held by a job before them.
    Gate held;
    // A check that fails lets both go, before what they hold goes.
    struct Release {
        Gate& a;
        Gate& b;
        ~Release()
        {
            a.release();
            b.release();
            settle();
            work::setObserver({});
        }
    } releaseOnFailure{held, hanging.gate};
    work::post(
        work::Line::list(), window.get(),
        [wait = held.released] {
            wait.wait();
            return 0;
        },
        [](int) {});
    for (int tab : {1, 2, 3}) {
        window->TabMain->setCurrTab(tab);
        for (int i = 0; i < 10; ++i)
            f5->trigger();
    }
    held.release();
    // The Tools tab's icon stays being read: every later F5 reads the folder and shows it, and
    // adds no batch for the drive.
    ASSERT_TRUE(runEventsUntil([&] { return hanging.reads == 1 && work::inFlight() == 1; }));
    EXPECT_EQ(count("LoadOpenList"), 1);
    EXPECT_EQ(count("LoadShortcutList"), 1);
    EXPECT_EQ(count("LoadWebList"), 1);
    window->TabMain->setCurrTab(2);
    for (int i = 0; i < 10; ++i) {
        f5->trigger();
        ASSERT_TRUE(runEventsUntil([&] { return work::inFlight() == 1; }, 3000)) << i;
    }
    hanging.gate.release();
    ASSERT_TRUE(settle());
    EXPECT_EQ(count("LoadShortcutList"), 11);
    EXPECT_LE(hanging.reads, 2); // the batch that waited, and the latest load's
    EXPECT_EQ(window->toolsTab().entries().size(), 1u);
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
    window->openTab().openList().SyncDataFolderEntries();
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
    ASSERT_EQ(browsers.started.size(), 1);
    EXPECT_TRUE(browsers.started[0].endsWith(QStringLiteral("/keldara/qelsupport.htm")));
}

} // namespace
