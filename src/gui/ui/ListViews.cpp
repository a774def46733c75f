#include "ui/ListViews.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <memory>

namespace {
// Every icon-view entry gets the same room: the icon and up to three lines of label, so that
// wrapped labels show and a long list still lays out without measuring each entry.
class IconCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(102, 88);
    }
};

// The list's first column only. A screen reader reads every column of a view's model as an
// item; its rows are the list's rows, in the same order.
class NameColumnModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return std::min(1, QIdentityProxyModel::columnCount(parent));
    }
    QModelIndex mapFromSource(const QModelIndex& source) const override
    {
        return source.isValid() ? createIndex(source.row(), 0, source.internalPointer())
                                : QModelIndex();
    }
};

// Makes `to` select what `from` selects: the same rows, the same current row.
void mirrorSelection(const QItemSelectionModel* from, QItemSelectionModel* to)
{
    const QAbstractItemModel* model = to->model();
    QItemSelection rows;
    for (const QModelIndex& r : from->selectedRows())
        rows.select(model->index(r.row(), 0), model->index(r.row(), model->columnCount() - 1));
    const QModelIndex current = from->currentIndex();
    to->setCurrentIndex(current.isValid() ? model->index(current.row(), 0) : QModelIndex(),
                        QItemSelectionModel::NoUpdate);
    to->select(rows, QItemSelectionModel::ClearAndSelect);
}
} // namespace

QTreeView* makeReportView(QAbstractItemModel* model)
{
    auto* report = new QTreeView;
    report->setModel(model);
    report->setRootIsDecorated(false);
    report->setItemsExpandable(false);
    report->setUniformRowHeights(true);
    report->setAllColumnsShowFocus(true);
    report->setSelectionMode(QAbstractItemView::SingleSelection);
    report->setSelectionBehavior(QAbstractItemView::SelectRows);
    report->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report->setIconSize(QSize(16, 16));
    report->header()->setSectionsClickable(true);
    report->header()->setSectionsMovable(false);
    report->header()->setStretchLastSection(false);
    report->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return report;
}

namespace {
// The icon view. While hidden it follows the report view's current entry and selection without
// laying out its items: with a screen reader running, QListView tells the reader where in the
// view each new current or selected item is, and finding that place lays out every item first
// (over a tenth of a second for a million, on every change of list).
class IconView : public QListView {
protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override
    {
        if (isVisible())
            QListView::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
    }
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override
    {
        if (isVisible())
            QListView::selectionChanged(selected, deselected);
        else
            QAbstractItemView::selectionChanged(selected, deselected);
    }
};
} // namespace

QListView* makeIconView(QAbstractItemModel* model)
{
    auto* icons = new IconView;
    auto* names = new NameColumnModel(icons);
    names->setSourceModel(model);
    icons->setModel(names);
    icons->setViewMode(QListView::IconMode);
    icons->setMovement(QListView::Static);
    icons->setResizeMode(QListView::Adjust);
    icons->setWrapping(true);
    icons->setUniformItemSizes(true);
    icons->setIconSize(QSize(32, 32));
    icons->setGridSize(QSize(110, 96));
    icons->setItemDelegate(new IconCellDelegate(icons));
    icons->setSpacing(4);
    icons->setSelectionMode(QAbstractItemView::SingleSelection);
    icons->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return icons;
}

void shareSelection(QTreeView* report, QListView* icons)
{
    QItemSelectionModel* reportSelection = report->selectionModel();
    QItemSelectionModel* iconSelection = icons->selectionModel();
    // Mirroring one way changes the other, which must not mirror back.
    auto mirroring = std::make_shared<bool>(false);
    const auto mirror = [mirroring](const QItemSelectionModel* from, QItemSelectionModel* to) {
        if (*mirroring)
            return;
        *mirroring = true;
        mirrorSelection(from, to);
        *mirroring = false;
    };
    for (auto [from, to] :
         {std::pair{reportSelection, iconSelection}, std::pair{iconSelection, reportSelection}}) {
        QObject::connect(from, &QItemSelectionModel::selectionChanged, to,
                         [=] { mirror(from, to); });
        QObject::connect(from, &QItemSelectionModel::currentChanged, to, [=] { mirror(from, to); });
    }
}
