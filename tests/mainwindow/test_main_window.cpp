#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "support/TempAppFolder.h"
#include "tabs/new/NewTab.h"
#include "ui/Accessibility.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace {

struct MainWindowFixture : ::testing::Test, FakeHub {
    std::unique_ptr<frmQEL> window;

    void SetUp() override
    {
        window = makeWindow();
        window->newTab().LoadNewList();
    }
    QStringList shownColumns(int list) const
    {
        QStringList r;
        QelListView* v = window->lstQEL[size_t(list)];
        for (int c = 0; c < v->columnCount(); ++c) {
            if (v->isColumnShown(c))
                r << v->columnCaption(c);
        }
        return r;
    }
};

TEST_F(MainWindowFixture, ColumnTableAndHeaders)
{
    EXPECT_EQ(shownColumns(0), QStringList{QStringLiteral("Name")});
    EXPECT_EQ(shownColumns(1),
              (QStringList{QStringLiteral("Recently Used Files"), QStringLiteral("Last Modified"),
                           QStringLiteral("Type"), QStringLiteral("Directory")}));
    EXPECT_EQ(shownColumns(2),
              (QStringList{QStringLiteral("Name"), QStringLiteral("Path"), QStringLiteral("EXE")}));
    EXPECT_EQ(shownColumns(3), (QStringList{QStringLiteral("Name"), QStringLiteral("Url")}));
    const int counts[] = {2, 5, 4, 2};
    const bool headers[] = {false, true, false, true};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window->lstQEL[size_t(i)]->columnCount(), counts[i]) << i;
        EXPECT_EQ(window->lstQEL[size_t(i)]->headersVisible(), headers[i]) << i;
    }
    EXPECT_EQ(window->lstQEL[1]->columnCaption(4), QStringLiteral("Type"));
    EXPECT_EQ(window->lstQEL[1]->columnWidthTwips(3), 4000);
    EXPECT_EQ(window->lstQEL[1]->reportView()->header()->sectionSize(0), 100);
}

TEST_F(MainWindowFixture, NewListHoldsFourEntriesWithHiddenTypeCodes)
{
    QelListView* list = window->lstQEL[0];
    ASSERT_EQ(list->count(), 4);
    const char* expected[][4] = {{"New Fuel Profile", "Prv", "PRV", "FPL"},
                                 {"New Planar Intercept", "Lgt", "LGT", "PLI"},
                                 {"New Photo Series Inventory", "Lgt", "LGT", "PHS"},
                                 {"New Crown Mass Inventory", "Crn", "Crn", "CRN"}};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(list->text(r), QString::fromLatin1(expected[r][0]));
        EXPECT_EQ(list->entry(r).largeIcon, QString::fromLatin1(expected[r][1]));
        EXPECT_EQ(list->entry(r).smallIcon, QString::fromLatin1(expected[r][2]));
        EXPECT_EQ(list->subItem(r, 1), QString::fromLatin1(expected[r][3]));
        EXPECT_TRUE(window->imgIcons[0].contains(list->entry(r).largeIcon));
        EXPECT_TRUE(window->imgIcons[1].contains(list->entry(r).smallIcon));
    }
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Report);
    EXPECT_TRUE(list->labelWrap());
    EXPECT_EQ(list->largeImageList(), &window->imgIcons[0]);
    EXPECT_EQ(list->smallImageList(), &window->imgIcons[1]);
}

TEST_F(MainWindowFixture, ToolbarButtonsInOrderWithImagesAndTooltips)
{
    QStringList keys;
    for (QAction* a : window->barMain->actions()) {
        if (!a->isSeparator())
            keys << a->objectName();
    }
    EXPECT_EQ(keys,
              (QStringList{QStringLiteral("Delete"), QStringLiteral("Rename"),
                           QStringLiteral("Create"), QStringLiteral("Icon"), QStringLiteral("List"),
                           QStringLiteral("Exit"), QStringLiteral("Help")}));
    const char* tooltips[][2] = {{"Delete", "Delete File or Shortcut"},
                                 {"Rename", "Rename file or shortcut"},
                                 {"Create", "Create a file or shortcut"},
                                 {"Icon", "Icon view mode"},
                                 {"List", "List view mode"},
                                 {"Exit", "Exit Keldara"},
                                 {"Help", "Obtain assistance"}};
    for (const auto& t : tooltips) {
        QAction* a = window->button(QString::fromLatin1(t[0]));
        ASSERT_NE(a, nullptr) << t[0];
        EXPECT_EQ(a->toolTip(), QString::fromLatin1(t[1]));
        EXPECT_FALSE(a->icon().isNull()) << t[0];
        EXPECT_FALSE(a->isChecked());
    }
    // Separators after "Create" and after "List".
    const QList<QAction*> actions = window->barMain->actions();
    ASSERT_EQ(actions.size(), 9);
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_TRUE(actions[6]->isSeparator());
    for (const char* key : {"IconView", "Create", "Rename", "Delete", "listview", "Exit", "Help"})
        EXPECT_TRUE(window->imgIcons[2].contains(QString::fromLatin1(key))) << key;
}

