// Edit > Undo on the "Open" tab. A deleted entry comes back with its data file from the trash and
// its records where they stood; a renamed one gets its old name back, on disk and in the list.
// Undo never replaces anything: whatever stands at the old path now is the user's and stays.
// Like the commands they take back, both run on the list queue and wait on the data file's drive.
#include "platform/FileSystem.h"
#include "tabs/open/OpenTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QDir>

#include <cerrno>

struct OpenTab::Undone {
    enum class Outcome { Done, Taken, Gone, Failed };
    Outcome outcome = Outcome::Failed;
    FileResult result;
    Loaded loaded;
    QString select; // the restored entry's path
    // A Delete whose records the list could not take back: where its file went in the trash
    // again, so that the step can be tried once more.
    std::optional<TrashedFile> trashedAgain;
    bool fileBackOnly = false; // ... or that stayed out of the trash: it is back, unlisted
};

namespace {
QString takenText(const QString& path)
{
    return QStringLiteral("Cannot undo: ") + path +
           QStringLiteral(" already exists. Nothing was changed.");
}
} // namespace

void OpenTab::offerUndo(const DeletedEntry& step, bool again)
{
    const QString text = QStringLiteral("Undo Delete of ") + step.entry.name;
    auto run = [this, step] { undoDelete(step); };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void OpenTab::offerUndo(const RenamedEntry& step, bool again)
{
    const QString text = QStringLiteral("Undo Rename of ") + step.finalName;
    auto run = [this, step] { undoRename(step); };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void OpenTab::undoDelete(const DeletedEntry& step)
{
    using Outcome = Undone::Outcome;
    FileSystem* files = &m_hub.files();
    Trash* trash = &m_hub.trash();
    const QString path = step.entry.path();
    const bool started = m_waits.run(
        work::Line::list(), QStringLiteral("undo"), path, DriveWait::Late::Deliver,
        [store = m_store, files, trash, step, path, read = readJob(true)]() mutable {
            Undone u;
            const RecentFileList::Contents now = store.read();
            if (!now.result.ok) {
                u.result = now.result;
                return u;
            }
            if (holdsPath(now.records, path) ||
                (QDir::isAbsolutePath(path) && files->isFile(path))) {
                u.outcome = Outcome::Taken;
                return u;
            }
            if (step.trashed) {
                if (u.result = trash->restore(*step.trashed); !u.result.ok) {
                    u.outcome = u.result.alreadyExists()   ? Outcome::Taken
                                : u.result.error == ENOENT ? Outcome::Gone
                                                           : Outcome::Failed;
                    return u;
                }
            }
            if (u.result = store.putBack(step.records); !u.result.ok) {
                // A file without its entry would be lost to the user: it goes back to the trash.
                TrashedFile where;
                if (step.trashed && trash->moveToTrash(path, &where).ok)
                    u.trashedAgain = where;
                u.fileBackOnly = step.trashed && !u.trashedAgain;
                u.select = path;
                return u;
            }
            u.outcome = Outcome::Done;
            u.select = path;
            u.loaded = read();
            return u;
        },
        [this, step, path](Undone u) {
            DeletedEntry again = step;
            if (u.trashedAgain)
                again.trashed = u.trashedAgain;
            const QString gone = QStringLiteral("Cannot undo: ") + step.entry.name.toUpper() +
                                 QStringLiteral(" is no longer in the trash.");
            finishUndo(std::move(u), takenText(path), gone,
                       [this, again] { offerUndo(again, true); });
        });
    if (!started)
        offerUndo(step, true);
}

void OpenTab::undoRename(const RenamedEntry& step)
{
    using Outcome = Undone::Outcome;
    FileSystem* files = &m_hub.files();
    const QString oldPath = step.before.path();
    const QString newPath = step.newPath();
    const bool started = m_waits.run(
        work::Line::list(), QStringLiteral("undo"), newPath, DriveWait::Late::Deliver,
        [store = m_store, files, step, oldPath, newPath, read = readJob(true)]() mutable {
            Undone u;
            const RecentFileList::Contents now = store.read();
            if (!now.result.ok) {
                u.result = now.result;
                return u;
            }
            if (!holdsPath(now.records, newPath) || !files->isFile(newPath)) {
                u.outcome = Outcome::Gone;
                return u;
            }
            if (holdsPath(now.records, oldPath) || files->isFile(oldPath)) {
                u.outcome = Outcome::Taken;
                return u;
            }
            u.result = store.renameEntry(step.before.folder, step.finalName, step.before.name);
            if (!u.result.ok) {
                u.outcome = u.result.alreadyExists() ? Outcome::Taken : Outcome::Failed;
                return u;
            }
            u.outcome = Outcome::Done;
            u.select = oldPath;
            u.loaded = read();
            return u;
        },
        [this, step, oldPath, newPath](Undone u) {
            finishUndo(std::move(u), takenText(oldPath),
                       QStringLiteral("Cannot undo: ") + newPath +
                           QStringLiteral(" is no longer there."),
                       [this, step] { offerUndo(step, true); });
        });
    if (!started)
        offerUndo(step, true);
}

void OpenTab::finishUndo(Undone u, const QString& taken, const QString& gone,
                         const std::function<void()>& offerAgain)
{
    switch (u.outcome) {
    case Undone::Outcome::Done: {
        const FileResult readFailure = u.loaded.result;
        show(std::move(u.loaded));
        m_list.setSelectedKey(u.select);
        if (!readFailure.ok)
            reportSaveFailure(readFailure);
        return;
    }
    case Undone::Outcome::Taken:
        // The user may clear the way and try again.
        m_hub.notice(taken);
        offerAgain();
        break;
    case Undone::Outcome::Gone:
        m_hub.notice(gone + QStringLiteral(" Nothing was changed."));
        break;
    case Undone::Outcome::Failed:
        if (u.fileBackOnly) {
            m_hub.fileFailure(u.select + QStringLiteral(" is back, but the list could not take "
                                                        "its entry"),
                              u.result);
            break;
        }
        m_hub.fileFailure(QStringLiteral("The undo did not go through. Nothing was changed."),
                          u.result);
        offerAgain();
        break;
    }
    LoadOpenList();
}
