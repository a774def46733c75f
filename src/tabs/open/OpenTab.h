#pragma once

#include "lists/MissingFiles.h"
#include "lists/RecentFileList.h"
#include "ui/TabController.h"

#include <memory>

class HubContext;
class ImageList;
class Launching;
class QelListView;

// The "Open" tab: the recent-file list and its file, the refresh timer's check, Browse, and
// opening a recorded data file with its companion tool.
class OpenTab : public TabController {
public:
    OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
            const ImageList& small, Launching& launching);

    RecentFileList& store() { return m_store; }

    // Fills the list from the list file (scanning the data folder when the file is missing).
    // A read failure is returned; the rows read so far stay.
    FileResult LoadOpenList();
    // Reloads when the list file changed since the last tick.
    void tmrFileUpdate_Timer();

    // The store's operations as the window runs them: those the user starts report their own
    // failures; the others return them to their caller.
    void TouchFileEntry(const QString& path, const QString& kindCode);
    FileResult SyncDataFolderEntries();
    FileResult ScanDataFolder();
    FileResult DeleteFileEntry(const QString& fullPath,
                               RecentFileList::DataFile dataFile = RecentFileList::DataFile::Keep,
                               RecentFileList::DeleteStep* failedAt = nullptr);
    // Renames the file of the selected entry; `newName` comes back as the final name.
    void RenameFileEntry(QString& newName);

    // The Browse button, and the open-file dialog for data files: 0 with the chosen path in
    // `fileName`, or the dialog-cancelled code.
    void cmdBrowse_Click();
    int ShowOpenDataFileDialog(QString& fileName);
    // Starts the tool of a data file chosen with Browse (or dropped on the window).
    void openChosenFile(const QString& fileName);
    // A file name for the next Browse dialog's name box; emptied by every Browse.
    QString cmdBrowseTag;

    // Starts the selected entry's tool, or offers to locate a file that has gone.
    void open() override;
    // Renames the selected entry's data file, asking for the new name.
    void rename() override;
    // Deletes the selected entry and moves its data file to the trash, after asking.
    void remove() override;
    void reload() override { LoadOpenList(); }
    // The selected entry's folder shown in the file manager, and its full path to the clipboard.
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

private:
    void reportSaveFailure(const FileResult& failure) const;
    void checkForMissingFiles();

    const HubContext& m_hub;
    QelListView& m_list;
    const ImageList& m_large;
    const ImageList& m_small;
    Launching& m_launching;
    RecentFileList m_store;
    std::unique_ptr<MissingFiles> m_missing;
    int m_syncTicksLeft = kSyncTicks; // while a sync waits for a busy list, see above
    bool m_syncPending = false;
};
