#include "ui/ListLayoutScheduler.h"

#include "work/Work.h"

#include <algorithm>

namespace {
// A list of more rows than this is laid out away from the window's thread.
constexpr int kLayOutHere = 4000;
// The rows of the longest texts a fitted column is measured by.
constexpr int kLongestSample = 8;
constexpr int kSampledRows = 2000;
} // namespace

ListLayoutStep ListLayoutStep::make(const ListModel::State& shown, const ListSort& shownSort,
                                    const ListFilter& shownFilter, const SharedRows& rows,
                                    const ListSort& sort, const ListFilter& filter, int columns,
                                    const QList<int>& measured)
{
    ListLayoutStep l;
    l.sort = sort;
    l.filter = filter;
    if (rows != shown.rows) {
        l.kind = Kind::Change;
        l.state.rows = rows;
        l.state.index = std::make_shared<const KeyIndex>(*rows);
        l.state.notes = shown.index ? carriedNotes(*shown.rows, *shown.index, shown.notes, *rows)
                                    : carriedNotes(*rows, KeyIndex(), {}, *rows);
        l.state.order = displayOrder(*rows, sort, filter);
        l.state.displayRows = displayRows(l.state.order, rows->count());
        l.plan = shown.rows
                     ? planChange(columns, *shown.rows, shown.order, shown.displayRows,
                                  *shown.index, shown.notes, *rows, l.state.order, l.state.notes)
                     : ListPlan{true, {}, {}, {}};
        // Names vary in length; the other columns (dates, kinds) hardly do: a few thousand of
        // their rows are enough.
        l.longest.resize(size_t(columns));
        const int stride = std::max(rows->count() / kSampledRows, 1);
        for (const int c : measured)
            l.longest[size_t(c)] =
                longestTexts(*rows, c, kLongestSample, c == measured.first() ? 1 : stride);
    } else if (!(filter == shownFilter) || !(sort == shownSort)) {
        l.kind = filter == shownFilter ? Kind::Reorder : Kind::Refilter;
        l.state.order = displayOrder(*rows, sort, filter);
        l.state.displayRows = displayRows(l.state.order, rows->count());
    }
    return l;
}

ListLayoutScheduler::ListLayoutScheduler(const ListModel& model, Hooks hooks)
    : m_model(model)
    , m_hooks(std::move(hooks))
{}

ListLayoutScheduler::~ListLayoutScheduler() = default;

void ListLayoutScheduler::setRows(SharedRows rows)
{
    m_wantedRows =
        rows ? std::move(rows) : std::make_shared<const EntryRows>(std::vector<ListEntry>());
    relayout();
}

void ListLayoutScheduler::setSort(const ListSort& sort)
{
    if (sort == m_sort)
        return;
    m_sort = sort;
    relayout();
}

void ListLayoutScheduler::setFilter(const ListFilter& filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    relayout();
}

bool ListLayoutScheduler::isSettled() const
{
    return !m_working && m_wantedRows == m_model.state().rows && m_shownFilter == m_filter &&
           m_shownSort == m_sort;
}

void ListLayoutScheduler::whenShown(QObject* context, std::function<void()> then)
{
    if (isSettled())
        then();
    else
        m_whenShown.push_back({context, std::move(then)});
}

void ListLayoutScheduler::notesGiven(const QHash<QString, Note>& noteOfKey)
{
    if (m_working)
        m_lateNotes.insert(noteOfKey);
}

bool ListLayoutScheduler::selectWhenShown(const QString& key)
{
    if (isSettled())
        return false;
    // The key is meant for the rows being laid out: it is chosen among them once they show.
    const bool queued = m_selectWhenShown.has_value();
    m_selectWhenShown = key;
    if (!queued)
        whenShown(&m_alive,
                  [this] { m_hooks.select(*std::exchange(m_selectWhenShown, std::nullopt)); });
    return true;
}

void ListLayoutScheduler::relayout()
{
    ++m_generation;
    if (m_working || !m_wantedRows)
        return; // the layout under way starts again when it is done
    const int columns = int(m_model.captions.size());
    const QList<int> measured = m_hooks.measured ? m_hooks.measured() : QList<int>();
    const ListModel::State& shown = m_model.state();
    const int size = m_wantedRows->count() + (shown.rows ? shown.rows->count() : 0);
    if (size <= kLayOutHere) {
        this->shown(ListLayoutStep::make(shown, m_shownSort, m_shownFilter, m_wantedRows, m_sort,
                                         m_filter, columns, measured));
        return;
    }
    m_working = true;
    m_lateNotes.clear();
    // Only new rows are compared with those shown; another order or filter of the same rows
    // needs nothing of what is shown, which is then not copied.
    ListModel::State base;
    if (m_wantedRows == shown.rows)
        base.rows = shown.rows;
    else
        base = shown;
    work::post(
        work::Line::compute(), &m_alive,
        [shown = std::move(base), shownSort = m_shownSort, shownFilter = m_shownFilter,
         rows = m_wantedRows, sort = m_sort, filter = m_filter, columns, measured] {
            return ListLayoutStep::make(shown, shownSort, shownFilter, rows, sort, filter, columns,
                                        measured);
        },
        [this, generation = m_generation](ListLayoutStep layout) {
            m_working = false;
            if (generation != m_generation) {
                relayout(); // asked for something else meanwhile
                return;
            }
            this->shown(std::move(layout));
        });
}

void ListLayoutScheduler::shown(ListLayoutStep layout)
{
    m_shownSort = layout.sort;
    m_shownFilter = layout.filter;
    m_hooks.show(std::move(layout));
    if (!m_lateNotes.isEmpty())
        m_hooks.applyNotes(std::exchange(m_lateNotes, {}));
    for (Waiting& waiting : std::exchange(m_whenShown, {})) {
        if (waiting.context)
            waiting.then();
    }
}
