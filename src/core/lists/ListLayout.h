#pragma once

#include "base/TextOrder.h"
#include "lists/ListRows.h"

#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

// How a list shows its rows: sorted or in the order given, and narrowed by a filter text. The
// functions here are plain computations over rows that never change, so that a list of a few
// hundred thousand entries is laid out away from the window's thread.

struct ListSort {
    bool sorted = false;
    int column = 0;
    Qt::SortOrder order = Qt::AscendingOrder;
    // The keys of the rows the user pinned: they stand first in every order, among themselves
    // in the order the rest would give them. None pinned: every order is exactly as before.
    std::shared_ptr<const QSet<QString>> pinned;
    bool operator==(const ListSort&) const = default;
};

// The rows whose text, or one of the sub-items of `columns`, holds `text` ignoring letter case.
struct ListFilter {
    QString text;
    QList<int> columns;
    bool operator==(const ListFilter&) const = default;
};

// Finds the rows of a key without keeping the keys: a table of their hashes.
class KeyIndex {
public:
    KeyIndex() = default;
    explicit KeyIndex(const ListRows& rows);

    // Calls `take(row)` for each row of `rows` (those the index was made of) whose key is `key`,
    // in row order; stops when `take` returns false.
    template <class Take> void forEachRow(const ListRows& rows, const QString& key, Take take) const
    {
        probe(
            textHash(key), [&](int row) { return rows.hasKey(row, key); }, take);
    }
    // The same for the key of `otherRow` of `other`.
    template <class Take>
    void forEachRow(const ListRows& rows, const ListRows& other, int otherRow, Take take) const
    {
        probe(
            other.keyHash(otherRow), [&](int row) { return rows.sameKey(row, other, otherRow); },
            take);
    }
    // The first row of the key; -1 when none.
    int firstRow(const ListRows& rows, const QString& key) const;

private:
    template <class Is, class Take> void probe(quint32 hash, Is is, Take take) const
    {
        if (m_slots.empty())
            return;
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot& s = m_slots[i];
            if (s.row < 0)
                return;
            if (s.hash == hash && is(s.row) && !take(s.row))
                return;
        }
    }
    struct Slot {
        quint32 hash = 0;
        int row = -1;
    };
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
};

// The source rows in the order the list shows them: sorted by `sort` (a stable sort, so rows
// already in that order stay as they are), without those `filter` hides.
std::vector<int> displayOrder(const ListRows& rows, const ListSort& sort, const ListFilter& filter);

// Where each source row shows: its display row, or -1 when the filter hides it.
std::vector<int> displayRows(const std::vector<int>& order, int rowCount);

// The rows whose texts of `column` are the longest, by characters, longest first: a fitted column
// is measured by these (and by the rows on screen) rather than by every row. With `stride` above
// 1 only every stride-th row is looked at, for a column whose texts are of much the same length.
std::vector<int> longestTexts(const ListRows& rows, int column, int howMany, int stride = 1);

// The notes of new rows: each row's own note, else the note an entry of the same key had before
// (an entry found missing stays greyed until its file is looked at again).
std::vector<Note> carriedNotes(const ListRows& oldRows, const KeyIndex& oldIndex,
                               const std::vector<Note>& oldNotes, const ListRows& newRows);

// How the shown rows become the new ones. Rows are the same entry when their keys are equal (of
// several rows of one key, the first to the first). When the entries that stay keep their order,
// the change is the runs of rows that went, came or changed; otherwise, or when it is made of
// many runs or most rows change, it is one reset.
struct ListPlan {
    struct Range {
        int first;
        int last;
    };
    bool reset = false;
    std::vector<Range> removed;  // old display rows, first to last
    std::vector<Range> inserted; // new display rows, first to last
    std::vector<Range> changed;  // new display rows, first to last
    bool isEmpty() const
    {
        return !reset && removed.empty() && inserted.empty() && changed.empty();
    }
};
// `columns`: how many columns the list has (texts beyond them are not compared).
ListPlan planChange(int columns, const ListRows& oldRows, const std::vector<int>& oldOrder,
                    const std::vector<int>& oldDisplayRows, const KeyIndex& oldIndex,
                    const std::vector<Note>& oldNotes, const ListRows& newRows,
                    const std::vector<int>& newOrder, const std::vector<Note>& newNotes);
