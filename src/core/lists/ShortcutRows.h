#pragma once

#include "lists/ListRows.h"
#include "lists/ShortcutFolder.h"

#include <vector>

// The rows of the "Tools" list: the shortcuts as the folder was read, each shown by its file
// name up to the first "." and its file's path; an unreadable one greyed, saying why.
class ShortcutRows final : public ListRows {
public:
    explicit ShortcutRows(std::vector<ShortcutEntry> entries)
        : m_entries(std::move(entries))
    {}
    const std::vector<ShortcutEntry>& entries() const { return m_entries; }
    const ShortcutEntry& entry(int row) const { return m_entries[size_t(row)]; }
    int count() const override { return int(m_entries.size()); }
    QString text(int row, int column) const override;
    QString key(int row) const override { return entry(row).shortcutFile; }
    QString largeIcon(int row) const override { return entry(row).fileName; }
    QString smallIcon(int row) const override { return entry(row).fileName; }
    Note note(int row) const override { return entry(row).read.ok ? Note::None : Note::Broken; }
    QString toolTip(int row) const override;

private:
    std::vector<ShortcutEntry> m_entries;
};
