#include "tabs/new/NewTab.h"

#include "actions/Launching.h"
#include "actions/LaunchTable.h"
#include "base/Columns.h"
#include "ui/ColumnTable.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

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
    for (const NewListEntry& e : newListEntries()) {
        const int row = m_list.addEntry(QString::fromUtf8(e.text), QString::fromLatin1(e.largeIcon),
                                        QString::fromLatin1(e.smallIcon));
        m_list.setSubItem(row, NewColumn::TypeCode, QString::fromLatin1(e.typeCode));
    }
}

void NewTab::open()
{
    const int row = m_list.selectedRow();
    if (m_list.count() == 0 || row < 0)
        return;
    const auto command = commandForNew(m_hub.appFolder(), m_list.subItem(row, NewColumn::TypeCode));
    if (command)
        m_launching.LaunchCommand(command->program, command->arguments);
}
