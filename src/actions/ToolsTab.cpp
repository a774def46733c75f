#include "actions/ToolsTab.h"

ToolsTab::ToolsTab(const HubContext& hub, QelListView& list, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_launching(launching)
{}
