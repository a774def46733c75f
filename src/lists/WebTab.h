#pragma once

#include "ui/TabController.h"

class HubContext;
class ImageList;
class QelListView;

// The "Web" tab: the web-link list.
class WebTab : public TabController {
public:
    WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
           const ImageList& small);

    // The selected link's address to the clipboard.
    void copyAddress();

private:
    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
};
