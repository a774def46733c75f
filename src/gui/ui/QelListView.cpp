#include "ui/QelListView.h"

#include "ui/ImageList.h"
#include "ui/ListModel.h"
#include "ui/ListViews.h"
#include "work/Work.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QStackedLayout>
#include <QStyle>
#include <QTreeView>

#include <algorithm>

QelListView::QelListView(int index, QWidget* parent)
    : QWidget(parent)
    , m_index(index)
    , m_model(new ListModel)
    , m_report(makeReportView(m_model))
    , m_icons(makeIconView(m_model))
    , m_stack(new QStackedLayout(this))
{
    m_model->setParent(this);
    m_stack->setContentsMargins(0, 0, 0, 0);

    setLabelWrap(true); // long labels wrap under their icons unless a list turns it off
    shareSelection(m_report, m_icons);

    m_stack->addWidget(m_report);
    m_stack->addWidget(m_icons);
    m_stack->setCurrentWidget(m_report);
    setFocusProxy(m_report);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_report), static_cast<QAbstractItemView*>(m_icons)}) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
            if (i.isValid())
                emit dblClick(m_index);
        });
    }
    connect(m_report->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        emit columnClick(m_index, m_model->columnOfSection(section) + 1);
    });
    connect(m_report->header(), &QHeaderView::sectionResized, this, [this] {
        if (m_sizing == 0)
            m_userWidths = true;
    });
}

QelListView::~QelListView() = default;

