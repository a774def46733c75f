#pragma once

#include "search/EntrySearch.h"

#include <QHash>
#include <QString>

class QAction;
class QActionGroup;
class QToolBar;
class QelListView;
class TabController;
class frmQEL;

// How commands reach the tabs: the tab switch and its command-state table, the toolbar, the
// Edit and View menus, the column headers and the double-click, each handed to the controller
// (or the list) of the tab it concerns. The window's handlers are forwards to it.
class CommandRouter {
public:
    explicit CommandRouter(frmQEL& window);

    // The toolbar, each button routed by its key; and a button by key (nullptr for none).
    QToolBar* buildToolbar();
    QAction* button(const QString& key) const { return m_buttons.value(key); }

    TabController& controller(int tab) const;
    // The controller of the current tab, found by its caption as the Edit commands find it;
    // nullptr for none.
    TabController* current() const;

    // The Edit menu's items for the context menus' commands, below "Delete File".
    void buildAddedCommands();
    void switched(int newTab);
    // Performs the command of the toolbar button `key`; a disabled or unknown one does nothing.
    void buttonClick(const QString& key);
    void create();
    void rename();
    void remove();
    void undo();
    // Edit > Undo names the current tab's step, or reads "Undo" and is disabled.
    void updateUndo();
    // Opens the chosen entry of list `index`, never twice at once.
    void open(int index);
    // Brings `tab` to the front with the entry of row key `key` chosen, and opens it as that
    // tab's double-click does; false, and nothing done, when the tab shows no such entry.
    bool openEntry(Tab tab, const QString& key);
    // Every tab's entries as their lists show them now, for a search over them all.
    std::vector<SearchEntry> searchEntries() const;
    // Edit > Find Anywhere: that search, as the user types.
    void findAnywhere();
    // The current tab's list in icon or report view, and the View menu and buttons showing it.
    void setIconView(bool iconView);
    void columnClick(int index, int column);

private:
    void showViewMode(bool iconView);
    void applyCommandState(int tab);
    void applyAddedCommandState(int tab);

    frmQEL& m_window;
    QHash<QString, QAction*> m_buttons;
    QActionGroup* m_viewButtons = nullptr;
    bool m_launchReady = true; // false while a double-click's launch is being prepared
};
