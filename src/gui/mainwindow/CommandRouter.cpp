// How commands reach the tabs: the tab switch and its command-state table, the toolbar, the
// Edit menu and the double-click, each handed to the controller of the tab it concerns.
#include "mainwindow/CommandRouter.h"

#include "mainwindow/CommandState.h"
#include "mainwindow/FindAnywhere.h"
#include "mainwindow/frmQEL.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"
#include "ui/TabController.h"

#include "ui/Accessibility.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolBar>

namespace {
struct ToolbarButton {
    const char* key;
    const char* tooltip;
};

// Position order of the toolbar; nullptr keys are separators.
constexpr ToolbarButton kToolbar[] = {
    {"Delete", "Delete File or Shortcut"},
    {"Rename", "Rename file or shortcut"},
    {"Create", "Create a file or shortcut"},
    {nullptr, nullptr},
    {"Icon", "Icon view mode"},
    {"List", "List view mode"},
    {nullptr, nullptr},
    {"Exit", "Exit Keldara"},
    {"Help", "Obtain assistance"},
};

} // namespace

CommandRouter::CommandRouter(frmQEL& window)
    : m_window(window)
{}

QToolBar* CommandRouter::buildToolbar()
{
    auto* barMain = new QToolBar;
    barMain->setObjectName(QStringLiteral("barMain"));
    barMain->setAccessibleName(QStringLiteral("Toolbar"));
    barMain->setMovable(false);
    barMain->setFloatable(false);
    barMain->setIconSize(QSize(24, 24));
    barMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_viewButtons = new QActionGroup(barMain);
    m_viewButtons->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const ToolbarButton& b : kToolbar) {
        if (!b.key) {
            barMain->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction* a = barMain->addAction(QString::fromUtf8(b.tooltip));
        a->setObjectName(key);
        a->setToolTip(QString::fromUtf8(b.tooltip));
        if (key == QLatin1String("Icon") || key == QLatin1String("List")) {
            a->setCheckable(true);
            m_viewButtons->addAction(a);
        }
        QObject::connect(a, &QAction::triggered, &m_window,
                         [w = &m_window, key] { w->barMain_ButtonClick(key); });
        m_buttons.insert(key, a);
    }
    nameOverflowButton(barMain);
    return barMain;
}

TabController& CommandRouter::controller(int tab) const
{
    switch (Tab(tab)) {
    case Tab::New:
        return m_window.newTab();
    case Tab::Open:
        return m_window.openTab();
    case Tab::Tools:
        return m_window.toolsTab();
    case Tab::Web:
        break;
    }
    return m_window.webTab();
}

TabController* CommandRouter::current() const
{
    const QString caption = m_window.TabMain->currentCaption();
    for (int i = 0; i < kTabCount; ++i) {
        if (caption == tabCaption(Tab(i)))
            return &controller(i);
    }
    return nullptr;
}

void CommandRouter::switched(int newTab)
{
    if (newTab < 0 || newTab >= kTabCount)
        return;
    // The View menu shows the new list's mode; the "Tools" tab leaves it as it was.
    if (m_window.TabMain->tabText(newTab) != tabCaption(Tab::Tools))
        showViewMode(m_window.lstQEL[size_t(newTab)]->viewMode() == QelListView::ViewMode::Icon);
    applyCommandState(newTab);
    applyAddedCommandState(newTab);
    m_window.mnuNewestFirst->setEnabled(Tab(newTab) == Tab::Open);
    updateUndo();
}

void CommandRouter::buildAddedCommands()
{
    QMenu* edit = m_window.mnuEdit;
    edit->addSeparator();
    for (const AddedCommandRow& row : addedCommandTable()) {
        QAction* item = edit->addAction(QString::fromUtf8(row.caption));
        item->setObjectName(QString::fromLatin1(row.item));
        item->setEnabled(row.perTab[size_t(Tab::New)]); // as the first switch leaves it
        const QString command = QString::fromLatin1(row.command);
        QObject::connect(item, &QAction::triggered, &m_window, [this, item, command] {
            TabController* tab = current();
            if (!item->isEnabled() || !tab)
                return;
            for (const auto& commands : {tab->entryCommands(), tab->spaceCommands()}) {
                for (const TabController::Command& c : commands) {
                    if (c.name == command)
                        return c.run();
                }
            }
        });
    }
}

void CommandRouter::applyAddedCommandState(int tab)
{
    for (const AddedCommandRow& row : addedCommandTable()) {
        if (auto* item = m_window.mnuEdit->findChild<QAction*>(QString::fromLatin1(row.item)))
            item->setEnabled(row.perTab[tab]);
    }
}

