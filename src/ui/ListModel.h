#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVarLengthArray>

#include <vector>

class ImageList;

// One entry of a list: its text (column 0 and the icon label), sub-items 1, 2, ... for the
// columns of the same number, and its icons by image key.
struct ListEntry {
    QString text;
    // subItems[0] is sub-item 1; kept inline, as no list has more than four.
    QVarLengthArray<QString, 4> subItems;
    QString largeIcon;
    QString smallIcon;
    // An entry whose file or program has gone: greyed, with a tooltip that says so.
    QString missingNote;
};

// Text order without regard to letter case.
int compareIgnoringCase(const QString& a, const QString& b);

// The entries of one list as a table; the view decides which image list the icons come from.
class ListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endResetModel;
    using QAbstractTableModel::QAbstractTableModel;

    std::vector<ListEntry> entries;
    QStringList captions;
    // The columns the views show, by column number. A zero-width column holds a sub-item that
    // no view shows, so it is not a column of the model at all: a screen reader never reads it.
    QList<int> shown;
    const ImageList* large = nullptr;
    const ImageList* small = nullptr;
    bool largeIcons = false; // icon view shows the large pictures, report view the small ones

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // Stable sort on the texts of `column` without regard to letter case; the selection and the
    // current entry stay on the same entries.
    void sort(int column, Qt::SortOrder order) override;

    void rowChanged(int row);
    // The column number shown in the views' column `section`, and back (-1 when not shown).
    int columnOfSection(int section) const { return shown.value(section, -1); }
    int sectionOfColumn(int column) const { return int(shown.indexOf(column)); }
    void iconsChanged();
    const QString& keyText(size_t row, int column) const;
};
