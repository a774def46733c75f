#include "ui/ListModel.h"

#include "ui/ImageList.h"

#include <QGuiApplication>
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
    if (role == Qt::ToolTipRole && !e.missingNote.isEmpty())
        return e.missingNote;
    if (role == Qt::ForegroundRole && !e.missingNote.isEmpty())
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

void ListModel::sort(int column, Qt::SortOrder order)
{
    if (entries.size() < 2)
        return;
    // Sort small contiguous keys (the first characters, folded) and look at the whole texts only
    // when those are equal: a large list then sorts without chasing every string in memory.
    constexpr int kPrefix = 16;
    struct SortKey {
        std::array<char16_t, kPrefix> prefix{};
        int index;
    };
    std::vector<SortKey> keys(entries.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        keys[i].index = int(i);
        const QString& t = keyText(i, column);
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
            c = compareIgnoringCase(keyText(size_t(a.index), column),
                                    keyText(size_t(b.index), column));
        return ascending ? c < 0 : c > 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(entries.size());
    for (size_t i = 0; i < keys.size(); ++i)
        newRowOf[size_t(keys[i].index)] = int(i);
    // Put the entries in their places by following the permutation's cycles: no second copy.
    std::vector<int> place = newRowOf;
    for (size_t i = 0; i < place.size(); ++i) {
        while (place[i] != int(i)) {
            const size_t j = size_t(place[i]);
            std::swap(entries[i], entries[j]);
            std::swap(place[i], place[j]);
        }
    }
    // Keep the selection and the current entry on the same entries after the move.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList mapped;
    mapped.reserve(persistent.size());
    for (const QModelIndex& p : persistent)
        mapped.append(index(newRowOf[size_t(p.row())], p.column()));
    changePersistentIndexList(persistent, mapped);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
