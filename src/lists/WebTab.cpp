#include "lists/WebTab.h"

WebTab::WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
               const ImageList& small)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
{}
