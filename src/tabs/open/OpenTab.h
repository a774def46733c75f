#pragma once

#include "actions/DriveWait.h"
#include "actions/Undoing.h"
#include "commands/OpenEdits.h"
#include "lists/MissingFiles.h"
#include "lists/OpenRows.h"
#include "lists/ListRows.h"
#include "ui/TabController.h"

#include <QObject>

#include <memory>

class HubContext;
class ImageList;
class Launching;
class QPushButton;
class QelListView;

// The "Open" tab: the recent-file list, the refresh timer's check, Browse, and opening, renaming
// and deleting a recorded data file. It asks, posts the command of the core library and shows
// what came of it; the list file is read on the list line and data files on their drives' lines,
// so the list shows each answer when it arrives.
class OpenTab : public TabController {
public:
    OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
            const ImageList& small, Launching& launching);
    ~OpenTab() override;

    RecentFileList& store() { return m_seams.store; }

    // Fills the list from the list file (scanning the data folder when the file is missing).
    void LoadOpenList();
    // Reloads when the list file changed since the last tick; a tick while a read of the list is
    // under way does nothing.
    void tmrFileUpdate_Timer();
    // Adds the entry, or brings it up to date; reports its own failure.
    void TouchFileEntry(const QString& path, const QString& kindCode);
    // Rebuilds the data folder's records and shows the list as rebuilt. A list another program
    // keeps rewriting is tried again on later refresh ticks before a failure is shown.
    void SyncDataFolderEntries();

    // The Browse button: the open-file dialog for data files, and the chosen file's tool.
    void cmdBrowse_Click();
    // A file name for the next Browse dialog's name box; emptied by every Browse.
    QString cmdBrowseTag;

    // Starts the chosen entry's tool, or offers to locate a file that has gone.
    void open() override;
    // Renames the chosen entry's data file, asking for the new name.
    void rename() override;
    // Deletes the chosen entry and moves its data file to the trash, after asking.
    void remove() override;
    // Takes the chosen entry off the list after asking; its file stays where it is.
    void removeFromList();
    void reload() override { LoadOpenList(); }
    QWidget* belowList() override;
    QList<Command> entryCommands() override;
    QList<Command> spaceCommands() override;
    QList<int> filterColumns() const override;
    std::function<void()> dropAction(const QMimeData* data, bool shown) override;

    // The chosen entry shown selected in the file manager, and its full path to the clipboard.
    void openContainingFolder();
    void copyPath();

    // The list file as the refresh timer last saw it.
    FileIdentity LastListFileTime;
    // How many refresh ticks the start-up sync is tried again on while another program keeps
    // rewriting the list, before the failure is shown.
    static constexpr int kSyncTicks = 30;

    bool missingCheckBusy() const { return m_missing.busy(); }

    // The Browse button under the list.
    QPushButton* cmdBrowse = nullptr;

private:
    std::optional<OpenEntry> chosen() const;
    // Shows a listing made from the list file; a failed read keeps what the list shows.
    void show(OpenListing listing, const QString& select = {});
    // Looks at every entry's file again, drive by drive.
    void checkFiles();
    void openChecked(const OpenEntry& entry, const openedits::Result& checked);
    // Takes the entry's records off the list, for a file that has gone.
    void dropEntry(const OpenEntry& entry);
    void deleteEntry(const OpenEntry& entry, openedits::Removal removal);
    void reportSaveFailure(const FileResult& failure) const;
    void reportGone(const OpenEntry& entry) const;
    void reportNotConnected(const OpenEntry& entry, const QString& more = {}) const;
    // `verb`: the command the step takes back, "Delete" or "Remove".
    void offerUndo(const openedits::DeletedEntry& step, const QString& verb, bool again = false);
    void offerUndo(const openedits::RenamedEntry& step, bool again = false);
    // How an undo went: the list as it left it, or why it changed nothing.
    void finishUndo(openedits::Result r, const QString& path, const UndoTexts& texts,
                    const std::function<void()>& offerAgain);

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    Launching& m_launching;
    openedits::Seams m_seams;
    MissingFiles m_missing;
    DriveWait m_waits;
    int m_reads = 0;                  // reads of the list file under way
    int m_syncTicksLeft = kSyncTicks; // while a sync waits for a busy list, see above
    bool m_syncPending = false;
    QObject m_alive; // answers from the lines are taken only while this lives
};
