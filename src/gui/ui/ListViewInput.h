#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QAbstractItemView;
class QListView;
class QTreeView;

// What the keyboard and the mouse ask of a list's two views beyond moving about in them: Enter
// on the selected entry opens it; the Menu key, Shift+F10 and a right click ask for the context
// menu, at the selected entry or where the click was (a click on an entry selects it first, a
// click on empty space is about the list).
class ListViewInput : public QObject {
public:
    struct Hooks {
        // The view on screen, and the selected row (-1 for none), which `select` changes.
        std::function<QAbstractItemView*()> current;
        std::function<int()> selectedRow;
        std::function<void(int)> select;
        // Enter with an entry selected, and a double-click on an entry.
        std::function<void()> activated;
        std::function<void(const QPoint& globalPos, bool onEntry)> contextMenu;
        // The report view's viewport changed its size.
        std::function<void()> resized;
    };
    ListViewInput(QTreeView* report, QListView* icons, Hooks hooks);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keyboardContextMenu(QAbstractItemView* view);

    QTreeView* m_report;
    QListView* m_icons;
    Hooks m_hooks;
};
