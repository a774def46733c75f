// Rename and Delete on the "Open" tab. Each takes the entry the user chose, asks, and then acts
// on that entry as the list file holds it by then, on the list queue: a companion tool may have
// changed the list meanwhile, and the data file may lie on a drive that does not answer.
#include "base/Paths.h"
#include "lists/DataFileKind.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "platform/Trash.h"
#include "tabs/open/OpenTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QDir>

#include <cerrno>

void OpenTab::rename()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    const DataFileKind* kind = kindOfCode(entry->kindCode);
    const QString prompt = QStringLiteral("Rename file  ") + entry->name.toUpper() +
                           QStringLiteral("\rType: ") +
                           (kind ? QString::fromLatin1(kind->kindText) : QString());
    QString answer = m_hub.prompter().inputBox(prompt, QStringLiteral("  "), QStringLiteral(" "));
    if (!answer.isEmpty())
        RenameFileEntry(*entry, answer);
}

void OpenTab::RenameFileEntry(const OpenEntry& entry, QString& newName)
{
    if (const QString refusal = paths::refusalOfNewName(newName); !refusal.isEmpty()) {
        m_hub.notice(refusal);
        return;
    }
    newName = applyRenameExtensionRule(newName, entry.kindCode);
    enum class Outcome { Renamed, Gone, Missing, Failed };
    struct Renamed {
        Outcome outcome = Outcome::Failed;
        FileResult result;
        Loaded loaded;
    };
    FileSystem* files = &m_hub.files();
    m_waits.run(
        work::Line::list(), QStringLiteral("rename"), entry.path(), DriveWait::Late::Deliver,
        [store = m_store, files, entry, finalName = newName, read = readJob(true)]() mutable {
            Renamed r;
            const RecentFileList::Contents now = store.read();
            if (!now.result.ok) {
                r.result = now.result;
                return r;
            }
            if (now.exists && !holdsPath(now.records, entry.path())) {
                r.outcome = Outcome::Gone;
                return r;
            }
            // A path that is not a full path is refused by the store, never looked up here.
            if (QDir::isAbsolutePath(entry.folder) && !files->isFile(entry.path())) {
                r.outcome = Outcome::Missing;
                return r;
            }
            r.result = store.renameEntry(entry.folder, entry.name, finalName);
            if (r.result.ok) {
                r.outcome = Outcome::Renamed;
                r.loaded = read();
            }
            return r;
        },
        [this, entry, finalName = newName](Renamed r) {
            switch (r.outcome) {
            case Outcome::Gone:
                reportGone(entry);
                LoadOpenList();
                return;
            case Outcome::Missing:
                m_hub.critical(QStringLiteral("File does not exists, removing entry"));
                DeleteFileEntry(entry.path());
                return;
            case Outcome::Failed:
                reportSaveFailure(r.result);
                return;
            case Outcome::Renamed:
                break;
            }
            const FileResult readFailure = r.loaded.result;
            show(std::move(r.loaded));
            // The selection goes with the entry to its new name.
            m_list.setSelectedKey(entry.folder + finalName);
            if (entry.name != finalName)
                offerUndo(RenamedEntry{entry, finalName});
            if (!readFailure.ok)
                reportSaveFailure(readFailure);
        });
}

void OpenTab::remove()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    if (!m_hub.ask(QStringLiteral("Are your sure you want to delete ") + entry->name.toUpper()))
        return;
    deleteEntry(*entry, false);
}

void OpenTab::deleteEntry(const OpenEntry& entry, bool forGood)
{
    enum class Outcome { Deleted, Gone, Failed, TrashRefused };
    struct Deleted {
        Outcome outcome = Outcome::Failed;
        FileResult result;
        RecentFileList::DeleteStep failedAt = RecentFileList::DeleteStep::List;
        std::optional<TrashedFile> trashed;
        QList<records::TakenRecord> records;
        Loaded loaded;
    };
    FileSystem* files = &m_hub.files();
    Trash* trash = &m_hub.trash();
    m_waits.run(
        work::Line::list(), forGood ? QStringLiteral("delete for good") : QStringLiteral("delete"),
        entry.path(), DriveWait::Late::Deliver,
        [store = m_store, files, trash, forGood, path = entry.path(),
         read = readJob(true)]() mutable {
            Deleted d;
            const RecentFileList::Contents now = store.read();
            if (!now.result.ok) {
                d.result = now.result;
                return d;
            }
            // Without a list there is no entry to take off it, and so no file to delete.
            if (!now.exists) {
                d.result = FileResult::fromErrno(ENOENT);
                return d;
            }
            if (!holdsPath(now.records, path)) {
                d.outcome = Outcome::Gone;
                return d;
            }
            // The file goes to the trash before its entry leaves the list: where the trash cannot
            // take it, the user decides, and until then nothing has changed.
            if (!forGood && QDir::isAbsolutePath(path) && files->isFile(path)) {
                TrashedFile where;
                if (d.result = trash->moveToTrash(path, &where); !d.result.ok) {
                    d.outcome = Outcome::TrashRefused;
                    return d;
                }
                d.trashed = where;
            }
            d.result = store.DeleteFileEntry(
                path, forGood ? RecentFileList::DataFile::Delete : RecentFileList::DataFile::Keep,
                &d.failedAt, &d.records);
            if (!d.result.ok && d.trashed && d.failedAt == RecentFileList::DeleteStep::List) {
                trash->restore(*d.trashed); // the entry stays, and so does its file
                d.trashed.reset();
            }
            d.outcome = d.result.ok ? Outcome::Deleted : Outcome::Failed;
            if (d.result.ok || d.failedAt == RecentFileList::DeleteStep::DataFile)
                d.loaded = read();
            return d;
        },
        [this, entry, forGood](Deleted d) {
            const QString name = entry.name.toUpper();
            switch (d.outcome) {
            case Outcome::Gone:
                reportGone(entry);
                LoadOpenList();
                return;
            case Outcome::TrashRefused:
                if (m_hub.askDefaultNo(name + QStringLiteral(" cannot be moved to the trash. "
                                                             "Delete it permanently?")))
                    deleteEntry(entry, true);
                return;
            case Outcome::Failed:
                if (d.failedAt == RecentFileList::DeleteStep::List) {
                    m_hub.fileFailure(QStringLiteral("Problem saving to QEL list, ") + name +
                                          QStringLiteral(" was not deleted"),
                                      d.result);
                    return;
                }
                break;
            case Outcome::Deleted:
                break;
            }
            // A file deleted for good cannot come back, and an older step would not undo this
            // delete.
            if (d.outcome == Outcome::Deleted && !forGood)
                offerUndo(DeletedEntry{entry, d.trashed, d.records});
            else
                clearUndo();
            show(std::move(d.loaded));
            if (d.outcome == Outcome::Failed)
                m_hub.fileFailure(name + QStringLiteral(" was removed from the list, but the file "
                                                        "could not be deleted"),
                                  d.result);
        });
}
