#include "ui/QelListView.h"

#include "ui/ImageList.h"
#include "ui/ListColumnFitter.h"
#include "ui/ListLayoutScheduler.h"
#include "ui/ListModel.h"
#include "ui/ListViewInput.h"
#include "ui/ListViews.h"

#include <QHeaderView>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

#include <algorithm>

QelListView::QelListView(int index, QWidget* parent)
    : QWidget(parent)
    , m_index(index)
    , m_model(new ListModel)
    , m_report(makeReportView(m_model))
    , m_icons(makeIconView(m_model))
    , m_stack(new QStackedLayout(this))
    , m_columns(std::make_unique<ListColumnFitter>(*m_model, *m_report))
{
    m_layout = std::make_unique<ListLayoutScheduler>(
        *m_model,
        ListLayoutScheduler::Hooks{[this](ListLayoutStep layout) { showLayout(std::move(layout)); },
                                   [this] { return m_columns->measured(); },
                                   [this](const QHash<QString, Note>& notes) { applyNotes(notes); },
                                   [this](const QString& key) { setSelectedKey(key); }});
    m_model->setParent(this);
    m_stack->setContentsMargins(0, 0, 0, 0);

    setLabelWrap(true); // long labels wrap under their icons unless a list turns it off
    shareSelection(m_report, m_icons);

    m_stack->addWidget(m_report);
    m_stack->addWidget(m_icons);
    m_stack->setCurrentWidget(m_report);
    setFocusProxy(m_report);

    m_input = std::make_unique<ListViewInput>(
        m_report, m_icons,
        ListViewInput::Hooks{
            [this] { return currentView(); }, [this] { return selectedRow(); },
            [this](int row) { setSelectedRow(row); }, [this] { emit dblClick(m_index); },
            [this](const QPoint& at, bool onEntry) { emit contextMenu(m_index, at, onEntry); },
            [this] { m_columns->fit(sort()); }});
    connect(m_report->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        emit columnClick(m_index, m_model->columnOfSection(section) + 1);
    });
}

QelListView::~QelListView() = default;

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

void QelListView::clear()
{
    setEntries({});
}

void QelListView::setEntries(std::vector<ListEntry> entries)
{
    setRows(std::make_shared<const EntryRows>(std::move(entries)));
}

void QelListView::showLayout(ListLayoutStep layout)
{
    const QString top = topKey();
    const QString selected = selectedKey();
    const bool whole = layout.whole();
    switch (layout.kind) {
    case ListLayoutStep::Kind::None:
        break;
    case ListLayoutStep::Kind::Change:
        m_model->change(std::move(layout.state), layout.plan);
        break;
    case ListLayoutStep::Kind::Reorder:
        m_model->reorder(std::move(layout.state.order), std::move(layout.state.displayRows));
        break;
    case ListLayoutStep::Kind::Refilter:
        m_model->refilter(std::move(layout.state.order), std::move(layout.state.displayRows));
        break;
    }
    // A view selects a neighbour of a row that goes; but commands act on the selected entry,
    // so when the chosen one has gone, or is hidden, nothing is selected.
    if (whole)
        setSelectedKey(selected);
    else if (!selected.isEmpty() && selectedKey() != selected)
        setSelectedRow(-1);
    updateSortIndicator();
    if (layout.kind == ListLayoutStep::Kind::Change)
        m_columns->fit(sort(), std::move(layout.longest));
    scrollToTop(top);
}

void QelListView::applyNotes(const QHash<QString, Note>& noteOfKey)
{
    m_layout->notesGiven(noteOfKey);
    m_model->applyNotes(noteOfKey);
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
    m_sorted = sorted;
    m_layout->setSort(sort());
}

void QelListView::setSortKey(int column)
{
    m_sortKey = column;
    m_layout->setSort(sort());
}

void QelListView::setSortOrder(Qt::SortOrder order)
{
    m_order = order;
    m_layout->setSort(sort());
}

void QelListView::setPinnedKeys(const QSet<QString>& keys)
{
    if (keys == (m_pinned ? *m_pinned : QSet<QString>()))
        return;
    m_pinned = keys.isEmpty() ? nullptr : std::make_shared<const QSet<QString>>(keys);
    m_model->pinned = m_pinned;
    m_model->iconsChanged();
    m_layout->setSort(sort());
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
    const int source = sourceRow(selectedRow());
    return source < 0 ? QString() : m_model->rows().key(source);
}

void QelListView::setSelectedKey(const QString& key)
{
    if (m_layout->selectWhenShown(key))
        return;
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
    m_layout->setFilter({text, text.isEmpty() ? QList<int>() : alsoColumns});
}

void QelListView::setHeadersVisible(bool visible)
{
    m_report->setHeaderHidden(!visible);
}

bool QelListView::headersVisible() const
{
    return !m_report->isHeaderHidden();
}
