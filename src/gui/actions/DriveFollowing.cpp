#include "actions/DriveFollowing.h"

#include "lists/OpenRows.h"
#include "ui/HubContext.h"
#include "work/Work.h"

DriveFollowing::DriveFollowing(const HubContext& hub, Offering offer)
    : m_hub(hub)
    , m_offer(std::move(offer))
{}

void DriveFollowing::look(std::shared_ptr<const OpenRows> rows)
{
    const QString folder = m_hub.services().stateFolder;
    if (folder.isEmpty() || !rows)
        return;
    work::post(
        work::Line::list(), &m_alive,
        [rows, folder, drives = &m_hub.drives()] {
            return drivefollow::remember(folder, *drives, *rows, QDate::currentDate());
        },
        [this](const QList<drivefollow::Offer>& offers) {
            for (const drivefollow::Offer& offer : m_asked.fresh(offers))
                m_offer(offer);
        });
}