TEST_F(MainWindowFixture, MenusCaptionsAndTabs)
{
    QStringList menus;
    for (QAction* m : window->menuBar()->actions())
        menus << m->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("File"), QStringLiteral("Edit"),
                                  QStringLiteral("View"), QStringLiteral("Help")}));
    const auto captions = [](QMenu* m) {
        QStringList r;
        for (QAction* a : m->actions())
            r << a->text();
        return r;
    };
    EXPECT_EQ(captions(window->mnuFile), QStringList{QStringLiteral("Exit")});
    // Undo is ours, above the Edit menu's own items; the context menus' commands follow them
    // (see test_command_routing).
    EXPECT_EQ(captions(window->mnuEdit).mid(0, 5),
              (QStringList{QStringLiteral("Undo"), QString(), QStringLiteral("Create"),
                           QStringLiteral("Rename"), QStringLiteral("Delete File")}));
    // The search over every tab comes last, under a separator of its own.
    EXPECT_EQ(captions(window->mnuEdit).mid(captions(window->mnuEdit).size() - 2),
              (QStringList{QString(), QStringLiteral("Find Anywhere...")}));
    // Ours below the specified items: the "Open" list by its dates.
    EXPECT_EQ(captions(window->mnuView),
              (QStringList{QStringLiteral("List View"), QStringLiteral("Icon View"), QString(),
                           QStringLiteral("Newest First")}));
    EXPECT_EQ(captions(window->mnuHelp),
              (QStringList{QStringLiteral("Help contents"), QStringLiteral("Web Based Support"),
                           QStringLiteral("About")}));
    EXPECT_FALSE(window->mnuList->isChecked());
    EXPECT_FALSE(window->mnuIcon->isChecked());

    ASSERT_EQ(window->TabMain->count(), 4);
    const char* tabs[] = {"New", "Open", "Tools", "Web"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(window->TabMain->tabText(i), QString::fromLatin1(tabs[i]));
    EXPECT_EQ(window->cmdBrowse->text(), QStringLiteral("Browse ..."));
    EXPECT_EQ(window->lblOpenHint->text(),
              QStringLiteral("To open a file, double click the file's icon"));
    EXPECT_EQ(window->tmrFileUpdate->interval(), 1000);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Keldara"));
}

TEST_F(MainWindowFixture, InitialClientAreaAndStretching)
{
    window->show();
    QWidget* central = window->centralWidget();
    EXPECT_EQ(central->size(), QSize(570, 407));
    EXPECT_EQ(window->barMain->parentWidget()->geometry(), QRect(6, 6, 558, 39));
    QCoreApplication::processEvents();
    const QRect newList = window->lstQEL[0]->geometry();
    window->resize(window->width() + 200, window->height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->lstQEL[0]->width(), newList.width() + 200);
    EXPECT_EQ(window->lstQEL[0]->height(), newList.height() + 100);
}

TEST_F(MainWindowFixture, EveryControlHasAnAccessibleName)
{
    for (QelListView* l : window->lstQEL) {
        EXPECT_FALSE(l->reportView()->accessibleName().isEmpty());
        EXPECT_EQ(l->reportView()->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    }
    EXPECT_FALSE(window->cmdBrowse->accessibleName().isEmpty());
    EXPECT_FALSE(window->barMain->accessibleName().isEmpty());
    for (QToolButton* b : window->barMain->findChildren<QToolButton*>()) {
        if (b->defaultAction()) {
            EXPECT_FALSE(b->defaultAction()->text().isEmpty());
        }
    }
}

// A toolbar button shows only its picture: a screen reader reads its text, which says what the
// tooltip says tab after tab; the view-mode pair toggles through its action as a click does.
TEST_F(MainWindowFixture, ToolbarAsAScreenReaderUsesIt)
{
    const auto reader = [this](const char* key) {
        QAction* a = window->button(QString::fromLatin1(key));
        return QAccessible::queryAccessibleInterface(window->barMain->widgetForAction(a));
    };
    for (int tab : {2, 3, 1, 0}) {
        window->TabMain->setCurrTab(tab);
        for (const char* key : {"Delete", "Rename", "Create"}) {
            EXPECT_EQ(reader(key)->text(QAccessible::Name),
                      window->button(QString::fromLatin1(key))->toolTip())
                << key << " on tab " << tab;
        }
    }
    window->TabMain->setCurrTab(1);
    QAccessibleInterface* icon = reader("Icon");
    ASSERT_EQ(icon->role(), QAccessible::CheckBox);
    ASSERT_EQ(icon->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::toggleAction()});
    icon->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(window->lstQEL[1]->viewMode(), QelListView::ViewMode::Icon);
    EXPECT_TRUE(icon->state().checked);
    EXPECT_TRUE(window->mnuIcon->isChecked());
    reader("List")->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(window->lstQEL[1]->viewMode(), QelListView::ViewMode::Report);
    EXPECT_FALSE(icon->state().checked);
}

