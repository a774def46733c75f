#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVarLengthArray>

#include <vector>

class ImageList;

// One row of a list as the views show it. The tab that made it holds the entry itself; `key` is
// the entry's identity, by which selection, notes and reloads find it again.
struct ListEntry {
    QString key;
    QString text; // column 0 and the icon label
    // subItems[0] is sub-item 1; kept inline, as no list has more than four.
    QVarLengthArray<QString, 4> subItems;
    QString largeIcon;
    QString smallIcon;
    // What a screen reader reads besides the text (the entry's full path), with the note.
    QString description;
    // "missing" or "broken": the entry is greyed and the note is told in its tooltip and
    // description; `toolTip` may say more.
    QString note;
    QString toolTip;
    // Where the tab keeps the entry among its own, for entries that share a key.
    int entryIndex = -1;

    const QString& subItem(int column) const;
    bool operator==(const ListEntry&) const = default;
};

// Text order without regard to letter case.
int compareIgnoringCase(const QString& a, const QString& b);

// The texts of `column` of `entries` in sorted order, stable, without regard to letter case: the
// positions, first to last. Sorts small contiguous keys (the first characters, folded) and looks
// at whole texts only when those are equal, so a large list sorts without chasing every string.
std::vector<int> sortedOrder(const std::vector<ListEntry>& entries, int column,
                             Qt::SortOrder order);

// The entries of one list as a table; the view decides which image list the icons come from.
class ListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::changePersistentIndexList;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;
    using QAbstractTableModel::persistentIndexList;
    using QAbstractTableModel::QAbstractTableModel;

    std::vector<ListEntry> entries;
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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // Stable sort on the texts of `column`; the selection and the current entry stay on the
    // same entries.
    void sort(int column, Qt::SortOrder order) override;
    // Puts `fresh` in the place of the entries: removes the rows that went, inserts the new
    // ones and updates the changed ones, so that the views keep selection and current entry on
    // the same entries and redraw only what changed. `fresh` must be in the order the rows are
    // to show.
    void replaceEntries(std::vector<ListEntry> fresh);

    void rowChanged(int row);
    // The column number shown in the views' column `section`, and back (-1 when not shown).
    int columnOfSection(int section) const { return shown.value(section, -1); }
    int sectionOfColumn(int column) const { return int(shown.indexOf(column)); }
    void iconsChanged();
    const QString& keyText(size_t row, int column) const;

private:
    void moveTo(std::vector<ListEntry> fresh, const std::vector<int>& oldRowOfNew);
};
