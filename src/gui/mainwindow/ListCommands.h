#pragma once

#include <QString>

#include <functional>
#include <memory>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMenu;
class QMimeData;
class QPoint;
class QWidget;
class frmQEL;

// What people who live in launchers expect beside the menus, for every list alike: keys for
// every list command, a context menu on each list, a filter that narrows the lists as they type,
// and drops onto the window. Each reaches the same handler as its menu item, or the controller
// of the tab it concerns.
class ListCommands {
public:
    explicit ListCommands(frmQEL& window);

    // The four lists (the window's lstQEL), their signals bound to the window's handlers.
    void buildLists();
    // The filter box (the window's txtFilter), made once.
    QWidget* buildFilter();
    // The keys of the Edit commands, the tabs, F5 and Ctrl+F, bound once.
    void bindKeys();
    // The context menu of tab `tab`'s list, on its selected entry or on its empty space.
    std::unique_ptr<QMenu> contextMenuFor(int tab, bool onEntry);
    void showContextMenu(int tab, const QPoint& at, bool onEntry);

    void dragEnter(QDragEnterEvent* event) const;
    void dragMove(QDragMoveEvent* event) const;
    void drop(QDropEvent* event) const;

private:
    void applyFilterText(const QString& text);
    // What a drop of `data` does: the current tab's action for it, else another tab's; nothing
    // when it is refused.
    std::function<void()> dropOf(const QMimeData* data) const;

    frmQEL& m_window;
};
