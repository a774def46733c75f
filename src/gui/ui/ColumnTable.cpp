#include "ui/ColumnTable.h"

namespace {

constexpr ColumnDef kNewColumns[] = {{"Name", 5000}, {"File Type", 0}};
constexpr ColumnDef kOpenColumns[] = {{"Recently Used Files", 1500},
                                      {"Last Modified", 2000},
                                      {"Type", 3000},
                                      {"Directory", 4000},
                                      {"Type", 0}};
constexpr ColumnDef kToolsColumns[] = {
    {"Name", 5000}, {"Path", 5000}, {"EXE", 5000}, {"Command", 0}};
constexpr ColumnDef kWebColumns[] = {{"Name", 5000}, {"Url", 5000}};

} // namespace

bool showsHeaders(Tab tab)
{
    return tab == Tab::Open || tab == Tab::Web;
}

std::span<const ColumnDef> columnsOfList(Tab tab)
{
    switch (tab) {
    case Tab::New:
        return kNewColumns;
    case Tab::Open:
        return kOpenColumns;
    case Tab::Tools:
        return kToolsColumns;
    case Tab::Web:
        break;
    }
    return kWebColumns;
}
