// What people who live in launchers expect beside the menus: keys for every list command, a
// context menu on each list, and a filter that narrows the lists as they type. Each reaches the
// same handler as its menu item, so it does what that item does, and nothing while it is disabled.
#include "base/Columns.h"
#include "mainwindow/frmQEL.h"
#include "tabs/open/OpenTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

QWidget* frmQEL::buildFilter()
{
    txtFilter = new QLineEdit;
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setAccessibleName(QStringLiteral("Filter"));
    txtFilter->setPlaceholderText(QStringLiteral("Filter (Ctrl+F)"));
    txtFilter->setClearButtonEnabled(true);
    if (auto* clearButton = txtFilter->findChild<QToolButton*>())
        clearButton->setAccessibleName(QStringLiteral("Clear filter"));
    txtFilter->setMaximumWidth(200);
    connect(txtFilter, &QLineEdit::textChanged, this, &frmQEL::applyFilterText);
    // Escape empties the field; Enter or Down goes on to the list it narrows.
    auto* clear = new QAction(txtFilter);
    clear->setShortcut(Qt::Key_Escape);
    clear->setShortcutContext(Qt::WidgetShortcut);
    connect(clear, &QAction::triggered, txtFilter, &QLineEdit::clear);
    txtFilter->addAction(clear);
    auto* toList = new QAction(txtFilter);
    toList->setShortcuts({QKeySequence(Qt::Key_Down), QKeySequence(Qt::Key_Return)});
    toList->setShortcutContext(Qt::WidgetShortcut);
    connect(toList, &QAction::triggered, this,
            [this] { lstQEL[size_t(TabMain->CurrTab())]->setFocus(); });
    txtFilter->addAction(toList);
    return txtFilter;
}

void frmQEL::applyFilterText(const QString& text)
{
    // Every list keeps the one filter, so that the field always says what the lists show; a
    // tab may match more than the name (the "Open" list its folder).
    for (int tab = 0; tab < kTabCount; ++tab)
        lstQEL[size_t(tab)]->setFilter(text, controller(tab).filterColumns());
}

void frmQEL::buildKeyboard()
{
    mnuCreate->setShortcut(Qt::Key_Insert);
    mnuRename->setShortcut(Qt::Key_F2);
    mnuDelete->setShortcut(Qt::Key_Delete);
    // In the filter box the same key takes back the typing, as in every text field.
    mnuUndo->setShortcut(QKeySequence::Undo);
    const auto windowKey = [this](const QString& name, const QKeySequence& key, auto handler) {
        auto* action = new QAction(name, this);
        action->setObjectName(name);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
    };
    for (int tab = 0; tab < kTabCount; ++tab) {
        windowKey(QStringLiteral("tab%1").arg(tab), QKeySequence(Qt::CTRL | (Qt::Key_1 + tab)),
                  [this, tab] {
                      TabMain->setCurrTab(tab);
                      lstQEL[size_t(tab)]->setFocus();
                  });
    }
    windowKey(QStringLiteral("reload"), QKeySequence(Qt::Key_F5),
              [this] { controller(TabMain->CurrTab()).reload(); });
    windowKey(QStringLiteral("findFilter"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        txtFilter->setFocus(Qt::ShortcutFocusReason);
        txtFilter->selectAll();
    });
}

std::unique_ptr<QMenu> frmQEL::contextMenuFor(int tab, bool onEntry)
{
    auto menu = std::make_unique<QMenu>(this);
    const auto item = [&](const QString& text, std::function<void()> run) {
        QAction* a = menu->addAction(text);
        connect(a, &QAction::triggered, this, std::move(run));
    };
    TabController& commands = controller(tab);
    const bool current = TabMain->CurrTab() == tab;
    if (onEntry) {
        item(QStringLiteral("Open\tEnter"), [this, tab] { lstQEL_DblClick(tab); });
        for (const TabController::Command& c : commands.entryCommands())
            item(c.text, c.run);
        // The Edit menu's own items, with their captions, keys and enabled state for this tab.
        if (current && (mnuRename->isEnabled() || mnuDelete->isEnabled())) {
            menu->addSeparator();
            for (QAction* edit : {mnuRename, mnuDelete}) {
                if (edit->isEnabled())
                    menu->addAction(edit);
            }
        }
        return menu;
    }
    for (const TabController::Command& c : commands.spaceCommands())
        item(c.text, c.run);
    if (current && mnuCreate->isEnabled())
        menu->addAction(mnuCreate);
    return menu;
}
