#pragma once

#include "ui/TabController.h"

class HubContext;
class ImageList;
class Launching;
class QelListView;

// The "New" tab: one fixed entry per kind of data file; opening one starts its companion tool on
// a new file.
class NewTab : public TabController {
public:
    NewTab(const HubContext& hub, QelListView& list, const ImageList& large, const ImageList& small,
           Launching& launching);

    void LoadNewList();
    void open() override;

private:
    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    Launching& m_launching;
};
