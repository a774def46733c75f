#pragma once

#include "ui/ImageList.h"
#include "ui/TabController.h"

#include <array>

class HubContext;
class Launching;
class QelListView;

// The "Tools" tab: the shortcut folder, one entry per shortcut with its program's icon.
class ToolsTab : public TabController {
public:
    ToolsTab(const HubContext& hub, QelListView& list, Launching& launching);

    // The large (32 x 32) and small (16 x 16) icons of the shortcuts, by shortcut file name.
    std::array<ImageList, 2> imgShortCut;

private:
    const HubContext& m_hub;
    QelListView& m_list;
    Launching& m_launching;
};
