#include "ui/ListViewInput.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListView>
#include <QTreeView>

ListViewInput::ListViewInput(QTreeView* report, QListView* icons, Hooks hooks)
    : m_report(report)
    , m_icons(icons)
    , m_hooks(std::move(hooks))
{
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report), static_cast<QAbstractItemView*>(icons)}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
            if (i.isValid())
                m_hooks.activated();
        });
    }
}

bool ListViewInput::eventFilter(QObject* watched, QEvent* event)
{
    QAbstractItemView* view = m_hooks.current();
    if (event->type() == QEvent::KeyPress && (watched == m_report || watched == m_icons)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            m_hooks.selectedRow() >= 0) {
            m_hooks.activated();
            return true;
        }
        // Shift+F10 is the keyboard's other way to the context menu, beside the Menu key.
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            keyboardContextMenu(view);
            return true;
        }
    }
    if (event->type() == QEvent::Resize && watched == m_report->viewport())
        m_hooks.resized();
    if (event->type() == QEvent::ContextMenu && (watched == view || watched == view->viewport())) {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard) {
            keyboardContextMenu(view);
        } else {
            const QModelIndex at =
                view->indexAt(view->viewport()->mapFromGlobal(menu->globalPos()));
            m_hooks.select(at.isValid() ? at.row() : -1);
            m_hooks.contextMenu(menu->globalPos(), at.isValid());
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ListViewInput::keyboardContextMenu(QAbstractItemView* view)
{
    const int row = m_hooks.selectedRow();
    QRect at = view->viewport()->rect();
    if (row >= 0)
        at = view->visualRect(view->model()->index(row, 0));
    m_hooks.contextMenu(view->viewport()->mapToGlobal(at.center()), row >= 0);
}
