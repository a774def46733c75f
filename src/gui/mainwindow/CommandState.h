#pragma once

#include "base/Program.h"

#include <span>

// What a tab switch does to one toolbar button or menu item: the item (a menu item's name or a
// toolbar button's key), which of its properties, and the value per tab in tab order. A null
// text leaves the property as the tab shown before left it.
struct CommandStateRow {
    enum class Property { Enabled, Caption, ToolTip };
    const char* item;
    Property property;
    const char* perTab[kTabCount]; // Enabled: "yes" / "no"; Caption, ToolTip: the text
};

std::span<const CommandStateRow> commandStateTable();

// The Edit menu's items beyond those above: every command of the lists' context menus, which a
// screen reader never shows, stands in the menu bar too, in this order below a separator after
// the Delete item. A switch enables each on the tabs that have its command; it runs the command
// of that name of the current tab, found by its caption as the Edit items find theirs.
struct AddedCommandRow {
    const char* item;    // the menu item's objectName
    const char* command; // the tab's command (TabController::Command::name)
    const char* caption;
    bool perTab[kTabCount]; // enabled
};

std::span<const AddedCommandRow> addedCommandTable();
