#pragma once

#include "actions/DriveWait.h"
#include "base/Columns.h"
#include "commands/OpenReplies.h"
#include "tabs/open/OpenList.h"
#include "ui/TabController.h"

#include <QObject>

class HubContext;
class ImageList;
class Launching;
class QelListView;

// The "Open" tab: its list (OpenList), Browse, and opening, renaming, deleting and taking off
// the list a recorded data file. It asks, posts the command of the core library on the line of
// the data file's drive, and shows the reply the command ends in (see commands/OpenReplies.h).
class OpenTab : public TabController {
public:
    OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
            const ImageList& small, Launching& launching);

    // The list and its file, and the operations it is filled and kept by.
    OpenList& openList() { return m_open; }

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
    // Takes off the list, after asking, every entry whose drive answers and whose file is gone;
    // no file is touched, and Edit > Undo puts every record back.
    void cleanUpMissing();
    void reload() override { m_open.LoadOpenList(OpenList::Damage::Report); }
    SharedRows shownRows() const override { return m_open.shownRows(); }
    QList<Command> entryCommands() override;
    QList<Command> spaceCommands() override;
    QList<int> filterColumns() const override { return {OpenColumn::Folder}; }
    std::function<void()> dropAction(const QMimeData* data, bool shown) override;

    // The chosen entry shown selected in the file manager, and its full path to the clipboard.
    void openContainingFolder();
    void copyPath();

private:
    std::optional<OpenEntry> chosen() const { return m_open.chosen(); }
    // What the commands reach, with the list as it now stands.
    openedits::Seams seams() const;
    // Runs `job(seams, waiting)` for the command `what` where `on` says, then presents its
    // reply. False, with nothing started, when that command already waits on that entry.
    template <class Job>
    bool post(const QString& what, const Where& on, Job job,
              DriveWait::Late late = DriveWait::Late::Deliver)
    {
        return m_waits.run(
            what, on, late,
            [seams = seams(), job = std::move(job)](Waiting& w) { return job(seams, w); },
            [this](openreply::Reply r) { present(std::move(r)); });
    }
    // On the list line, as the wait for `key`.
    Where onList(const QString& key) const { return Where::onList(key, m_open.store().listPath()); }
    // Asks and shows what came of a command, as its reply says.
    void present(openreply::Reply reply);
    // Takes the entry's records off the list, for a file that has gone.
    void dropEntry(const OpenEntry& entry);
    void deleteEntry(const OpenEntry& entry, openedits::Removal removal);
    void offerUndo(const openundo::Step& step, bool again = false);
    // Asks whether a known drive's entries follow it to its new place.
    void offerFollow(const drivefollow::Offer& offer);

    const HubContext& m_hub;
    Launching& m_launching;
    OpenList m_open;
    DriveWait m_waits;
    QObject m_alive; // answers from the lines are taken only while this lives
};
