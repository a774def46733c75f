#include "tabs/open/OpenList.h"

#include "actions/Telling.h"
#include "commands/OpenReplies.h"
#include "platform/DriveTable.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

OpenList::OpenList(const HubContext& hub, QelListView& list, const ImageList& large,
                   const ImageList& small, DriveFollowing::Offering follow)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_store(hub.appFolder())
    , m_rows(list)
    , m_pins(hub, list, QStringLiteral("pin-open"),
             [](const ListRows& rows, int row) { return rows.key(row); })
    , m_missing(hub.drives(), hub.files(),
                [this](const OpenRows* what, const auto& notes) { m_list.applyNotes(what, notes); })
    , m_following(hub, std::move(follow))
{
    // Names and folders readable at once: the columns fit what the list holds until the user
    // sizes one.
    m_list.setFitColumns(true);
}

void OpenList::LoadOpenList(Damage damage)
{
    // A stick plugged in or pulled out: its entries are looked at again (the list is not reread).
    // Watched from the first load on, when there are entries: setting up the desktop's volume
    // monitor then does not hold up the first window.
    if (!std::exchange(m_watching, true))
        m_hub.drives().watch(&m_alive, [this] {
            checkFiles();
            m_following.look(m_rows.shown<OpenRows>());
        });
    m_loads.post(
        work::Line::list(), &m_alive, [store = m_store] { return store.loaded(); },
        [this, damage](RecentFileList::Refreshed r) {
            // The refresh timer reads the list again only once it is another version than this.
            m_refresh.LastListFileTime = r.identity;
            const qsizetype damaged = r.listing.damagedLine;
            show(std::move(r.listing));
            if (damage == Damage::Report)
                tell(m_hub, openreply::damagedList(damaged).told);
            m_following.look(m_rows.shown<OpenRows>());
        });
}

void OpenList::showNewestFirst()
{
    const std::shared_ptr<const OpenRows> rows = m_rows.shown<OpenRows>();
    if (!rows)
        return;
    work::post(
        work::Line::compute(), &m_alive, [rows] { return rows->listing().newestFirst(); },
        [this, rows](OpenListing newest) {
            if (m_rows.shown<OpenRows>() != rows)
                return; // a load came meanwhile, and its order holds
            // Shown in the order given; a header click sorts again, a load goes back to names.
            m_list.setSorted(false);
            showRows(std::make_shared<const OpenRows>(std::move(newest)), {});
        });
}

void OpenList::show(OpenListing listing, const QString& select)
{
    // Every load puts the list back into report view, sorted by name; what is so already is not
    // set again, so that nothing is redrawn for it.
    prepareTabList(m_list, m_large, m_small, true);
    showRows(std::make_shared<const OpenRows>(std::move(listing)), select);
}

void OpenList::showRows(std::shared_ptr<const OpenRows> rows, const QString& select)
{
    // The files are looked at once the rows show, so that the looks do not hold up the showing;
    // the rows shown last are the ones looked at.
    m_pins.shown(rows);
    m_rows.show(
        rows, select, std::exchange(m_checkQueued, true) ? std::function<void()>() : [this] {
            m_checkQueued = false;
            checkFiles();
        });
}

void OpenList::checkFiles()
{
    if (const std::shared_ptr<const OpenRows> rows = m_rows.shown<OpenRows>())
        m_missing.mark(rows);
}

void OpenList::findMissing(std::function<void(QList<OpenEntry>)> found)
{
    // What is looked at now is shown too.
    m_missing.find(m_rows.shown<OpenRows>(), std::move(found));
}

void OpenList::tmrFileUpdate_Timer()
{
    const OpenRefresh::Tick tick = m_refresh.tick(m_loads.busy() || !m_list.isSettled());
    if (tick == OpenRefresh::Tick::Sync)
        SyncDataFolderEntries();
    if (tick != OpenRefresh::Tick::Read)
        return;
    work::post(
        work::Line::list(), &m_alive,
        [store = m_store, last = m_refresh.readPosted()] { return store.listingIfChanged(last); },
        [this](RecentFileList::Refreshed t) {
            if (m_refresh.readAnswered(t))
                show(std::move(t.listing));
        });
}

void OpenList::TouchFileEntry(const QString& path, const QString& kindCode)
{
    work::post(
        work::Line::list(), &m_alive,
        [store = m_store, path, kindCode]() mutable {
            return store.TouchFileEntry(path, kindCode, QDateTime::currentDateTime());
        },
        [this](const FileResult& r) {
            if (!r.ok)
                tell(m_hub, openreply::saveFailure(r).told);
        });
}

void OpenList::SyncDataFolderEntries()
{
    m_refresh.syncPosted();
    work::post(
        work::Line::list(), &m_alive, [store = m_store]() mutable { return store.syncAndList(); },
        [this](RecentFileList::Synced s) {
            switch (m_refresh.syncAnswered(s)) {
            case OpenRefresh::Synced::Failed:
                tell(m_hub, openreply::saveFailure(s.sync).told);
                break;
            case OpenRefresh::Synced::Reload:
                LoadOpenList();
                break;
            case OpenRefresh::Synced::Show:
                show(std::move(s.listing));
                break;
            default:
                break;
            }
        });
}
