#pragma once

#include <QList>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;

// What the main window hands to the controller of a tab, and what it asks of it. Each tab does
// what applies to it; the rest does nothing, as Create does on the "New" and "Open" tabs.
class TabController {
public:
    virtual ~TabController() = default;
    // A double-click, or Enter, on the tab's list.
    virtual void open() {}
    virtual void create() {}
    virtual void rename() {}
    virtual void remove() {}
    // Fills the tab's list again from its store.
    virtual void reload() {}

    // What the tab shows under its list; nullptr for nothing.
    virtual QWidget* belowList() { return nullptr; }
    // Commands of the tab's own in the context menu of an entry, or of the list's empty space.
    struct Command {
        QString text;
        std::function<void()> run;
    };
    virtual QList<Command> entryCommands() { return {}; }
    virtual QList<Command> spaceCommands() { return {}; }
    // The sub-items that the filter matches besides the entry's text.
    virtual QList<int> filterColumns() const { return {}; }
    // What dropping `data` on the window does for this tab, or nothing when the tab does not
    // take it; `shown` tells whether the tab is the one on screen.
    virtual std::function<void()> dropAction(const QMimeData* data, bool shown)
    {
        (void)data;
        (void)shown;
        return {};
    }
};
