#pragma once

#include "lists/ListLayout.h"
#include "lists/ListRows.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <memory>
#include <vector>

class ImageList;

// The rows a list shows, as a table for its views: the tab's rows (never changed once made), the
// order they show in (sorted, filtered), and each row's note. It holds nothing per row besides
// the order, the notes and the index of the keys: the texts stay in the tab's rows.
class ListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    QStringList captions;
    // The columns the views show, by column number. A zero-width column holds a sub-item that
    // no view shows, so it is not a column of the model at all: a screen reader never reads it.
    QList<int> shown;
    const ImageList* large = nullptr;
    const ImageList* small = nullptr;
    bool largeIcons = false; // icon view shows the large pictures, report view the small ones
    // The last shown column's texts are their own tooltips: that column may be too narrow for
    // them.
    bool lastColumnTips = false;
    // The keys of the pinned entries (see QelListView::setPinnedKeys); none when nothing is.
    std::shared_ptr<const QSet<QString>> pinned;

    // What is shown now.
    struct State {
        SharedRows rows;
        std::vector<int> order;       // display row -> row of `rows`
        std::vector<int> displayRows; // row of `rows` -> display row, -1 when filtered out
        std::vector<Note> notes;      // by row of `rows`
        std::shared_ptr<const KeyIndex> index;
    };
    const State& state() const { return m_state; }
    const ListRows& rows() const;
    int sourceRow(int displayRow) const;
    QString textAt(int displayRow, int column) const;
    // The entry shown at `displayRow`, whole, as a screen reader reads it; and its note.
    ListEntry entryAt(int displayRow) const;
    Note noteAt(int displayRow) const;

    // Shows `next`: through `plan`'s runs of removed, inserted and changed rows, so that the views
    // keep selection and current entry on the same entries and redraw only what changed; or, for
    // a reset plan, all at once.
    void change(State next, const ListPlan& plan);
    // The same rows in another order: one layout change, selection and current entry kept.
    // `displayRows` is made of `order` (see displayRows), away from the window's thread.
    void reorder(std::vector<int> order, std::vector<int> displayRows);
    // The same rows, others of them shown (a new filter): a reset.
    void refilter(std::vector<int> order, std::vector<int> displayRows);
    // Notes the entry at `row` (of the rows); false when it already had that note.
    bool setNote(int row, Note note);
    // Gives the entries of each key their note (none for an entry that is well) and redraws the
    // shown rows that changed.
    void applyNotes(const QHash<QString, Note>& noteOfKey);
    // The same by row of `rows`, when they are the rows shown (otherwise nothing changes).
    void applyNotes(const ListRows* rows, const std::vector<std::pair<int, Note>>& noteOfRow);
    // The first display row of the entry with this key; -1 when none is shown.
    int rowOfKey(const QString& key) const;

    // A view asks for every row's index as it lays out a large list: answered without the
    // generic checks' calls back into the model.
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        return !parent.isValid() && row >= 0 && column >= 0 && size_t(row) < m_state.order.size() &&
                       column < shown.size()
                   ? createIndex(row, column)
                   : QModelIndex();
    }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    void rowsChanged(int first, int last);
    // The column number shown in the views' column `section`, and back (-1 when not shown).
    int columnOfSection(int section) const { return shown.value(section, -1); }
    int sectionOfColumn(int column) const { return int(shown.indexOf(column)); }
    void iconsChanged();

    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endResetModel;

private:
    QIcon iconOf(int row) const;

    State m_state;
    mutable QHash<QString, QIcon> m_awayIcons; // icons with the not-connected emblem, by key
    mutable QHash<qint64, QIcon> m_pinIcons;   // icons with the pin, by the icon they are of
};
