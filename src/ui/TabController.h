#pragma once

// What the main window hands to the controller of a tab. Each tab does what applies to it; the
// rest does nothing, as Create does on the "New" and "Open" tabs.
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
};
