#include "tabs/new/NewTab.h"

#include "actions/Launching.h"
#include "base/Columns.h"
#include "formats/LaunchTable.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

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
{}

void NewTab::LoadNewList()
{
    m_list.setLargeImageList(&m_large);
    m_list.setSmallImageList(&m_small);
    m_list.setViewMode(QelListView::ViewMode::Report);
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
    m_list.setEntries(std::move(rows));
}

std::optional<NewEntry> NewTab::chosen() const
{
    const QString key = m_list.selectedKey();
    for (const NewEntry& e : kEntries) {
        if (!key.isEmpty() && key == QLatin1String(e.typeCode))
            return e;
    }
    return std::nullopt;
}

void NewTab::open()
{
    const auto entry = chosen();
    if (!entry)
        return;
    if (const auto command = commandForNew(m_hub.appFolder(), QString::fromLatin1(entry->typeCode)))
        m_launching.LaunchCommand(command->program, command->arguments);
}
