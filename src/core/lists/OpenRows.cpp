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
    return textHash(name(row), m_listing.folderHash(size_t(row)));
}

bool OpenRows::sameKey(int row, const ListRows& other, int otherRow) const
{
    const auto* open = dynamic_cast<const OpenRows*>(&other);
    if (!open)
        return ListRows::sameKey(row, other, otherRow);
    // A folder ends at the key's last separator, so equal keys have equal folders.
    return name(row) == open->name(otherRow) && folder(row) == open->folder(otherRow);
}

bool OpenRows::hasKey(int row, const QString& key) const
{
    const QString& f = folder(row);
    return key.size() == f.size() + name(row).size() && key.startsWith(f) &&
           QStringView(key).sliced(f.size()) == name(row);
}

QString OpenRows::text(int row, int column) const
{
    const size_t i = size_t(row);
    switch (column) {
    case 0:
        return m_listing.name(i);
    case OpenColumn::Date:
        return m_listing.date(i);
    case OpenColumn::KindText:
        return textsOf(m_listing.kindCode(i)).text;
    case OpenColumn::Folder:
        return m_listing.folder(i);
    case OpenColumn::KindCode:
        return m_listing.kindCode(i);
    default:
        return {};
    }
}

QString OpenRows::largeIcon(int row) const
{
    return textsOf(m_listing.kindCode(size_t(row))).large;
}

QString OpenRows::smallIcon(int row) const
{
    return textsOf(m_listing.kindCode(size_t(row))).small;
}
