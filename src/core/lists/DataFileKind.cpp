#include "lists/DataFileKind.h"

namespace {
constexpr DataFileKind kKinds[] = {
    {"Fuel Profile", ".fpl", "fpl", 0, "Prv", "PRV", "application/x-keldara-fuel-profile"},
    {"Planar Intercept Inventory", ".pli", "pli", 2, "Lgt", "LGT",
     "application/x-keldara-planar-intercept"},
    {"Photo Series Inventory", ".phs", "phs", 1, "Lgt", "LGT",
     "application/x-keldara-photo-series"},
    {"Crown Mass Inventory", ".crn", "crn", 3, "Crn", "Crn", "application/x-keldara-crown-mass"},
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

const DataFileKind* kindOfPath(const QString& path)
{
    if (path.size() < 4)
        return nullptr;
    const QString tail = path.right(4);
    for (const DataFileKind& k : kKinds) {
        if (tail.compare(QLatin1String(k.extension), Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

int KindFromExtension(const QString& path)
{
    const DataFileKind* kind = kindOfPath(path);
    return kind ? kind->kindIndex : 99;
}
