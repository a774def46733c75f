#pragma once

#include "actions/DriveFollowing.h"
#include "commands/MissingEntries.h"
#include "commands/OpenRefresh.h"
#include "lists/OpenRows.h"
#include "lists/RecentFileList.h"
#include "ui/TabPins.h"
#include "ui/TabRows.h"
#include "work/OneAtATime.h"

#include <QObject>

#include <functional>
#include <optional>

class HubContext;
class ImageList;
class QelListView;

// The "Open" list and its file: loaded, refreshed by the timer's check and rebuilt by the
// start-up sync on the list line, shown as rows made there, and its entries greyed as their
// files are looked at, drive by drive, once the rows show.
class OpenList {
public:
    // The rows the list shows now.
    SharedRows shownRows() const { return m_rows.shown<ListRows>(); }
    // The entries pinned to the top, by their paths.
    TabPins& pins() { return m_pins; }
    // `follow` is offered each known drive mounted at another place than its records name,
    // looked for at each load and whenever a drive comes or goes.
    OpenList(const HubContext& hub, QelListView& list, const ImageList& large,
             const ImageList& small, DriveFollowing::Offering follow);

    const RecentFileList& store() const { return m_store; }
    RecentFileList& store() { return m_store; }

    // Whether a load tells the user of a line too long to be a record, which it does not show:
    // the start-up load and F5 do, once each; the timer and the reloads of commands do not.
    enum class Damage { Quiet, Report };
    // Fills the list from the list file (scanning the data folder when the file is missing).
    void LoadOpenList(Damage damage = Damage::Quiet);
    // Reloads when the list file changed since the last tick; a tick while a read of the list is
    // under way does nothing.
    void tmrFileUpdate_Timer();
    // Adds the entry, or brings it up to date; reports its own failure.
    void TouchFileEntry(const QString& path, const QString& kindCode);
    // Rebuilds the data folder's records and shows the list as rebuilt. A list another program
    // keeps rewriting is tried again on later refresh ticks before a failure is shown.
    void SyncDataFolderEntries();

    // Shows a listing (of a load, or as a command left the file), selecting `select` once shown.
    void show(OpenListing listing, const QString& select = {});
    // View > "Newest First": the entries shown, ordered by the moment their dates name, newest
    // first, until the next load or header click. The order is made on the compute line.
    void showNewestFirst();
    // The entry the user chose: the one of the rows on screen at the selected row.
    std::optional<OpenEntry> chosen() const { return m_rows.chosen<OpenRows>(&OpenRows::entry); }
    bool missingCheckBusy() const { return m_missing.busy(); }
    // The entries Clean Up Missing takes, handed over here (see MissingEntries::find).
    void findMissing(std::function<void(QList<OpenEntry>)> found);

private:
    // Looks at every entry's file again, drive by drive.
    void checkFiles();
    // Hands the rows to the list; their files are looked at once they show.
    void showRows(std::shared_ptr<const OpenRows> rows, const QString& select);

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    RecentFileList m_store;
    TabRows m_rows;
    TabPins m_pins;
    MissingEntries m_missing;
    OpenRefresh m_refresh;
    work::OneAtATime m_loads; // the loads asked for, one on the list line at a time
    DriveFollowing m_following;
    bool m_checkQueued = false; // the files are looked at once the rows being laid out show
    bool m_watching = false;    // the drives are watched from the first load on
    QObject m_alive;            // answers from the lines are taken only while this lives
};
