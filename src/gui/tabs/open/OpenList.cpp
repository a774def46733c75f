#include "tabs/open/OpenList.h"

#include "platform/DriveTable.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <cerrno>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

OpenList::OpenList(const HubContext& hub, QelListView& list, const ImageList& large,
                   const ImageList& small)
    : m_hub(hub)
    , m_list(list)
    , m_large(large)
    , m_small(small)
    , m_store(hub.appFolder())
    , m_rows(list)
    , m_pins(hub, list, QStringLiteral("pin-open"),
             [](const ListRows& rows, int row) { return rows.key(row); })
    , m_missing(hub.drives(), [files = &hub.files()](
                                  const QString& path) { return dataFilePresence(*files, path); })
    , m_lookAgain(hub.drives(), [files = &hub.files()](const QString& path) {
        return dataFilePresence(*files, path);
    })
{
    // Names and folders readable at once: the columns fit what the list holds until the user
    // sizes one.
    m_list.setFitColumns(true);
    // A stick plugged in or pulled out: its entries are looked at again (the list is not reread).
    hub.drives().watch(&m_alive, [this] {
        checkFiles();
        lookAtDrives();
    });
}

void OpenList::reportSaveFailure(const FileResult& failure) const
{
    m_hub.fileFailure(QStringLiteral("Problem saving to QEL list"), failure);
}

void OpenList::LoadOpenList(Damage damage)
{
    m_loads.post(
        work::Line::list(), &m_alive,
        [store = m_store] {
            RecentFileList::Refreshed r;
            r.read = true;
            r.listing = store.listing(true, &r.identity);
            return r;
        },
        [this, damage](RecentFileList::Refreshed r) {
            // The refresh timer reads the list again only once it is another version than this.
            LastListFileTime = r.identity;
            const qsizetype damaged = r.listing.damagedLine;
            show(std::move(r.listing));
            if (damage == Damage::Report && damaged > 0)
                m_hub.fileFailure(QStringLiteral("Problem reading QEL list"),
                                  FileResult::failure(EINVAL, QStringLiteral("Line %1 is too long "
                                                                             "to be a record")
                                                                  .arg(damaged)));
            lookAtDrives();
        });
}

void OpenList::lookAtDrives()
{
    const QString folder = m_hub.services().stateFolder;
    const std::shared_ptr<const OpenRows> rows = m_rows.shown<OpenRows>();
    if (folder.isEmpty() || !rows)
        return;
    work::post(
        work::Line::list(), &m_alive,
        [rows, folder, drives = &m_hub.drives()] {
            HubState state(folder);
            const QList<DriveIdentity> mounted = drives->mountedDrives();
            // No drive mounted and none remembered: nothing to remember the entries by, and a
            // large list's paths are not made for nothing.
            if (mounted.isEmpty() && !QFileInfo::exists(state.path()))
                return QList<drivefollow::Offer>();
            const OpenListing& listing = rows->listing();
            QStringList paths;
            paths.reserve(rows->count());
            for (size_t i = 0; i < listing.size(); ++i) {
                const QString& folder = listing.folder(i);
                const QString& name = listing.name(i);
                QString path;
                path.reserve(folder.size() + name.size());
                paths.append(path.append(folder).append(name));
            }
            return drivefollow::remember(state, mounted, paths, QDate::currentDate());
        },
        [this](const QList<drivefollow::Offer>& offers) {
            if (!offers.isEmpty() && m_movedDrives)
                m_movedDrives(offers);
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
            const auto rows = std::make_shared<const OpenRows>(std::move(newest));
            m_pins.shown(rows);
            m_rows.show(
                rows, {}, std::exchange(m_checkQueued, true) ? std::function<void()>() : [this] {
                    m_checkQueued = false;
                    checkFiles();
                });
        });
}

void OpenList::show(OpenListing listing, const QString& select)
{
    // Every load puts the list back into report view, sorted by name; what is so already is not
    // set again, so that nothing is redrawn for it.
    prepareTabList(m_list, m_large, m_small, true);
    // The files are looked at once the rows show, so that the looks do not hold up the showing;
    // the rows shown last are the ones looked at.
    const auto rows = std::make_shared<const OpenRows>(std::move(listing));
    m_pins.shown(rows);
    m_rows.show(
        rows, select, std::exchange(m_checkQueued, true) ? std::function<void()>() : [this] {
            m_checkQueued = false;
            checkFiles();
        });
}