// What a screen reader is told about the tabs: the current one selected, the others not, and at
// each switch an event for the tab left and the tab taken. (That a switch sends them over the
// accessibility bus, the screen_reader test sees.)
TEST_F(MainWindowFixture, TheCurrentTabIsReadAsSelectedAndEachSwitchIsAnnounced)
{
    window->show();
    auto* bar = window->TabMain->findChild<QTabBar*>();
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(bar);
    ASSERT_EQ(strip->role(), QAccessible::PageTabList);
    const auto selected = [&] {
        QStringList names;
        for (int i = 0; i < strip->childCount(); ++i) {
            if (strip->child(i)->role() == QAccessible::PageTab &&
                strip->child(i)->state().selected)
                names.append(strip->child(i)->text(QAccessible::Name));
        }
        return names;
    };
    window->TabMain->setCurrTab(0);
    EXPECT_EQ(selected(), QStringList{QStringLiteral("New")});
    // Pressed as a screen reader presses it.
    strip->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window->TabMain->CurrTab(), 2);
    EXPECT_EQ(selected(), QStringList{QStringLiteral("Tools")});

    QStringList events;
    announceCurrentTab(bar, 0, 2, [&](QAccessibleEvent* e) {
        QAccessibleInterface* tab = e->accessibleInterface();
        if (e->type() == QAccessible::StateChanged &&
            !static_cast<QAccessibleStateChangeEvent*>(e)->changedStates().selected)
            return;
        events.append(
            QString::number(e->type()) + QLatin1Char(' ') + tab->text(QAccessible::Name) +
            (tab->state().selected ? QStringLiteral(" selected") : QStringLiteral(" not")));
    });
    const auto event = [](QAccessible::Event type, const char* tab) {
        return QString::number(type) + QLatin1Char(' ') + QString::fromLatin1(tab);
    };
    EXPECT_EQ(events, (QStringList{event(QAccessible::StateChanged, "New not"),
                                   event(QAccessible::SelectionRemove, "New not"),
                                   event(QAccessible::StateChanged, "Tools selected"),
                                   event(QAccessible::SelectionAdd, "Tools selected")}));
}

TEST_F(MainWindowFixture, ShortcutFolderMadeOnceAndLeftAlone)
{
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("ShortCuts"))).isDir());
    app.write(QStringLiteral("ShortCuts/Mine.lnk"), "mine");
    frmQEL second(services);
    second.InitMainWindow();
    EXPECT_EQ(app.read(QStringLiteral("ShortCuts/Mine.lnk")), QByteArray("mine"));
}

// Every way of closing asks the same question; No keeps everything as it was.
TEST_F(MainWindowFixture, ExitQuestionOnEveryWayOfClosing)
{
    const std::vector<std::function<void(frmQEL&)>> ways = {
        [](frmQEL& w) { w.close(); },
        [](frmQEL& w) { w.mnuExit->trigger(); },
        [](frmQEL& w) { w.button(QStringLiteral("Exit"))->trigger(); },
    };
    for (size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        frmQEL w(services);
        w.show();
        prompter.messages.clear();
        prompter.answers = {MsgAnswer::No};
        ways[i](w);
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Exit Keldara?"));
        EXPECT_EQ(prompter.messages[0].title, QString());
        EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Question);
        EXPECT_TRUE(w.isVisible());

        prompter.answers = {MsgAnswer::Yes};
        ways[i](w);
        EXPECT_EQ(prompter.messages.size(), 2);
        EXPECT_FALSE(w.isVisible());
    }
}

TEST_F(MainWindowFixture, ViewModeCommandsActOnTheCurrentListOnly)
{
    window->TabMain->setCurrTab(1);
    window->mnuIcon->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(window->lstQEL[1]->viewMode(), QelListView::ViewMode::Icon);
    for (int i : {0, 2, 3})
        EXPECT_EQ(window->lstQEL[size_t(i)]->viewMode(), QelListView::ViewMode::Report);
    EXPECT_TRUE(window->mnuIcon->isChecked());
    EXPECT_FALSE(window->mnuList->isChecked());
    EXPECT_TRUE(window->button(QStringLiteral("Icon"))->isChecked());
    EXPECT_FALSE(window->button(QStringLiteral("List"))->isChecked());

    // The toolbar button does what the menu item does, even when pressed twice.
    window->button(QStringLiteral("List"))->trigger();
    window->button(QStringLiteral("List"))->trigger();
    EXPECT_EQ(window->lstQEL[1]->viewMode(), QelListView::ViewMode::Report);
    EXPECT_TRUE(window->mnuList->isChecked());
    EXPECT_FALSE(window->mnuIcon->isChecked());
    EXPECT_TRUE(window->button(QStringLiteral("List"))->isChecked());
    EXPECT_FALSE(window->button(QStringLiteral("Icon"))->isChecked());
}

} // namespace
