#include "lists/ListLayout.h"

#include "base/TextOrder.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace {
// More runs of rows that came or went than this are cheaper as one reset than as as many
// separate changes.
constexpr int kMostRuns = 64;

bool matches(const ListRows& rows, int row, const ListFilter& filter)
{
    if (rows.text(row, 0).contains(filter.text, Qt::CaseInsensitive))
        return true;
    return std::any_of(filter.columns.begin(), filter.columns.end(), [&](int column) {
        return rows.text(row, column).contains(filter.text, Qt::CaseInsensitive);
    });
}

bool sameRow(int columns, const ListRows& a, int ra, Note na, const ListRows& b, int rb, Note nb)
{
    if (na != nb || a.largeIcon(ra) != b.largeIcon(rb) || a.smallIcon(ra) != b.smallIcon(rb) ||
        a.description(ra) != b.description(rb) || a.toolTip(ra) != b.toolTip(rb))
        return false;
    for (int c = 0; c < columns; ++c) {
        if (a.text(ra, c) != b.text(rb, c))
            return false;
    }
    return true;
}

// The runs of `marked` rows as ranges, first to last.
std::vector<ListPlan::Range> runsOf(const std::vector<char>& marked)
{
    std::vector<ListPlan::Range> runs;
    for (size_t i = 0; i < marked.size(); ++i) {
        if (!marked[i])
            continue;
        if (!runs.empty() && runs.back().last == int(i) - 1)
            runs.back().last = int(i);
        else
            runs.push_back({int(i), int(i)});
    }
    return runs;
}
} // namespace

KeyIndex::KeyIndex(const ListRows& rows)
{
    const int count = rows.count();
    size_t size = 16;
    while (size < size_t(count) * 3 / 2 + 1)
        size *= 2;
    m_slots.resize(size);
    m_mask = size - 1;
    for (int row = 0; row < count; ++row) {
        const quint32 hash = rows.keyHash(row);
        size_t i = hash & m_mask;
        while (m_slots[i].row >= 0)
            i = (i + 1) & m_mask;
        m_slots[i] = {hash, row};
    }
}

int KeyIndex::firstRow(const ListRows& rows, const QString& key) const
{
    int found = -1;
    forEachRow(rows, key, [&](int row) {
        found = row;
        return false;
    });
    return found;
}

namespace {

std::vector<int> unpinnedOrder(const ListRows& rows, const ListSort& sort, const ListFilter& filter)
{
    const int count = rows.count();
    std::vector<int> order;
    if (filter.text.isEmpty()) {
        order.resize(size_t(count));
        std::iota(order.begin(), order.end(), 0);
    } else {
        for (int row = 0; row < count; ++row) {
            if (matches(rows, row, filter))
                order.push_back(row);
        }
    }
    if (!sort.sorted || order.size() < 2)
        return order;
    const bool ascending = sort.order == Qt::AscendingOrder;
    if (ascending && rows.sortedBy() == sort.column)
        return order; // as the tab gave them, the common case
    const auto textOf = [&](int i) { return rows.text(order[size_t(i)], sort.column); };
    bool inOrder = true;
    for (size_t i = 1; i < order.size() && inOrder; ++i) {
        const int c = compareIgnoringCase(textOf(int(i) - 1), textOf(int(i)));
        inOrder = ascending ? c <= 0 : c >= 0;
    }
    if (inOrder)
        return order; // as the tab gave them, the common case
    const std::vector<int> positions = sortedOrder(int(order.size()), textOf, ascending);
    std::vector<int> sorted(order.size());
    for (size_t i = 0; i < positions.size(); ++i)
        sorted[i] = order[size_t(positions[i])];
    return sorted;
}

} // namespace

std::vector<int> displayOrder(const ListRows& rows, const ListSort& sort, const ListFilter& filter)
{
    std::vector<int> order = unpinnedOrder(rows, sort, filter);
    if (sort.pinned && !sort.pinned->isEmpty()) {
        std::stable_partition(order.begin(), order.end(),
                              [&](int row) { return sort.pinned->contains(rows.key(row)); });
    }
    return order;
}

