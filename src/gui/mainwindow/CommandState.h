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
