#pragma once

#include <QString>

#include <span>

// The columns of every tab's list, made once in this order and never changed.
struct ColumnDef {
    const char* caption;
    int widthTwips; // 0: the column holds a sub-item but never shows
};

struct NewListEntry {
    const char* text;
    const char* largeIcon;
    const char* smallIcon;
    const char* typeCode;
};

std::span<const ColumnDef> columnsOfList(int tabIndex);
std::span<const NewListEntry> newListEntries();
