// The layout plan: how the rows a list shows become the next ones, as runs the views can follow
// (selection and current entry stay on their entries), or one reset where runs would cost more.
#include "lists/ListLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Rows written "key" or "key=text", blank-separated; "*N" is N rows k0..kN-1, "*N=" the same
// with texts changed.
std::vector<ListEntry> rowsOf(const char* written)
{
    std::vector<ListEntry> rows;
    for (const QString& word : QString::fromLatin1(written).split(u' ', Qt::SkipEmptyParts)) {
        if (word.startsWith(u'*')) {
            const bool changed = word.endsWith(u'=');
            const int n = word.mid(1, word.size() - 1 - int(changed)).toInt();
            for (int i = 0; i < n; ++i) {
                const QString key = QStringLiteral("k%1").arg(i, 4, 10, QLatin1Char('0'));
                rows.push_back({key, changed ? key + u'!' : key, {}, {}, {}, {}, Note::None, {}});
            }
            continue;
        }
        const QStringList parts = word.split(u'=');
        rows.push_back({parts[0], parts.value(1, parts[0]), {}, {}, {}, {}, Note::None, {}});
    }
    return rows;
}

// Keeps every other row of k0..kN-1: N/2 runs of rows that went.
std::vector<ListEntry> everyOther(int n)
{
    std::vector<ListEntry> rows = rowsOf(QStringLiteral("*%1").arg(n).toLatin1().constData());
    std::vector<ListEntry> kept;
    for (size_t i = 0; i < rows.size(); i += 2)
        kept.push_back(rows[i]);
    return kept;
}

std::string runs(const std::vector<ListPlan::Range>& ranges)
{
    QStringList r;
    for (const ListPlan::Range& range : ranges)
        r << QStringLiteral("%1-%2").arg(range.first).arg(range.last);
    return r.join(u' ').toStdString();
}

struct PlanCase {
    const char* what;
    std::vector<ListEntry> before;
    std::vector<ListEntry> after;
    const char* filterBefore;
    const char* filterAfter;
    bool sorted; // both by column 0, ascending
    bool reset;
    const char* removed;
    const char* inserted;
    const char* changed;
};

TEST(ListLayout, PlansRunsOfRowsThatWentCameOrChangedAndResetsWhereRunsWouldCostMore)
{
    const PlanCase cases[] = {
        {"nothing changed", rowsOf("a b c"), rowsOf("a b c"), "", "", false, false, "", "", ""},
        {"a row went", rowsOf("a b c d"), rowsOf("a d"), "", "", false, false, "1-2", "", ""},
        {"rows came", rowsOf("a d"), rowsOf("a b c d e"), "", "", false, false, "", "1-2 4-4", ""},
        {"a text changed", rowsOf("a b c"), rowsOf("a b=B c"), "", "", false, false, "", "", "1-1"},
        {"all at once", rowsOf("a b c"), rowsOf("x b=B"), "", "", false, false, "0-0 2-2", "0-0",
         "1-1"},
        {"from none", rowsOf(""), rowsOf("a b"), "", "", false, false, "", "0-1", ""},
        {"to none", rowsOf("a b"), rowsOf(""), "", "", false, false, "0-1", "", ""},
        {"one key twice", rowsOf("a a=A2 b"), rowsOf("x a a=A2 b"), "", "", false, false, "", "0-0",
         ""},
        {"entries moved", rowsOf("a b c"), rowsOf("c a b"), "", "", false, true, "", "", ""},
        {"a sort keeps them in place", rowsOf("c a b"), rowsOf("c a b d"), "", "", true, false, "",
         "3-3", ""},
        {"many runs", rowsOf("*200"), everyOther(200), "", "", false, true, "", "", ""},
        {"few runs", rowsOf("*40"), everyOther(40), "", "", false, false,
         "1-1 3-3 5-5 7-7 9-9 11-11 13-13 15-15 17-17 19-19 21-21 23-23 25-25 27-27 29-29 31-31 "
         "33-33 35-35 37-37 39-39",
         "", ""},
        {"most rows changed", rowsOf("*100"), rowsOf("*100="), "", "", false, true, "", "", ""},
        {"a few rows changed", rowsOf("*10"), rowsOf("*10="), "", "", false, false, "", "", "0-9"},
        // The filter narrows the new rows as they are planned: "ant cat dan" show of the four.
        {"filter and change together", rowsOf("ant bee cat"), rowsOf("ant bee cat dan"), "", "a",
         false, false, "1-1", "2-2", ""},
        {"filter hides a changed row", rowsOf("ant bee cat"), rowsOf("ant bee=BEE cat"), "b", "b",
         false, false, "", "", "0-0"},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.what);
        const EntryRows before(c.before), after(c.after);
        const ListSort sort{c.sorted, 0, Qt::AscendingOrder, {}};
        const std::vector<int> oldOrder =
            displayOrder(before, sort, {QString::fromLatin1(c.filterBefore), {}});
        const std::vector<int> newOrder =
            displayOrder(after, sort, {QString::fromLatin1(c.filterAfter), {}});
        const KeyIndex index(before);
        const std::vector<Note> oldNotes(before.count(), Note::None);
        const std::vector<Note> newNotes = carriedNotes(before, index, oldNotes, after);
        const ListPlan plan = planChange(1, before, oldOrder, displayRows(oldOrder, before.count()),
                                         index, oldNotes, after, newOrder, newNotes);
        EXPECT_EQ(plan.reset, c.reset);
        EXPECT_EQ(runs(plan.removed), c.removed);
        EXPECT_EQ(runs(plan.inserted), c.inserted);
        EXPECT_EQ(runs(plan.changed), c.changed);
    }
}

} // namespace

namespace {

TEST(ListLayout, PinnedRowsStandFirstInEveryOrderAmongThemselvesInThatOrder)
{
    const EntryRows rows(rowsOf("d=delta b=bravo a=alpha c=charlie e=echo"));
    const auto keysOf = [&](const std::vector<int>& order) {
        QString keys;
        for (int row : order)
            keys += rows.key(row);
        return keys;
    };
    const auto pinned = std::make_shared<const QSet<QString>>(
        QSet<QString>{QStringLiteral("c"), QStringLiteral("e")});
    const struct {
        ListSort sort;
        QString filter;
        const char* expected;
    } cases[] = {
        {{false, 0, Qt::AscendingOrder, {}}, {}, "dbace"}, // no pin: exactly as before
        {{false, 0, Qt::AscendingOrder, pinned},
         {},
         "cedba"}, // unsorted: the given order after them
        {{true, 0, Qt::AscendingOrder, pinned}, {}, "ceabd"},
        {{true, 0, Qt::DescendingOrder, pinned}, {}, "ecdba"},
        {{true, 0, Qt::AscendingOrder, pinned}, QStringLiteral("h"), "cea"}, // filtered too
    };
    for (const auto& c : cases)
        EXPECT_EQ(keysOf(displayOrder(rows, c.sort, {c.filter, {}})),
                  QString::fromLatin1(c.expected))
            << c.expected;
}

} // namespace
