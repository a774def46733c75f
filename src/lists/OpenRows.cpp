#include "lists/OpenRows.h"

#include "base/Columns.h"
#include "base/TextOrder.h"
#include "lists/DataFileKind.h"

#include <vector>

namespace {
// The texts of each kind, made once: every row of a kind shares them.
struct KindTexts {
    QString text, large, small;
};
const KindTexts& textsOf(const QString& kindCode)
{
    static const std::vector<KindTexts> kinds = [] {
        std::vector<KindTexts> k;
        for (const DataFileKind& kind : dataFileKinds())
            k.push_back({QString::fromLatin1(kind.kindText), QString::fromLatin1(kind.largeIcon),
                         QString::fromLatin1(kind.smallIcon)});
        return k;
    }();
    static const KindTexts none;
    const DataFileKind* kind = kindOfCode(kindCode);
    return kind ? kinds[size_t(kind - dataFileKinds().data())] : none;
}
} // namespace

quint32 OpenRows::keyHash(int row) const
{
    const OpenEntry& e = entry(row);
    return textHash(e.name, e.folderHash);
}

bool OpenRows::sameKey(int row, const ListRows& other, int otherRow) const
{
    const auto* open = dynamic_cast<const OpenRows*>(&other);
    if (!open)
        return ListRows::sameKey(row, other, otherRow);
    const OpenEntry& a = entry(row);
    const OpenEntry& b = open->entry(otherRow);
    if (a.folder.size() == b.folder.size())
        return a.name == b.name && a.folder == b.folder;
    return a.path() == b.path();
}

bool OpenRows::hasKey(int row, const QString& key) const
{
    const OpenEntry& e = entry(row);
    return key.size() == e.folder.size() + e.name.size() && key.startsWith(e.folder) &&
           QStringView(key).sliced(e.folder.size()) == e.name;
}

QString OpenRows::text(int row, int column) const
{
    const OpenEntry& e = entry(row);
    switch (column) {
    case 0:
        return e.name;
    case OpenColumn::Date:
        return e.dateText;
    case OpenColumn::KindText:
        return textsOf(e.kindCode).text;
    case OpenColumn::Folder:
        return e.folder;
    case OpenColumn::KindCode:
        return e.kindCode;
    default:
        return {};
    }
}

QString OpenRows::largeIcon(int row) const
{
    return textsOf(entry(row).kindCode).large;
}

QString OpenRows::smallIcon(int row) const
{
    return textsOf(entry(row).kindCode).small;
}