Note OpenList::noteOf(MissingFiles::State state)
{
    switch (state) {
    case MissingFiles::State::Missing:
        return Note::Missing;
    case MissingFiles::State::NotConnected:
        return Note::NotConnected;
    case MissingFiles::State::NotAnswering:
        return Note::NotAnswering;
    case MissingFiles::State::Present:
        break;
    }
    return Note::None;
}

void OpenList::checkFiles()
{
    std::shared_ptr<const OpenRows> rows = m_rows.shown<OpenRows>();
    if (!rows)
        return;
    m_missing.check(
        rows, [this](const MissingFiles::Checked& what, const MissingFiles::Answers& answers) {
            std::vector<std::pair<int, Note>> notes;
            notes.reserve(answers.size());
            for (const auto& [row, state] : answers) {
                notes.emplace_back(row, noteOf(state));
            }
            m_list.applyNotes(dynamic_cast<const OpenRows*>(what.get()), notes);
        });
}

void OpenList::findMissing(std::function<void(QList<OpenEntry>)> found)
{
    const std::shared_ptr<const OpenRows> rows = m_rows.shown<OpenRows>();
    if (!rows || rows->count() == 0) {
        found({});
        return;
    }
    struct Gathered {
        QList<OpenEntry> missing;
        int answered = 0;
        bool told = false;
    };
    auto gathered = std::make_shared<Gathered>();
    const int finding = ++m_findings;
    auto tell = [this, gathered, finding, found = std::move(found)] {
        if (finding == m_findings && !std::exchange(gathered->told, true))
            found(gathered->missing);
    };
    m_lookAgain.check(
        rows, [this, gathered, tell, total = rows->count()](const MissingFiles::Checked& what,
                                                            const MissingFiles::Answers& answers) {
            const auto* looked = static_cast<const OpenRows*>(what.get());
            std::vector<std::pair<int, Note>> notes;
            notes.reserve(answers.size());
            for (const auto& [row, state] : answers) {
                notes.emplace_back(row, noteOf(state));
                if (state != MissingFiles::State::Missing)
                    continue;
                OpenEntry entry = looked->entry(row);
                if (QDir::isAbsolutePath(entry.folder))
                    gathered->missing.append(std::move(entry));
            }
            // What was looked at now is shown too.
            m_list.applyNotes(looked, notes);
            gathered->answered += int(answers.size());
            if (gathered->answered >= total)
                tell();
        });
    QTimer::singleShot(kMissingWaitMs, &m_alive, tell);
}

void OpenList::tmrFileUpdate_Timer()
{
    // A read under way will show what the file holds; a list still being laid out is let be, so
    // that a large list is never held three times over.
    if (m_reads > 0 || m_loads.busy() || !m_list.isSettled())
        return;
    if (m_syncPending) {
        SyncDataFolderEntries();
        return;
    }
    ++m_reads;
    work::post(
        work::Line::list(), &m_alive,
        [store = m_store, last = LastListFileTime] { return store.listingIfChanged(last); },
        [this](RecentFileList::Refreshed t) {
            --m_reads;
            if (!t.read)
                return;
            LastListFileTime = t.identity;
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
                reportSaveFailure(r);
        });
}

void OpenList::SyncDataFolderEntries()
{
    ++m_reads;
    m_syncPending = false;
    work::post(
        work::Line::list(), &m_alive, [store = m_store]() mutable { return store.syncAndList(); },
        [this](RecentFileList::Synced s) {
            --m_reads;
            // A companion tool at work on the list is no fault: try again on a later refresh
            // tick, and tell the user only if it never lets up.
            m_syncPending = s.sync.busy && m_syncTicksLeft-- > 0;
            if (m_syncPending)
                return;
            if (!s.sync.ok) {
                // The list file is left as it was rather than rebuilt from less than it holds.
                reportSaveFailure(s.sync);
                return;
            }
            if (s.kept.exists) {
                // Left as it was: shown already, unless another program changed it since.
                if (!(s.kept == LastListFileTime))
                    LoadOpenList();
                return;
            }
            if (s.version.exists)
                LastListFileTime = s.version; // the timer need not read what is shown
            show(std::move(s.listing));
        });
}

std::optional<OpenEntry> OpenList::chosen() const
{
    const int row = m_rows.chosenRow();
    if (row < 0)
        return std::nullopt;
    return m_rows.shown<OpenRows>()->entry(row);
}
