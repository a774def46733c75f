#include "lists/DataFileKind.h"

namespace {
constexpr DataFileKind kKinds[] = {
    {"Fuel Profile", ".fpl", "fpl", 0, "Prv", "PRV"},
    {"Planar Intercept Inventory", ".pli", "pli", 2, "Lgt", "LGT"},
    {"Photo Series Inventory", ".phs", "phs", 1, "Lgt", "LGT"},
    {"Crown Mass Inventory", ".crn", "crn", 3, "Crn", "Crn"},
};
} // namespace

std::span<const DataFileKind> dataFileKinds()
{
    return kKinds;
}

const DataFileKind* kindOfCode(const QString& kindCode)
{
    for (const DataFileKind& k : kKinds) {
        if (kindCode.compare(QLatin1String(k.scanCode), Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

int KindFromExtension(const QString& path)
{
    if (path.size() < 4)
        return 99;
    const QString tail = path.right(4);
    for (const DataFileKind& k : kKinds) {
        if (tail.compare(QLatin1String(k.extension), Qt::CaseInsensitive) == 0)
            return k.kindIndex;
    }
    return 99;
}
