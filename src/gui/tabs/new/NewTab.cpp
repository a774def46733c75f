#include "tabs/new/NewTab.h"

#include "actions/Launching.h"
#include "base/Columns.h"
#include "formats/LaunchTable.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <iterator>

namespace {
constexpr NewEntry kEntries[] = {
    {"New Fuel Profile", "Prv", "PRV", "FPL"},
    {"New Planar Intercept", "Lgt", "LGT", "PLI"},
    {"New Photo Series Inventory", "Lgt", "LGT", "PHS"},
    {"New Crown Mass Inventory", "Crn", "Crn", "CRN"},
};
} // namespace

NewTab::NewTab(const HubContext& hub, QelListView& list, const ImageList& large,
               const ImageList& small, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_launching(launching)
    , m_rows(list)
{}

void NewTab::LoadNewList()
{
    prepareTabList(m_list, m_large, m_small, false);
    m_list.setLabelWrap(true);
    std::vector<ListEntry> rows;
    for (const NewEntry& e : kEntries) {
        ListEntry row;
        row.key = QString::fromLatin1(e.typeCode);
        row.text = QString::fromUtf8(e.text);
        row.subItems.append(row.key); // NewColumn::TypeCode, hidden
        row.largeIcon = QString::fromLatin1(e.largeIcon);
        row.smallIcon = QString::fromLatin1(e.smallIcon);
        rows.push_back(std::move(row));
    }
    m_rows.show(std::make_shared<const EntryRows>(std::move(rows)));
}

std::optional<NewEntry> NewTab::chosen() const
{
    // The rows are the entries, in their order.
    const int row = m_rows.chosenRow();
    if (row < 0 || row >= int(std::size(kEntries)))
        return std::nullopt;
    return kEntries[row];
}

void NewTab::open()
{
    const auto entry = chosen();
    if (!entry)
        return;
    if (const auto command = commandForNew(m_hub.appFolder(), QString::fromLatin1(entry->typeCode)))
        m_launching.LaunchCommand(command->program, command->arguments);
}
