#include "commands/OpenEdits.h"

#include "base/Paths.h"
#include "formats/LaunchTable.h"
#include "lists/DataFileKind.h"
#include "platform/DriveTable.h"
#include "platform/FileSystem.h"
#include "work/Work.h"

#include <QDir>

#include <cerrno>

namespace openedits {

namespace {

Result outcome(Outcome o, FileResult r = {})
{
    Result result;
    result.outcome = o;
    result.result = std::move(r);
    return result;
}

Result failed(FileResult r)
{
    return outcome(Outcome::Failed, std::move(r));
}

// A step on the list, handed to the list line; meanwhile it is the list whose drive is waited on.
template <class Step> auto onList(const Seams& seams, Waiting& waiting, Step step)
{
    const QString before = waiting.path();
    waiting.on(seams.store.listPath());
    auto r = work::onListLine(std::move(step));
    waiting.on(before);
    return r;
}

Result done(const QByteArray& written)
{
    Result r = outcome(Outcome::Done);
    r.listing = openListingOf(written);
    return r;
}

QString folderOf(const QString& path)
{
    QString folder;
    SplitPath(path, nullptr, &folder);
    return folder;
}

bool notConnected(const Seams& seams, const OpenEntry& entry)
{
    return seams.drives->isNotConnected(entry.files().first());
}

FileResult notFullPath()
{
    return FileResult::refused(QStringLiteral("The entry does not name a file by its full path"));
}

} // namespace

Result checkForOpen(const Seams& seams, const OpenEntry& entry, Waiting&)
{
    // Any program may write the list. A path that is not a full path would be taken from
    // whatever folder the hub runs in, and could reach a tool as one of its options.
    if (!QDir::isAbsolutePath(entry.folder))
        return outcome(Outcome::NotFullPath);
    if (seams.drives->isNotConnected(entry.files().first()))
        return outcome(Outcome::NotConnected);
    Result r = outcome(Outcome::Done);
    r.file = fileOf(*seams.files, entry);
    // A drive pulled out since the look above makes the file look gone: its entry stays.
    switch (dataFilePresence(*seams.files, r.file)) {
    case Presence::There:
        break;
    case Presence::Absent:
        r.outcome = notConnected(seams, entry) ? Outcome::NotConnected : Outcome::Missing;
        break;
    case Presence::NotAnswering:
        r.outcome = Outcome::NotAnswering;
        break;
    }
    return r;
}

QString finalNameFor(const OpenEntry& entry, const QString& typed, QString* refusal)
{
    *refusal = paths::refusalOfNewName(typed);
    return refusal->isEmpty() ? applyRenameExtensionRule(typed, entry.kindCode) : QString();
}

Result RenameFileEntry(const Seams& seams, const OpenEntry& entry, const QString& finalName,
                       Waiting& waiting)
{
    if (!QDir::isAbsolutePath(entry.folder))
        return failed(notFullPath());
    RecentFileList store = seams.store;
    const QString path = entry.path();
    // The list must be readable, and may be changed, before the file is touched.
    const RecentFileList::Check list = onList(seams, waiting, [&] { return store.check(path); });
    if (!list.result.ok)
        return failed(list.result);
    if (list.exists && !list.holds)
        return outcome(Outcome::Gone);
    if (list.readOnly)
        return failed(FileResult::fromErrno(EACCES));
    if (seams.drives->isNotConnected(entry.files().first()))
        return outcome(Outcome::NotConnected);
    const QString file = fileOf(*seams.files, entry);
    // From here on a drive pulled out makes the file look gone, or its rename fail: said so.
    if (const Presence p = seams.files->presence(file); p != Presence::There)
        return outcome(p == Presence::NotAnswering  ? Outcome::NotAnswering
                       : notConnected(seams, entry) ? Outcome::NotConnected
                                                    : Outcome::Missing);
    // The name typed is written as it is; the folder keeps the bytes it has on disk.
    const QString newFile = folderOf(file) + finalName;
    if (file != newFile) {
        if (FileResult r = seams.files->rename(file, newFile); !r.ok)
            return notConnected(seams, entry) ? outcome(Outcome::NotConnected) : failed(r);
    }
    // The record names the file as it now is on disk.
    QByteArray written;
    FileResult r =
        onList(seams, waiting, [&] { return store.renameRecords(path, newFile, &written); });
    if (!r.ok) {
        if (file != newFile)
            seams.files->rename(newFile, file); // the list could not follow: the old name back
        return failed(r);
    }
    Result result = done(written);
    // The path as the list now reads it: the file's bytes, as its line decodes them.
    const std::optional<records::Line> line =
        records::Line::record({entry.kindCode, newFile, entry.dateText});
    result.renamed = RenamedEntry{entry, finalName, file, newFile, line ? line->field(1) : newFile};
    return result;
}

Result DeleteFileEntry(const Seams& seams, const OpenEntry& entry, Removal removal,
                       Waiting& waiting)
{
    RecentFileList store = seams.store;
    const QString path = entry.path();
    const bool fullPath = QDir::isAbsolutePath(entry.folder);
    if (removal == Removal::ForGood && !fullPath)
        return failed(notFullPath());
    const RecentFileList::Check list = onList(seams, waiting, [&] { return store.check(path); });
    if (!list.result.ok)
        return failed(list.result);
    // Without a list there is no entry to take off it, and so no file to delete.
    if (!list.exists)
        return failed(FileResult::fromErrno(ENOENT));
    if (!list.holds)
        return outcome(Outcome::Gone);
    // A drive that is not connected would make the file look gone: the entry would go and the
    // file live on, with the user told it was deleted.
    if (fullPath && seams.drives->isNotConnected(entry.files().first()))
        return outcome(Outcome::NotConnected);
    const QString file = fullPath ? fileOf(*seams.files, entry) : QString();
    const Presence presence = fullPath ? seams.files->presence(file) : Presence::Absent;
    // A drive whose server has gone away: its file is not gone, and no step can reach it.
    if (presence == Presence::NotAnswering)
        return outcome(Outcome::NotAnswering);
    const bool there = presence == Presence::There;
    // A stick pulled out while the command runs: the file is not gone and no step can reach it,
    // so the user is told so and offered nothing that would act on a drive that is not there.
    const auto wentAway = [&] { return fullPath && notConnected(seams, entry); };
    if (!there && wentAway())
        return outcome(Outcome::NotConnected);
    // The file goes to the trash before its entry leaves the list: where the trash cannot take
    // it, the user decides, and until then nothing has changed.
    std::optional<TrashedFile> trashed;
    if (removal == Removal::ToTrash && there) {
        TrashedFile where;
        if (FileResult r = seams.trash->moveToTrash(file, &where); !r.ok)
            return outcome(wentAway() ? Outcome::NotConnected : Outcome::TrashRefused, r);
        trashed = where;
    }
    QByteArray written;
    QList<records::TakenRecord> taken;
    FileResult r =
        onList(seams, waiting, [&] { return store.removeRecords(path, &taken, &written, true); });
    if (!r.ok) {
        if (trashed)
            seams.trash->restore(*trashed); // the entry stays, and so does its file
        return failed(r);
    }
    Result result = done(written);
    if (removal == Removal::ForGood && there) {
        if (FileResult gone = seams.files->remove(file); !gone.ok) {
            // The drive went before the file could: its entry comes back, as nothing was done.
            if (wentAway() &&
                onList(seams, waiting, [&] { return store.putBack(taken, &written); }).ok) {
                Result away = outcome(Outcome::NotConnected);
                away.listing = openListingOf(written);
                return away;
            }
            result.outcome = Outcome::Failed;
            result.result = gone;
            result.partly = true;
            return result;
        }
    }
    if (removal == Removal::ToTrash)
        result.deleted = DeletedEntry{entry, trashed, taken};
    return result;
}

Result removeFromList(const Seams& seams, const OpenEntry& entry)
{
    RecentFileList store = seams.store;
    QByteArray written;
    QList<records::TakenRecord> taken;
    if (FileResult r = store.removeRecords(entry.path(), &taken, &written, true); !r.ok)
        return failed(r);
    Result result = done(written);
    if (taken.isEmpty())
        result.outcome = Outcome::Gone;
    else
        result.deleted = DeletedEntry{entry, std::nullopt, taken};
    return result;
}

Result cleanUpMissing(const Seams& seams, const QList<OpenEntry>& missing)
{
    QSet<QString> paths;
    for (const OpenEntry& e : missing) {
        if (QDir::isAbsolutePath(e.folder))
            paths.insert(e.path());
    }
    RecentFileList store = seams.store;
    QByteArray written;
    QList<records::TakenRecord> taken;
    if (FileResult r = store.removeRecordsOf(paths, &taken, &written); !r.ok)
        return failed(r);
    Result result = done(written);
    if (taken.isEmpty())
        result.outcome = Outcome::Gone;
    else
        result.cleaned = CleanedUp{taken};
    return result;
}

Result undoCleanUp(const Seams& seams, const CleanedUp& step)
{
    RecentFileList store = seams.store;
    QByteArray written;
    if (FileResult r = store.putBack(step.records, &written); !r.ok) {
        Result result = failed(r);
        result.cleaned = step;
        return result;
    }
    return done(written);
}

Result undoDelete(const Seams& seams, const DeletedEntry& step, Waiting& waiting)
{
    RecentFileList store = seams.store;
    const QString path = step.entry.path();
    const RecentFileList::Check list = onList(seams, waiting, [&] { return store.check(path); });
    if (!list.result.ok)
        return failed(list.result);
    if (list.holds)
        return outcome(Outcome::Taken);
    // A file the delete moved comes back only where nothing stands now; one it left where it
    // was (a Remove from List, a file that had gone) is not in the way of its records.
    if (step.trashed) {
        QStringList places = step.entry.files();
        places.prepend(step.trashed->originalPath);
        for (const QString& place : places) {
            if (seams.files->isFile(place))
                return outcome(Outcome::Taken);
        }
    }
    if (step.trashed) {
        if (FileResult r = seams.trash->restore(*step.trashed); !r.ok) {
            return outcome(r.alreadyExists()   ? Outcome::Taken
                           : r.error == ENOENT ? Outcome::NotInTrash
                                               : Outcome::Failed,
                           r);
        }
    }
    QByteArray written;
    if (FileResult r =
            onList(seams, waiting, [&] { return store.putBack(step.records, &written); });
        !r.ok) {
        Result result = failed(r);
        if (step.trashed) {
            // A file without its entry would be lost to the user: it goes back to the trash, and
            // the step can be tried again.
            TrashedFile where;
            if (seams.trash->moveToTrash(step.trashed->originalPath, &where).ok)
                result.deleted = DeletedEntry{step.entry, where, step.records};
            else
                result.partly = true;
        } else {
            result.deleted = step;
        }
        return result;
    }
    return done(written);
}

Result undoRename(const Seams& seams, const RenamedEntry& step, Waiting& waiting)
{
    RecentFileList store = seams.store;
    const QString oldPath = step.before.path();
    const QString newPath = step.newPath;
    const RecentFileList::Check list =
        onList(seams, waiting, [&] { return store.check(newPath, oldPath); });
    if (!list.result.ok)
        return failed(list.result);
    if (!list.holds || !seams.files->isFile(step.newFile))
        return outcome(Outcome::Gone);
    if (list.holdsAlso || seams.files->isFile(step.oldFile))
        return outcome(Outcome::Taken);
    if (FileResult r = seams.files->rename(step.newFile, step.oldFile); !r.ok)
        return outcome(r.alreadyExists() ? Outcome::Taken : Outcome::Failed, r);
    QByteArray written;
    FileResult r = onList(seams, waiting,
                          [&] { return store.renameRecords(newPath, step.oldFile, &written); });
    if (!r.ok) {
        seams.files->rename(step.oldFile, step.newFile);
        return failed(r);
    }
    return done(written);
}

QString cleanUpQuestion(qsizetype count)
{
    return QStringLiteral("Remove the ") + QString::number(count) +
           QStringLiteral(" entries whose files are gone from the list? Entries on drives that "
                          "are not connected are kept.");
}

QString noneMissingText()
{
    return QStringLiteral("No entries are missing.");
}

QString notFullPathText(const OpenEntry& entry)
{
    return QStringLiteral("The file can not be opened\r") + entry.path() +
           QStringLiteral(" is not a full path.");
}

QString locateQuestion(const OpenEntry& entry)
{
    return QStringLiteral("File does not exist: ") + SpacesToQuestionMarks(entry.folder) +
           SpacesToQuestionMarks(entry.name) + QLatin1Char('\r') +
           QStringLiteral("It may have been moved or deleted. Do you wish to locate the file "
                          "yourself? ");
}

QString renamePrompt(const OpenEntry& entry)
{
    const DataFileKind* kind = kindOfCode(entry.kindCode);
    return QStringLiteral("Rename file  ") + entry.name.toUpper() + QStringLiteral("\rType: ") +
           (kind ? QString::fromLatin1(kind->kindText) : QString());
}

QString removeQuestion(const OpenEntry& entry, bool inDataFolder)
{
    const QString name = entry.name.toUpper();
    QString text = QStringLiteral("Remove ") + name +
                   QStringLiteral(" from the list? The file stays where it is.");
    if (inDataFolder)
        text += QLatin1Char('\r') + name +
                QStringLiteral(" will be listed again at the next start because it is in the "
                               "data folder.");
    return text;
}

QString trashRefusedQuestion(const OpenEntry& entry)
{
    return entry.name.toUpper() +
           QStringLiteral(" cannot be moved to the trash. Delete it permanently?");
}

QString goneText(const OpenEntry& entry)
{
    return entry.path() + QStringLiteral(" is no longer in the list. Nothing was changed.");
}

QString notConnectedText(const OpenEntry& entry, bool deleting)
{
    return entry.path() + QStringLiteral(" is on a drive that is not connected.") +
           (deleting ? QStringLiteral(" Connect it to delete the file, or use Remove from List.")
                     : QString());
}

QString notAnsweringText(const OpenEntry& entry)
{
    return entry.path() + QStringLiteral(" is on a drive that is not answering. Nothing was "
                                         "changed; try again when it answers.");
}

QString notDeletedText(const OpenEntry& entry)
{
    return QStringLiteral("Problem saving to QEL list, ") + entry.name.toUpper() +
           QStringLiteral(" was not deleted");
}

QString fileStayedText(const OpenEntry& entry)
{
    return entry.name.toUpper() +
           QStringLiteral(" was removed from the list, but the file could not be deleted");
}

UndoTexts undoTexts(const DeletedEntry& step)
{
    const QString path = step.entry.path();
    return {QStringLiteral("Cannot undo: ") + path +
                QStringLiteral(" already exists. Nothing was changed."),
            {},
            QStringLiteral("Cannot undo: ") + step.entry.name.toUpper() +
                QStringLiteral(" is no longer in the trash. Nothing was changed."),
            path + QStringLiteral(" is back, but the list could not take its entry")};
}

UndoTexts undoTexts(const RenamedEntry& step)
{
    return {QStringLiteral("Cannot undo: ") + step.before.path() +
                QStringLiteral(" already exists. Nothing was changed."),
            QStringLiteral("Cannot undo: ") + step.newPath +
                QStringLiteral(" is no longer there. Nothing was changed."),
            {},
            {}};
}

} // namespace openedits