std::vector<int> displayRows(const std::vector<int>& order, int rowCount)
{
    std::vector<int> rows(size_t(std::max(rowCount, 0)), -1);
    for (size_t i = 0; i < order.size(); ++i)
        rows[size_t(order[i])] = int(i);
    return rows;
}

std::vector<int> longestTexts(const ListRows& rows, int column, int howMany, int stride)
{
    std::vector<std::pair<qsizetype, int>> best; // length and row, longest first
    for (int row = 0; row < rows.count(); row += stride) {
        const qsizetype length = rows.text(row, column).size();
        if (int(best.size()) == howMany && length <= best.back().first)
            continue;
        const auto at =
            std::find_if(best.begin(), best.end(), [&](const auto& b) { return length > b.first; });
        best.insert(at, {length, row});
        if (int(best.size()) > howMany)
            best.pop_back();
    }
    std::vector<int> result;
    for (const auto& b : best)
        result.push_back(b.second);
    return result;
}

std::vector<Note> carriedNotes(const ListRows& oldRows, const KeyIndex& oldIndex,
                               const std::vector<Note>& oldNotes, const ListRows& newRows)
{
    std::vector<Note> notes(size_t(newRows.count()), Note::None);
    const bool anyOld =
        std::any_of(oldNotes.begin(), oldNotes.end(), [](Note n) { return n != Note::None; });
    for (int row = 0; row < newRows.count(); ++row) {
        Note note = newRows.note(row);
        if (note == Note::None && anyOld) {
            oldIndex.forEachRow(oldRows, newRows, row, [&](int old) {
                note = oldNotes[size_t(old)];
                return false;
            });
        }
        notes[size_t(row)] = note;
    }
    return notes;
}

ListPlan planChange(int columns, const ListRows& oldRows, const std::vector<int>& oldOrder,
                    const std::vector<int>& oldDisplayRows, const KeyIndex& oldIndex,
                    const std::vector<Note>& oldNotes, const ListRows& newRows,
                    const std::vector<int>& newOrder, const std::vector<Note>& newNotes)
{
    ListPlan plan;
    if (oldOrder.empty() || newOrder.empty()) {
        if (!oldOrder.empty())
            plan.removed.push_back({0, int(oldOrder.size()) - 1});
        if (!newOrder.empty())
            plan.inserted.push_back({0, int(newOrder.size()) - 1});
        return plan;
    }
    std::vector<char> used(oldOrder.size(), 0);
    std::vector<int> matched(newOrder.size(), -1); // the old display row of each new one
    bool inOrder = true;
    int last = -1;
    for (size_t j = 0; j < newOrder.size(); ++j) {
        int best = -1;
        oldIndex.forEachRow(oldRows, newRows, newOrder[j], [&](int source) {
            const int shown = oldDisplayRows[size_t(source)];
            if (shown >= 0 && !used[size_t(shown)] && (best < 0 || shown < best))
                best = shown;
            return true;
        });
        if (best < 0)
            continue;
        used[size_t(best)] = 1;
        matched[j] = best;
        inOrder = inOrder && best > last;
        last = best;
    }
    std::vector<char> removed(oldOrder.size()), inserted(newOrder.size()), changed(newOrder.size());
    size_t changes = 0;
    for (size_t i = 0; i < oldOrder.size(); ++i)
        removed[i] = !used[i];
    for (size_t j = 0; j < newOrder.size(); ++j) {
        inserted[j] = matched[j] < 0;
        if (inserted[j])
            continue;
        const int o = oldOrder[size_t(matched[j])];
        const int n = newOrder[j];
        changed[j] =
            !sameRow(columns, oldRows, o, oldNotes[size_t(o)], newRows, n, newNotes[size_t(n)]);
        changes += changed[j];
    }
    plan.removed = runsOf(removed);
    plan.inserted = runsOf(inserted);
    plan.changed = runsOf(changed);
    const bool mostChanged = changes > 64 && changes * 2 > newOrder.size();
    if (!inOrder || plan.removed.size() + plan.inserted.size() > size_t(kMostRuns) || mostChanged)
        plan = ListPlan{true, {}, {}, {}};
    return plan;
}