bool QelListView::eventFilter(QObject* watched, QEvent* event)
{
    QAbstractItemView* view = m_mode == ViewMode::Icon ? static_cast<QAbstractItemView*>(m_icons)
                                                       : static_cast<QAbstractItemView*>(m_report);
    if (event->type() == QEvent::KeyPress && (watched == m_report || watched == m_icons)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && selectedRow() >= 0) {
            emit dblClick(m_index);
            return true;
        }
        // Shift+F10 is the keyboard's other way to the context menu, beside the Menu key.
        if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
            keyboardContextMenu(view);
            return true;
        }
    }
    if (event->type() == QEvent::Resize && watched == m_report->viewport())
        fitColumns();
    if (event->type() == QEvent::ContextMenu && (watched == view || watched == view->viewport())) {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard) {
            keyboardContextMenu(view);
        } else {
            // A click on an entry selects it first; a click on empty space is about the list.
            const QModelIndex at =
                view->indexAt(view->viewport()->mapFromGlobal(menu->globalPos()));
            setSelectedRow(at.isValid() ? at.row() : -1);
            emit contextMenu(m_index, menu->globalPos(), at.isValid());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void QelListView::keyboardContextMenu(QAbstractItemView* view)
{
    const int row = selectedRow();
    QRect at = view->viewport()->rect();
    if (row >= 0)
        at = view->visualRect(view->model()->index(row, 0));
    emit contextMenu(m_index, view->viewport()->mapToGlobal(at.center()), row >= 0);
}

void QelListView::setLargeImageList(const ImageList* images)
{
    if (m_large == images)
        return;
    m_large = images;
    m_model->large = images;
    m_model->iconsChanged();
}

void QelListView::setSmallImageList(const ImageList* images)
{
    if (m_small == images)
        return;
    m_small = images;
    m_model->small = images;
    m_model->iconsChanged();
}

namespace {
// A list of more rows than this is laid out away from the window's thread.
constexpr int kLayOutHere = 4000;
// The rows of the longest texts a fitted column is measured by.
constexpr int kLongestSample = 8;
constexpr int kSampledRows = 2000;
} // namespace

// A layout of the list: what to show and how the shown list becomes it.
struct QelListView::Layout {
    enum class Kind { None, Change, Reorder, Refilter };
    Kind kind = Kind::None;
    ListModel::State state;
    ListPlan plan;
    ListSort sort;
    ListFilter filter;
    std::vector<std::vector<int>> longest;

    // Made from what is shown (`shown` and how it is sorted and filtered) for what is asked:
    // plain computation, safe on any thread.
    // `measured`: the columns whose widths are fitted to their texts.
    static Layout make(const ListModel::State& shown, const ListSort& shownSort,
                       const ListFilter& shownFilter, const SharedRows& rows, const ListSort& sort,
                       const ListFilter& filter, int columns, const QList<int>& measured)
    {
        Layout l;
        l.sort = sort;
        l.filter = filter;
        if (rows != shown.rows) {
            l.kind = Kind::Change;
            l.state.rows = rows;
            l.state.index = std::make_shared<const KeyIndex>(*rows);
            l.state.notes = shown.index
                                ? carriedNotes(*shown.rows, *shown.index, shown.notes, *rows)
                                : carriedNotes(*rows, KeyIndex(), {}, *rows);
            l.state.order = displayOrder(*rows, sort, filter);
            l.state.displayRows = displayRows(l.state.order, rows->count());
            l.plan = shown.rows ? planChange(columns, *shown.rows, shown.order, shown.displayRows,
                                             *shown.index, shown.notes, *rows, l.state.order,
                                             l.state.notes)
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
        }
        return l;
    }
};

void QelListView::clear()
{
    setEntries({});
}

void QelListView::setEntries(std::vector<ListEntry> entries)
{
    setRows(std::make_shared<const EntryRows>(std::move(entries)));
}

void QelListView::setRows(SharedRows rows)
{
    m_wantedRows =
        rows ? std::move(rows) : std::make_shared<const EntryRows>(std::vector<ListEntry>());
    relayout();
}

SharedRows QelListView::rows() const
{
    return m_model->state().rows;
}

bool QelListView::isSettled() const
{
    return !m_working && m_wantedRows == m_model->state().rows && m_shownFilter == m_filter &&
           m_shownSort == ListSort{m_sorted, m_sortKey, m_order};
}

void QelListView::whenShown(std::function<void()> then)
{
    if (isSettled())
        then();
    else
        m_whenShown.push_back(std::move(then));
}

void QelListView::relayout()
{
    ++m_generation;
    if (m_working || !m_wantedRows)
        return; // the layout under way starts again when it is done
    const ListSort sort{m_sorted, m_sortKey, m_order};
    const int columns = int(m_model->captions.size());
    // A fitted list measures every shown column but the last, which takes the room left.
    const QList<int> measured =
        m_fit ? m_model->shown.first(std::max<qsizetype>(m_model->shown.size() - 1, 0))
              : QList<int>();
    const ListModel::State& shown = m_model->state();
    const int size = m_wantedRows->count() + (shown.rows ? shown.rows->count() : 0);
    if (size <= kLayOutHere) {
        showLayout(Layout::make(shown, m_shownSort, m_shownFilter, m_wantedRows, sort, m_filter,
                                columns, measured));
        return;
    }
    m_working = true;
    m_lateNotes.clear();
    work::post(
        work::Line::compute(), &m_alive,
        [shown, shownSort = m_shownSort, shownFilter = m_shownFilter, rows = m_wantedRows, sort,
         filter = m_filter, columns, measured] {
            return Layout::make(shown, shownSort, shownFilter, rows, sort, filter, columns,
                                measured);
        },
        [this, generation = m_generation](Layout layout) {
            m_working = false;
            if (generation != m_generation) {
                relayout(); // asked for something else meanwhile
                return;
            }
            showLayout(std::move(layout));
        });
}

void QelListView::showLayout(Layout layout)
{
    const QString top = topKey();
    const QString selected = selectedKey();
    const bool whole = layout.kind == Layout::Kind::Refilter || layout.plan.reset;
    switch (layout.kind) {
    case Layout::Kind::None:
        break;
    case Layout::Kind::Change:
        m_longest = std::move(layout.longest);
        m_model->change(std::move(layout.state), layout.plan);
        break;
    case Layout::Kind::Reorder:
        m_model->reorder(std::move(layout.state.order));
        break;
    case Layout::Kind::Refilter:
        m_model->refilter(std::move(layout.state.order));
        break;
    }
    m_shownSort = layout.sort;
    m_shownFilter = layout.filter;
    // A view selects a neighbour of a row that goes; but commands act on the selected entry,
    // so when the chosen one has gone, or is hidden, nothing is selected.
    if (whole)
        setSelectedKey(selected);
    else if (!selected.isEmpty() && selectedKey() != selected)
        setSelectedRow(-1);
    if (!m_lateNotes.isEmpty())
        applyNotes(std::exchange(m_lateNotes, {}));
    updateSortIndicator();
    if (layout.kind == Layout::Kind::Change)
        fitColumns();
    scrollToTop(top);
    for (auto& then : std::exchange(m_whenShown, {}))
        then();
}

int QelListView::count() const
{
    return m_model->rowCount();
}

ListEntry QelListView::entry(int row) const
{
    ListEntry e;
    const int source = sourceRow(row);
    if (source < 0)
        return e;
    const ListRows& rows = m_model->rows();
    e.key = rows.key(source);
    e.text = rows.text(source, 0);
    for (int column = 1; column < columnCount(); ++column)
        e.subItems.append(rows.text(source, column));
    e.largeIcon = rows.largeIcon(source);
    e.smallIcon = rows.smallIcon(source);
    e.description = rows.description(source);
    e.note = m_model->state().notes[size_t(source)];
    e.toolTip = rows.toolTip(source);
    return e;
}

QString QelListView::text(int row) const
{
    return m_model->textAt(row, 0);
}

QString QelListView::subItem(int row, int column) const
{
    return column < 1 ? QString() : m_model->textAt(row, column);
}

int QelListView::sourceRow(int row) const
{
    return m_model->sourceRow(row);
}

int QelListView::rowOfKey(const QString& key) const
{
    const ListModel::State& state = m_model->state();
    if (!state.index || key.isEmpty())
        return -1;
    int first = -1;
    state.index->forEachRow(*state.rows, key, [&](int source) {
        const int shown = state.displayRows[size_t(source)];
        if (shown >= 0 && (first < 0 || shown < first))
            first = shown;
        return true;
    });
    return first;
}

void QelListView::applyNotes(const QHash<QString, Note>& noteOfKey)
{
    if (m_working) // the layout under way starts from the notes before these
        m_lateNotes.insert(noteOfKey);
    const ListModel::State& state = m_model->state();
    if (!state.index)
        return;
    int first = count(), last = -1;
    for (auto it = noteOfKey.constBegin(); it != noteOfKey.constEnd(); ++it) {
        state.index->forEachRow(*state.rows, it.key(), [&](int source) {
            const int shown = state.displayRows[size_t(source)];
            if (m_model->setNote(source, it.value()) && shown >= 0) {
                first = std::min(first, shown);
                last = std::max(last, shown);
            }
            return true;
        });
    }
    m_model->rowsChanged(first, last);
}

void QelListView::applyNotes(const ListRows* rows,
                             const std::vector<std::pair<int, Note>>& noteOfRow)
{
    // Notes of rows that are no longer shown are not kept: the rows that replaced them are
    // looked at anew once they show.
    const ListModel::State& state = m_model->state();
    if (!rows || rows != state.rows.get())
        return;
    int first = count(), last = -1;
    for (const auto& [row, note] : noteOfRow) {
        const int shown = state.displayRows[size_t(row)];
        if (m_model->setNote(row, note) && shown >= 0) {
            first = std::min(first, shown);
            last = std::max(last, shown);
        }
    }
    m_model->rowsChanged(first, last);
}

Note QelListView::noteOf(int row) const
{
    const int source = sourceRow(row);
    return source < 0 ? Note::None : m_model->state().notes[size_t(source)];
}

void QelListView::refreshIcons()
{
    m_model->iconsChanged();
}

QAbstractItemView* QelListView::currentView() const
{
    return m_mode == ViewMode::Icon ? static_cast<QAbstractItemView*>(m_icons)
                                    : static_cast<QAbstractItemView*>(m_report);
}

QString QelListView::topKey() const
{
    const QModelIndex top = currentView()->indexAt(QPoint(1, 1));
    const int source = top.isValid() ? sourceRow(top.row()) : -1;
    return source < 0 ? QString() : m_model->rows().key(source);
}

void QelListView::scrollToTop(const QString& key)
{
    if (key.isEmpty())
        return;
    QAbstractItemView* view = currentView();
    const int row = rowOfKey(key);
    if (row < 0 || view->indexAt(QPoint(1, 1)).row() == row)
        return;
    view->scrollTo(view->model()->index(row, 0), QAbstractItemView::PositionAtTop);
}

void QelListView::setViewMode(ViewMode mode)
{
    if (m_mode == mode)
        return;
    const bool hadFocus = m_report->hasFocus() || m_icons->hasFocus();
    m_mode = mode;
    m_model->largeIcons = mode == ViewMode::Icon;
    m_model->iconsChanged();
    QAbstractItemView* view = mode == ViewMode::Icon ? static_cast<QAbstractItemView*>(m_icons)
                                                     : static_cast<QAbstractItemView*>(m_report);
    m_stack->setCurrentWidget(view);
    setFocusProxy(view);
    if (hadFocus)
        view->setFocus();
}

void QelListView::setLabelWrap(bool wrap)
{
    m_labelWrap = wrap;
    m_icons->setWordWrap(wrap);
    m_icons->setTextElideMode(Qt::ElideRight);
}

void QelListView::setSorted(bool sorted)
{
    if (m_sorted == sorted)
        return;
    m_sorted = sorted;
    relayout();
}

void QelListView::setSortKey(int column)
{
    if (m_sortKey == column)
        return;
    m_sortKey = column;
    relayout();
}

void QelListView::setSortOrder(Qt::SortOrder order)
{
    if (m_order == order)
        return;
    m_order = order;
    relayout();
}

void QelListView::updateSortIndicator()
{
    QHeaderView* header = m_report->header();
    const int section = m_model->sectionOfColumn(m_sortKey);
    header->setSortIndicatorShown(m_sorted && section >= 0);
    if (m_sorted && section >= 0)
        header->setSortIndicator(section, m_order);
}

int QelListView::selectedRow() const
{
    const QModelIndexList rows = m_report->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void QelListView::setSelectedRow(int row)
{
    QItemSelectionModel* sel = m_report->selectionModel();
    if (row < 0 || row >= count()) {
        sel->clearSelection();
        return;
    }
    const QModelIndex i = m_model->index(row, 0);
    sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString QelListView::selectedKey() const
{
    const int source = selectedSourceRow();
    return source < 0 ? QString() : m_model->rows().key(source);
}

int QelListView::selectedSourceRow() const
{
    return sourceRow(selectedRow());
}

void QelListView::setSelectedKey(const QString& key)
{
    if (!isSettled()) {
        // The key is meant for the rows being laid out: it is chosen among them once they show.
        const bool queued = m_selectWhenShown.has_value();
        m_selectWhenShown = key;
        if (!queued)
            whenShown([this] { setSelectedKey(*std::exchange(m_selectWhenShown, std::nullopt)); });
        return;
    }
    setSelectedRow(key.isEmpty() ? -1 : rowOfKey(key));
}

void QelListView::setBusy(bool busy)
{
    m_busy += busy ? 1 : -1;
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_report), static_cast<QAbstractItemView*>(m_icons)}) {
        if (m_busy > 0)
            view->viewport()->setCursor(Qt::BusyCursor);
        else
            view->viewport()->unsetCursor();
    }
}

void QelListView::setFilter(const QString& text, const QList<int>& alsoColumns)
{
    const ListFilter filter{text, text.isEmpty() ? QList<int>() : alsoColumns};
    if (filter == m_filter)
        return;
    m_filter = filter;
    relayout();
}
