// Each list command reaches the same handler as its menu item, so it does what that item does,
// and nothing while it is disabled. A drop is taken by the tab it concerns: a data file opens as
// Browse would open it, a program dropped on the "Tools" tab becomes a shortcut, a web address
// dropped on the "Web" tab opens the web link dialog with it. Anything else is refused while it
// is dragged, so the pointer shows that it cannot be dropped.
#include "mainwindow/ListCommands.h"

#include "mainwindow/frmQEL.h"
#include "ui/ImageList.h"
#include "ui/QelListView.h"
#include "ui/TabController.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>

ListCommands::ListCommands(frmQEL& window)
    : m_window(window)
{}

void ListCommands::buildLists()
{
    frmQEL* w = &m_window;
    for (int i = 0; i < kTabCount; ++i) {
        auto* list = new QelListView(i);
        list->setObjectName(QStringLiteral("lstQEL%1").arg(i));
        const QString caption = tabCaption(Tab(i));
        list->reportView()->setAccessibleName(caption + QStringLiteral(" list"));
        list->iconView()->setAccessibleName(caption + QStringLiteral(" list"));
        w->lstQEL[size_t(i)] = list;
        QObject::connect(list, &QelListView::columnClick, w, &frmQEL::lstQEL_ColumnClick);
        QObject::connect(list, &QelListView::dblClick, w, &frmQEL::lstQEL_DblClick);
        QObject::connect(
            list, &QelListView::contextMenu, w,
            [this](int tab, const QPoint& at, bool onEntry) { showContextMenu(tab, at, onEntry); });
    }
}

QWidget* ListCommands::buildFilter()
{
    QLineEdit*& txtFilter = m_window.txtFilter;
    txtFilter = new QLineEdit;
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setAccessibleName(QStringLiteral("Filter"));
    txtFilter->setPlaceholderText(QStringLiteral("Filter (Ctrl+F)"));
    // The clear button is ours, not the line edit's own: that one looks up the desktop's icon
    // theme, which reads theme folders before the first window can show.
    QAction* clearButton =
        txtFilter->addAction(drawnIcon(QStringLiteral("clear")), QLineEdit::TrailingPosition);
    clearButton->setVisible(false);
    clearButton->setToolTip(QStringLiteral("Clear filter"));
    QObject::connect(clearButton, &QAction::triggered, txtFilter, &QLineEdit::clear);
    QObject::connect(
        txtFilter, &QLineEdit::textChanged, clearButton,
        [clearButton](const QString& text) { clearButton->setVisible(!text.isEmpty()); });
    if (auto* button = txtFilter->findChild<QToolButton*>())
        button->setAccessibleName(QStringLiteral("Clear filter"));
    txtFilter->setMaximumWidth(200);
    QObject::connect(txtFilter, &QLineEdit::textChanged, &m_window,
                     [this](const QString& text) { applyFilterText(text); });
    // Escape empties the field; Enter or Down goes on to the list it narrows.
    auto* clear = new QAction(txtFilter);
    clear->setShortcut(Qt::Key_Escape);
    clear->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(clear, &QAction::triggered, txtFilter, &QLineEdit::clear);
    txtFilter->addAction(clear);
    auto* toList = new QAction(txtFilter);
    toList->setShortcuts({QKeySequence(Qt::Key_Down), QKeySequence(Qt::Key_Return)});
    toList->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(toList, &QAction::triggered, &m_window,
                     [w = &m_window] { w->lstQEL[size_t(w->TabMain->CurrTab())]->setFocus(); });
    txtFilter->addAction(toList);
    return txtFilter;
}

void ListCommands::applyFilterText(const QString& text)
{
    // Every list keeps the one filter, so that the field always says what the lists show; a
    // tab may match more than the name (the "Open" list its folder).
    for (int tab = 0; tab < kTabCount; ++tab)
        m_window.lstQEL[size_t(tab)]->setFilter(text, m_window.controller(tab).filterColumns());
}

void ListCommands::bindKeys()
{
    frmQEL* w = &m_window;
    w->mnuCreate->setShortcut(Qt::Key_Insert);
    w->mnuRename->setShortcut(Qt::Key_F2);
    w->mnuDelete->setShortcut(Qt::Key_Delete);
    // In the filter box the same key takes back the typing, as in every text field.
    w->mnuUndo->setShortcut(QKeySequence::Undo);
    const auto windowKey = [w](const QString& name, const QKeySequence& key, auto handler) {
        auto* action = new QAction(name, w);
        action->setObjectName(name);
        action->setShortcut(key);
        QObject::connect(action, &QAction::triggered, w, handler);
        w->addAction(action);
    };
    for (int tab = 0; tab < kTabCount; ++tab) {
        windowKey(QStringLiteral("tab%1").arg(tab), QKeySequence(Qt::CTRL | (Qt::Key_1 + tab)),
                  [w, tab] {
                      w->TabMain->setCurrTab(tab);
                      w->lstQEL[size_t(tab)]->setFocus();
                  });
    }
    windowKey(QStringLiteral("reload"), QKeySequence(Qt::Key_F5),
              [w] { w->controller(w->TabMain->CurrTab()).reload(); });
    windowKey(QStringLiteral("findFilter"), QKeySequence(Qt::CTRL | Qt::Key_F), [w] {
        w->txtFilter->setFocus(Qt::ShortcutFocusReason);
        w->txtFilter->selectAll();
    });
}

void ListCommands::showContextMenu(int tab, const QPoint& at, bool onEntry)
{
    if (const auto menu = contextMenuFor(tab, onEntry); !menu->isEmpty())
        menu->exec(at);
}

std::unique_ptr<QMenu> ListCommands::contextMenuFor(int tab, bool onEntry)
{
    frmQEL* w = &m_window;
    auto menu = std::make_unique<QMenu>(w);
    const auto item = [&](const QString& text, std::function<void()> run) {
        QAction* a = menu->addAction(text);
        QObject::connect(a, &QAction::triggered, w, std::move(run));
    };
    TabController& commands = w->controller(tab);
    const bool current = w->TabMain->CurrTab() == tab;
    QAction* mnuRename = w->mnuRename;
    QAction* mnuDelete = w->mnuDelete;
    if (onEntry) {
        item(QStringLiteral("Open\tEnter"), [w, tab] { w->lstQEL_DblClick(tab); });
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
    if (current && w->mnuCreate->isEnabled())
        menu->addAction(w->mnuCreate);
    return menu;
}

std::function<void()> ListCommands::dropOf(const QMimeData* data) const
{
    const int shown = m_window.TabMain->CurrTab();
    if (shown >= 0 && shown < kTabCount) {
        if (auto action = m_window.controller(shown).dropAction(data, true))
            return action;
    }
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (tab == shown)
            continue;
        if (auto action = m_window.controller(tab).dropAction(data, false))
            return action;
    }
    return {};
}

void ListCommands::dragEnter(QDragEnterEvent* event) const
{
    if (dropOf(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListCommands::dragMove(QDragMoveEvent* event) const
{
    if (dropOf(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListCommands::drop(QDropEvent* event) const
{
    const std::function<void()> action = dropOf(event->mimeData());
    if (!action) {
        event->ignore();
        return;
    }
    action();
    event->acceptProposedAction();
}
