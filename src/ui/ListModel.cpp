#include "ui/ListModel.h"

#include "ui/ImageList.h"

#include <QGuiApplication>
#include <QHash>
#include <QPalette>

#include <algorithm>
#include <array>

// Plain ASCII, by far the common case in file names,
// is folded inline; anything else falls back to Unicode case folding for that character.
int compareIgnoringCase(const QString& a, const QString& b)
{
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i].unicode();
        char16_t cb = pb[i].unicode();
        if (ca == cb)
            continue;
        if (ca < 128 && cb < 128) {
            if (ca >= 'A' && ca <= 'Z')
                ca += 32;
            if (cb >= 'A' && cb <= 'Z')
                cb += 32;
        } else {
            ca = pa[i].toCaseFolded().unicode();
            cb = pb[i].toCaseFolded().unicode();
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

const QString& ListEntry::subItem(int column) const
{
    static const QString empty;
    return column >= 1 && column <= subItems.size() ? subItems[column - 1] : empty;
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(entries.size());
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(shown.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(entries.size()))
        return {};
    const ListEntry& e = entries[size_t(index.row())];
    const int column = columnOfSection(index.column());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return column < 0 ? QVariant() : QVariant(keyText(size_t(index.row()), column));
    if (role == Qt::AccessibleDescriptionRole) {
        if (e.note.isEmpty())
            return e.description;
        return e.description.isEmpty() ? e.note : e.description + QStringLiteral(", ") + e.note;
    }
    // An elided last column tells itself whole; the other cells tell the entry's note.
    if (role == Qt::ToolTipRole && lastColumnTips && index.column() == columnCount() - 1)
        return keyText(size_t(index.row()), column);
    if (role == Qt::ToolTipRole && !e.note.isEmpty())
        return e.toolTip.isEmpty() ? e.note : e.toolTip;
    if (role == Qt::ForegroundRole && !e.note.isEmpty())
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    const ImageList* icons = largeIcons ? large : small;
    if (role == Qt::DecorationRole && index.column() == 0 && icons) {
        const QString& key = largeIcons ? e.largeIcon : e.smallIcon;
        if (!key.isEmpty() && icons->contains(key))
            return icons->icon(key);
    }
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation o, int role) const
{
    const int column = columnOfSection(section);
    if (o == Qt::Horizontal && role == Qt::DisplayRole && column >= 0)
        return captions.value(column);
    return {};
}

void ListModel::rowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListModel::iconsChanged()
{
    if (!entries.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

const QString& ListModel::keyText(size_t row, int column) const
{
    static const QString empty;
    const ListEntry& e = entries[row];
    if (column == 0)
        return e.text;
    return column - 1 < e.subItems.size() ? e.subItems[column - 1] : empty;
}

std::vector<int> sortedOrder(const std::vector<ListEntry>& entries, int column, Qt::SortOrder order)
{
    constexpr int kPrefix = 16;
    struct SortKey {
        std::array<char16_t, kPrefix> prefix{};
        int index;
    };
    const auto textOf = [&](int i) -> const QString& {
        return column == 0 ? entries[size_t(i)].text : entries[size_t(i)].subItem(column);
    };
    std::vector<SortKey> keys(entries.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        keys[i].index = int(i);
        const QString& t = textOf(int(i));
        const qsizetype n = std::min<qsizetype>(t.size(), kPrefix);
        for (qsizetype c = 0; c < n; ++c) {
            char16_t u = t[c].unicode();
            if (u >= 'A' && u <= 'Z')
                u += 32;
            else if (u >= 128)
                u = t[c].toCaseFolded().unicode();
            keys[i].prefix[size_t(c)] = u;
        }
    }
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        int c = 0;
        if (a.prefix != b.prefix)
            c = a.prefix < b.prefix ? -1 : 1;
        else
            c = compareIgnoringCase(textOf(a.index), textOf(b.index));
        return ascending ? c < 0 : c > 0;
    });
    std::vector<int> positions(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        positions[i] = keys[i].index;
    return positions;
}

void ListModel::sort(int column, Qt::SortOrder order)
{
    if (entries.size() < 2)
        return;
    const std::vector<int> positions = sortedOrder(entries, column, order);
    if (std::is_sorted(positions.begin(), positions.end()))
        return;
    std::vector<ListEntry> sorted;
    sorted.reserve(entries.size());
    for (int i : positions)
        sorted.push_back(std::move(entries[size_t(i)]));
    moveTo(std::move(sorted), positions);
}

void ListModel::moveTo(std::vector<ListEntry> fresh, const std::vector<int>& oldRowOfNew)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOfOld(entries.size(), -1);
    for (size_t j = 0; j < oldRowOfNew.size(); ++j) {
        if (oldRowOfNew[j] >= 0)
            newRowOfOld[size_t(oldRowOfNew[j])] = int(j);
    }
    entries = std::move(fresh);
    // Selection and current entry stay on the same entries; those of rows that went are cleared.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList mapped;
    mapped.reserve(persistent.size());
    for (const QModelIndex& p : persistent) {
        const int row = p.row() < int(newRowOfOld.size()) ? newRowOfOld[size_t(p.row())] : -1;
        mapped.append(row < 0 ? QModelIndex() : index(row, p.column()));
    }
    changePersistentIndexList(persistent, mapped);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::replaceEntries(std::vector<ListEntry> fresh)
{
    if (entries.empty() || fresh.empty()) {
        beginResetModel();
        entries = std::move(fresh);
        endResetModel();
        return;
    }
    // Each new entry is the old one of the same key; of several rows with one key, the first is
    // the first, the second the second.
    struct Rows {
        QVarLengthArray<int, 1> rows;
        qsizetype used = 0;
    };
    QHash<QString, Rows> oldRows;
    oldRows.reserve(qsizetype(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i)
        oldRows[entries[i].key].rows.append(int(i));
    std::vector<int> fromOld(fresh.size(), -1);
    std::vector<char> kept(entries.size(), 0);
    bool inOrder = true;
    int last = -1;
    for (size_t j = 0; j < fresh.size(); ++j) {
        const auto found = oldRows.find(fresh[j].key);
        if (found == oldRows.end() || found->used == found->rows.size())
            continue;
        const int row = found->rows[found->used++];
        fromOld[j] = row;
        kept[size_t(row)] = 1;
        inOrder = inOrder && row > last;
        last = row;
    }
    // Rows that went and rows that came, counted in runs: many runs are cheaper as one change of
    // the whole layout than as as many separate ones.
    int runs = 0;
    for (size_t i = 0; i < kept.size(); ++i)
        runs += !kept[i] && (i == 0 || kept[i - 1]);
    for (size_t j = 0; j < fromOld.size(); ++j)
        runs += fromOld[j] < 0 && (j == 0 || fromOld[j - 1] >= 0);
    if (!inOrder || runs > 64) {
        moveTo(std::move(fresh), fromOld);
        return;
    }
    for (int i = int(entries.size()) - 1; i >= 0;) {
        if (kept[size_t(i)]) {
            --i;
            continue;
        }
        const int end = i;
        while (i >= 0 && !kept[size_t(i)])
            --i;
        beginRemoveRows({}, i + 1, end);
        entries.erase(entries.begin() + (i + 1), entries.begin() + (end + 1));
        endRemoveRows();
    }
    int row = 0;
    for (size_t j = 0; j < fresh.size();) {
        if (fromOld[j] >= 0) {
            if (!(entries[size_t(row)] == fresh[j])) {
                entries[size_t(row)] = std::move(fresh[j]);
                rowChanged(row);
            }
            ++row;
            ++j;
            continue;
        }
        size_t k = j;
        while (k < fresh.size() && fromOld[k] < 0)
            ++k;
        beginInsertRows({}, row, row + int(k - j) - 1);
        entries.insert(entries.begin() + row, std::make_move_iterator(fresh.begin() + qsizetype(j)),
                       std::make_move_iterator(fresh.begin() + qsizetype(k)));
        endInsertRows();
        row += int(k - j);
        j = k;
    }
}
