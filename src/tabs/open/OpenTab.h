#pragma once

#include "actions/DriveWait.h"
#include "lists/MissingFiles.h"
#include "lists/RecentFileList.h"
#include "platform/Trash.h"
#include "tabs/open/OpenEntry.h"
#include "ui/ListModel.h"
#include "ui/TabController.h"

#include <QObject>
#include <QSet>

#include <memory>
#include <vector>

class HubContext;
class ImageList;
class Launching;
class QPushButton;
class QelListView;

// The "Open" tab: the recent-file list and its file, the refresh timer's check, Browse, and
// opening, renaming and deleting a recorded data file. All file work runs away from the window's
// thread: the list file on the list queue, looks at data files on the drive pool. The list shows
// each answer when it arrives.
class OpenTab : public TabController {
public:
    OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
            const ImageList& small, Launching& launching);
    ~OpenTab() override;

    RecentFileList& store() { return m_store; }
    // The entries the list shows, as last read from the list file.
    const std::vector<OpenEntry>& entries() const { return m_entries; }

    // Fills the list from the list file (scanning the data folder when the file is missing).
    void LoadOpenList();
    // Reloads when the list file changed since the last tick; a tick while a read of the list is
    // under way does nothing.
    void tmrFileUpdate_Timer();

    // The store's operations as the window runs them; each reports its own failure.
    void TouchFileEntry(const QString& path, const QString& kindCode);
    // Rebuilds the data folder's records and fills the list again. A list another program keeps
    // rewriting is tried again on later refresh ticks before a failure is shown.
    void SyncDataFolderEntries();
    // Removes every record of `fullPath` from the list (the data file stays).
    void DeleteFileEntry(const QString& fullPath);
    // Renames the data file of `entry` to `newName` and its record; the final name (with the
    // kind's extension) is handed back in `newName`.
    void RenameFileEntry(const OpenEntry& entry, QString& newName);

    // The Browse button, and the open-file dialog for data files: 0 with the chosen path in
    // `fileName`, or the dialog-cancelled code.
    void cmdBrowse_Click();
    int ShowOpenDataFileDialog(QString& fileName);
    // Starts the tool of a data file chosen with Browse (or dropped on the window).
    void openChosenFile(const QString& fileName);
    // A file name for the next Browse dialog's name box; emptied by every Browse.
    QString cmdBrowseTag;

    // Starts the chosen entry's tool, or offers to locate a file that has gone.
    void open() override;
    // Renames the chosen entry's data file, asking for the new name.
    void rename() override;
    // Deletes the chosen entry and moves its data file to the trash, after asking.
    void remove() override;
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

    // How the greying of entries whose file has gone finds out that a file is there (the tests
    // give one that hangs, as an unreachable network folder would); none turns the greying off.
    void setExistenceCheck(MissingFiles::Exists exists);
    bool missingCheckBusy() const { return m_missing && m_missing->busy(); }

    // The Browse button under the list.
    QPushButton* cmdBrowse = nullptr;

private:
    struct Loaded {
        bool read = false; // false: a refresh tick found nothing to read
        FileResult result; // a failed read: the entries read so far are shown
        std::vector<OpenEntry> entries;
        std::vector<ListEntry> rows;
        FileIdentity identity; // the list file after a refresh tick's read
    };
    // A read of the list file as a job for the list queue.
    std::function<Loaded()> readJob(bool scanIfMissing) const;
    void show(Loaded loaded);
    void loadThen(std::function<void()> after);
    std::optional<OpenEntry> chosen() const;
    void openChecked(const OpenEntry& entry, bool exists);
    // Deletes the entry and sends its data file to the trash, or deletes the file for good.
    void deleteEntry(const OpenEntry& entry, bool forGood);
    void reportSaveFailure(const FileResult& failure) const;
    void reportGone(const OpenEntry& entry) const;

    // What Edit > Undo needs to take a Delete back: where the data file went in the trash (none
    // when there was no file), and the records that left the list, with their places.
    struct DeletedEntry {
        OpenEntry entry;
        std::optional<TrashedFile> trashed;
        QList<records::TakenRecord> records;
    };
    // ... and a Rename: the entry as it was, and the name it got.
    struct RenamedEntry {
        OpenEntry before;
        QString finalName;
        QString newPath() const { return before.folder + finalName; }
    };
    void offerUndo(const DeletedEntry& step, bool again = false);
    void offerUndo(const RenamedEntry& step, bool again = false);
    void undoDelete(const DeletedEntry& step);
    void undoRename(const RenamedEntry& step);
    // An undo's answer: the list as it now is, with the restored entry selected; or why nothing
    // changed.
    struct Undone;
    void finishUndo(Undone u, const QString& taken, const QString& gone,
                    const std::function<void()>& offerAgain);
    void checkForMissingFiles();

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    Launching& m_launching;
    RecentFileList m_store;
    std::vector<OpenEntry> m_entries;
    std::unique_ptr<MissingFiles> m_missing;
    QSet<QString> m_missingPaths; // entries last found missing, by path
    DriveWait m_waits;
    int m_reads = 0;                  // reads of the list file under way
    int m_syncTicksLeft = kSyncTicks; // while a sync waits for a busy list, see above
    bool m_syncPending = false;
    QObject m_alive; // answers from the queues are taken only while this lives
};
