#include "lists/WebTab.h"

#include "base/Columns.h"
#include "ui/QelListView.h"

#include <QClipboard>
#include <QGuiApplication>

WebTab::WebTab(const HubContext& hub, QelListView& list, const ImageList& large,
               const ImageList& small)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
{}

void WebTab::copyAddress()
{
    if (const int row = m_list.selectedRow(); row >= 0)
        QGuiApplication::clipboard()->setText(m_list.subItem(row, WebColumn::Url));
}
