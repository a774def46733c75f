#include "ui/TabRows.h"

#include "ui/QelListView.h"
#include "work/Work.h"

void prepareTabList(QelListView& list, const ImageList& large, const ImageList& small,
                    bool sortedByName)
{
    list.setLargeImageList(&large);
    list.setSmallImageList(&small);
    list.setViewMode(QelListView::ViewMode::Report);
    if (sortedByName) {
        list.setSortKey(0);
        list.setSorted(true);
        list.setSortOrder(Qt::AscendingOrder);
    }
}

TabRows::TabRows(QelListView& list)
    : m_list(list)
{}

TabRows::~TabRows()
{
    work::dispose(std::move(m_handed));
    work::dispose(std::move(m_shown));
}

void TabRows::show(SharedRows rows, const QString& select, std::function<void()> then)
{
    work::dispose(std::exchange(m_handed, rows));
    m_list.setRows(std::move(rows));
    if (!select.isEmpty())
        m_list.setSelectedKey(select);
    if (then)
        m_then.push_back(std::move(then));
    if (!std::exchange(m_waiting, true))
        m_list.whenShown(&m_alive, [this] { tookOver(); });
}

void TabRows::tookOver()
{
    m_waiting = false;
    if (m_list.shows(m_handed.get()) && m_shown != m_handed)
        work::dispose(std::exchange(m_shown, m_handed));
    for (auto& then : std::exchange(m_then, {}))
        then();
}

int TabRows::chosenRow() const
{
    return m_list.selectedSourceRow(m_shown.get());
}
