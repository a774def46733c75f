#pragma once

#include "commands/Outcome.h"
#include "commands/Waiting.h"
#include "lists/OpenEntries.h"
#include "lists/RecentFileList.h"
#include "platform/Trash.h"

#include <optional>

class DriveTable;
class FileSystem;

// The commands of the "Open" tab on the files they change: what each checks, in which order it
// changes the data file and the recent-file list, and what it puts back when a step fails. Each
// is a plain function that runs on the line of the entry's drive (see work/Work.h): the data
// file's own steps run there, and each step on the list is handed to the list line in turn, so
// that a drive that hangs holds up its own entries and no list. The window asks the user before
// and shows the outcome after; nothing here asks or shows.
namespace openedits {

// What the commands reach.
struct Seams {
    RecentFileList store;
    FileSystem* files = nullptr;
    Trash* trash = nullptr;
    const DriveTable* drives = nullptr;
};

using Outcome = commands::Outcome;

// What Edit > Undo needs to take a Delete (or a Remove from List) back: where the data file went
// in the trash (none when it stayed or was not there), and the records that left the list, with
// their places.
struct DeletedEntry {
    OpenEntry entry;
    std::optional<TrashedFile> trashed;
    QList<records::TakenRecord> records;
};
// ... and a Rename: the entry as it was, the name it got, and its file's path before and after
// (the file may have the name its line's bytes give, see OpenEntry::bytesPath).
struct RenamedEntry {
    OpenEntry before;
    QString finalName;
    QString oldFile;
    QString newFile;
    QString newPath; // the renamed entry's path as the list shows it
};

// ... and a Clean Up Missing: the records that left the list, with their places.
struct CleanedUp {
    QList<records::TakenRecord> records;
};

struct Result {
    Outcome outcome = Outcome::Failed;
    FileResult result;
    QString refusal;
    // A failure after part of the change: the records went but the file stayed (a Delete for
    // good), or the file came back but the list could not take its records (an Undo).
    bool partly = false;
    QString file;                        // the file to open
    std::optional<DeletedEntry> deleted; // what a Delete or Remove from List can be undone with
    std::optional<RenamedEntry> renamed; // ... and a Rename
    std::optional<CleanedUp> cleaned;    // ... and a Clean Up Missing
    // The list as the change left it, read from what was written: no read after the change.
    std::optional<OpenListing> listing;
};

// Which file opening the entry starts its tool on, or why none: not a full path, not connected,
// or missing.
Result checkForOpen(const Seams& seams, const OpenEntry& entry, Waiting& waiting);

// The name a rename gives the entry's file for the name typed: the kind code is added as its
// extension; empty, with `refusal` set, for a name no file can have.
QString finalNameFor(const OpenEntry& entry, const QString& typed, QString* refusal);

// Renames the entry's file to `finalName` in its folder, then its records in the list; when the
// list cannot follow, the file gets its old name back. A missing file is Missing (the window
// then drops the entry), a file on a drive that is not connected NotConnected.
Result RenameFileEntry(const Seams& seams, const OpenEntry& entry, const QString& finalName,
                       Waiting& waiting);

// The Delete command: the file goes to the trash (or, asked again after TrashRefused, is deleted
// for good), then its records leave the list. A file in the trash comes back when the list
// cannot take the change; one deleted for good goes after its records, so that a list that
// cannot be changed leaves it be.
enum class Removal { ToTrash, ForGood };
Result DeleteFileEntry(const Seams& seams, const OpenEntry& entry, Removal removal,
                       Waiting& waiting);

// Takes the entry's records out of the list and leaves its file where it is. Runs on the list
// line (it touches no data file).
Result removeFromList(const Seams& seams, const OpenEntry& entry);

// Clean Up Missing: takes every record of the entries whose drive answered and whose file is
// gone off the list in one change, and never touches a file. Runs on the list line. Entries
// that name no full path are not among them: their drive is not known.
Result cleanUpMissing(const Seams& seams, const QList<OpenEntry>& missing);
// ... and its Undo: every record back at its line.
Result undoCleanUp(const Seams& seams, const CleanedUp& step);

// Edit > Undo. Neither ever replaces anything: whatever stands at the old path now is the user's.
Result undoDelete(const Seams& seams, const DeletedEntry& step, Waiting& waiting);
Result undoRename(const Seams& seams, const RenamedEntry& step, Waiting& waiting);

// What the window asks and tells about an entry, in the program's words.
QString notFullPathText(const OpenEntry& entry);
QString locateQuestion(const OpenEntry& entry); // for a missing file
QString renamePrompt(const OpenEntry& entry);
QString removeQuestion(const OpenEntry& entry, bool inDataFolder);
QString trashRefusedQuestion(const OpenEntry& entry);
QString goneText(const OpenEntry& entry);
// `deleting`: said to a Delete, which offers the way round.
QString notConnectedText(const OpenEntry& entry, bool deleting = false);
// A drive that is mounted but cannot be reached (its server went away).
QString notAnsweringText(const OpenEntry& entry);
// A Delete that failed: before anything changed, or after the records went and the file stayed.
QString notDeletedText(const OpenEntry& entry);
QString fileStayedText(const OpenEntry& entry);
QString cleanUpQuestion(qsizetype count);
QString noneMissingText();
UndoTexts undoTexts(const DeletedEntry& step);
UndoTexts undoTexts(const RenamedEntry& step);

} // namespace openedits
