#include "ui/QelListView.h"

#include "ui/ImageList.h"
#include "ui/ListModel.h"
#include "ui/ListViews.h"

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
    m_large = images;
    m_model->large = images;
    setViewMode(m_mode);
}

void QelListView::setSmallImageList(const ImageList* images)
{
    m_small = images;
    m_model->small = images;
    setViewMode(m_mode);
}

void QelListView::clear()
{
    setEntries({});
}

void QelListView::setEntries(std::vector<ListEntry> entries)
{
    if (m_sorted && entries.size() > 1) {
        const bool inOrder = std::is_sorted(
            entries.begin(), entries.end(), [this](const ListEntry& a, const ListEntry& b) {
                const QString& ta = m_sortKey == 0 ? a.text : a.subItem(m_sortKey);
                const QString& tb = m_sortKey == 0 ? b.text : b.subItem(m_sortKey);
                const int c = compareIgnoringCase(ta, tb);
                return m_order == Qt::AscendingOrder ? c < 0 : c > 0;
            });
        if (!inOrder) {
            std::vector<ListEntry> sorted;
            sorted.reserve(entries.size());
            for (int i : sortedOrder(entries, m_sortKey, m_order))
                sorted.push_back(std::move(entries[size_t(i)]));
            entries.swap(sorted);
        }
    }
    const QString top = topKey();
    const QString selected = selectedKey();
    m_model->replaceEntries(std::move(entries));
    fitColumns();
    // A view in single selection selects a neighbour of a row that goes; but commands act on the
    // selected entry, so when the chosen one has gone nothing is selected.
    if (!selected.isEmpty() && selectedKey() != selected)
        setSelectedRow(-1);
    applyFilter();
    scrollToTop(top);
}

int QelListView::count() const
{
    return int(m_model->entries.size());
}

const ListEntry& QelListView::entry(int row) const
{
    return m_model->entries.at(size_t(row));
}

QString QelListView::text(int row) const
{
    return row >= 0 && row < count() ? entry(row).text : QString();
}

QString QelListView::subItem(int row, int column) const
{
    if (row < 0 || row >= count() || column < 1)
        return {};
    return entry(row).subItem(column);
}

int QelListView::rowOfKey(const QString& key) const
{
    const auto& entries = m_model->entries;
    for (size_t row = 0; row < entries.size(); ++row) {
        if (entries[row].key == key)
            return int(row);
    }
    return -1;
}

void QelListView::applyNotes(const QHash<QString, QString>& noteOfKey)
{
    if (noteOfKey.isEmpty())
        return;
    auto& entries = m_model->entries;
    for (size_t row = 0; row < entries.size(); ++row) {
        ListEntry& e = entries[row];
        const auto found = noteOfKey.constFind(e.key);
        if (found == noteOfKey.constEnd() || e.note == *found)
            continue;
        e.note = *found;
        m_model->rowChanged(int(row));
    }
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
    return top.isValid() && top.row() < count() ? entry(top.row()).key : QString();
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
    applySort();
}

void QelListView::setSortKey(int column)
{
    m_sortKey = column;
    applySort();
}

void QelListView::setSortOrder(Qt::SortOrder order)
{
    m_order = order;
    applySort();
}

void QelListView::applySort()
{
    updateSortIndicator();
    if (m_sorted)
        m_model->sort(m_sortKey, m_order);
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
    const int row = selectedRow();
    return row < 0 ? QString() : entry(row).key;
}

void QelListView::setSelectedKey(const QString& key)
{
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
    m_filter = text;
    m_filterColumns = alsoColumns;
    applyFilter();
}

bool QelListView::matchesFilter(int row) const
{
    if (m_filter.isEmpty())
        return true;
    const ListEntry& e = entry(row);
    if (e.text.contains(m_filter, Qt::CaseInsensitive))
        return true;
    for (int column : m_filterColumns) {
        if (subItem(row, column).contains(m_filter, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void QelListView::applyFilter()
{
    if (m_filter.isEmpty() && !m_anyHidden)
        return;
    const int selected = selectedRow();
    m_anyHidden = false;
    for (int row = 0; row < count(); ++row) {
        const bool hide = !matchesFilter(row);
        m_report->setRowHidden(row, {}, hide);
        m_icons->setRowHidden(row, hide);
        m_anyHidden = m_anyHidden || hide;
    }
    // Commands act on the selected entry: it must be one the user can see.
    if (selected >= 0 && !isRowShown(selected))
        setSelectedRow(-1);
}

bool QelListView::isRowShown(int row) const
{
    return row >= 0 && row < count() && !m_report->isRowHidden(row, {});
}