void CommandRouter::updateUndo()
{
    const int tab = m_window.TabMain ? m_window.TabMain->CurrTab() : -1;
    const QString text = tab < 0 || Tab(tab) == Tab::New ? QString() : controller(tab).undoText();
    QAction* undo = m_window.mnuUndo;
    undo->setEnabled(!text.isEmpty());
    // A name's "&" is shown as it is, not taken for an access key.
    undo->setText(text.isEmpty() ? QStringLiteral("Undo")
                                 : QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void CommandRouter::applyCommandState(int tab)
{
    for (const CommandStateRow& row : commandStateTable()) {
        const char* value = row.perTab[tab];
        if (!value)
            continue; // as the tab shown before left it
        const QString name = QString::fromLatin1(row.item);
        QAction* item = m_window.button(name);
        if (!item)
            item = m_window.findChild<QAction*>(name);
        if (!item)
            continue;
        const QString text = QString::fromLatin1(value);
        switch (row.property) {
        case CommandStateRow::Property::Enabled:
            item->setEnabled(text == QLatin1String("yes"));
            break;
        case CommandStateRow::Property::Caption:
            item->setText(text);
            break;
        case CommandStateRow::Property::ToolTip:
            // The button shows only its picture: a screen reader reads its text instead, which
            // must therefore say what the tooltip says.
            item->setToolTip(text);
            item->setText(text);
            break;
        }
    }
}

void CommandRouter::buttonClick(const QString& key)
{
    // A disabled button is never pressed, whoever asks.
    if (QAction* pressed = m_window.button(key); !pressed || !pressed->isEnabled())
        return;
    frmQEL& w = m_window;
    if (key == QLatin1String("Create"))
        w.mnuCreate_Click();
    else if (key == QLatin1String("Rename"))
        w.mnuRename_Click();
    else if (key == QLatin1String("Exit"))
        w.mnuExit_Click();
    else if (key == QLatin1String("Icon"))
        w.mnuIcon_Click();
    else if (key == QLatin1String("List"))
        w.mnuList_Click();
    else if (key == QLatin1String("Help"))
        w.mnuHelpContents_Click();
    else if (key == QLatin1String("Delete"))
        w.mnuDelete_Click();
}

void CommandRouter::create()
{
    if (TabController* tab = current())
        tab->create();
}

void CommandRouter::rename()
{
    if (TabController* tab = current())
        tab->rename();
}

void CommandRouter::remove()
{
    if (TabController* tab = current())
        tab->remove();
}

void CommandRouter::undo()
{
    if (!m_window.mnuUndo->isEnabled())
        return;
    if (TabController* tab = current())
        tab->undo();
}

void CommandRouter::open(int index)
{
    // A second double-click (or Enter) while a message or dialog of the first is on screen must
    // not start a second launch.
    if (!m_launchReady || index < 0 || index >= kTabCount)
        return;
    m_launchReady = false;
    controller(index).open();
    m_launchReady = true;
}

bool CommandRouter::openEntry(Tab tab, const QString& key)
{
    QelListView* list = m_window.lstQEL[size_t(tab)];
    if (list->rowOfKey(key) < 0)
        return false;
    m_window.TabMain->setCurrentIndex(int(tab));
    list->setSelectedKey(key);
    list->setFocus();
    open(int(tab));
    return true;
}

std::vector<SearchEntry> CommandRouter::searchEntries() const
{
    std::vector<SearchEntry> entries;
    for (int tab = 0; tab < kTabCount; ++tab) {
        const SharedRows rows = controller(tab).shownRows();
        for (int row = 0; rows && row < rows->count(); ++row) {
            SearchEntry e{Tab(tab), rows->text(row, 0), {}, rows->key(row)};
            e.pinned = m_window.lstQEL[size_t(tab)]->isPinned(e.key);
            // An "Open" entry's key is its path: its folder, then its name.
            if (Tab(tab) == Tab::Open && e.key.endsWith(e.name))
                e.folder = e.key.chopped(e.name.size());
            entries.push_back(std::move(e));
        }
    }
    return entries;
}

void CommandRouter::findAnywhere()
{
    // The icons of the entries as their lists show them, by tab.
    std::array<std::pair<const ImageList*, SharedRows>, kTabCount> shown;
    for (int tab = 0; tab < kTabCount; ++tab)
        shown[size_t(tab)] = {m_window.lstQEL[size_t(tab)]->smallImageList(),
                              controller(tab).shownRows()};
    const auto iconOf = [shown](const SearchEntry& e) {
        const auto& [images, rows] = shown[size_t(e.tab)];
        if (!images || !rows)
            return QIcon();
        for (int row = 0; row < rows->count(); ++row) {
            if (rows->hasKey(row, e.key))
                return images->icon(rows->smallIcon(row));
        }
        return QIcon();
    };
    auto* dialog = new FindAnywhere(
        searchEntries(), iconOf,
        [this](const SearchEntry& e) {
            if (!openEntry(e.tab, e.key))
                m_window.hub().notice(e.name + QStringLiteral(" is no longer in the list."));
        },
        &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void CommandRouter::showViewMode(bool iconView)
{
    m_window.mnuIcon->setChecked(iconView);
    m_window.mnuList->setChecked(!iconView);
    m_window.button(QStringLiteral("Icon"))->setChecked(iconView);
    m_window.button(QStringLiteral("List"))->setChecked(!iconView);
}

void CommandRouter::setIconView(bool iconView)
{
    const int tab = m_window.TabMain->CurrTab();
    if (tab >= 0 && tab < kTabCount)
        m_window.lstQEL[size_t(tab)]->setViewMode(iconView ? QelListView::ViewMode::Icon
                                                           : QelListView::ViewMode::Report);
    showViewMode(iconView);
}

void CommandRouter::columnClick(int index, int column)
{
    // Only lists that show their headers can be clicked there. The clicked list is sorted; each
    // list has one order that every header click flips, whichever column was clicked.
    QelListView* list = m_window.lstQEL[size_t(index)];
    if (!list->headersVisible())
        return;
    list->setSorted(false);
    list->setSortKey(column - 1);
    list->setSortOrder(list->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder
                                                               : Qt::AscendingOrder);
    list->setSorted(true);
}
