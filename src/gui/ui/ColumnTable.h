#pragma once

#include "base/Program.h"

#include <QString>

#include <span>

// The columns of every tab's list, made once in this order and never changed.
struct ColumnDef {
    const char* caption;
    int widthTwips; // 0: the column holds a sub-item but never shows
};

std::span<const ColumnDef> columnsOfList(Tab tab);
// Whether the list shows its column headers in report view.
bool showsHeaders(Tab tab);
