#pragma once

#include "base/FileResult.h"
#include "commands/Outcome.h"
#include "lists/ShortcutFolder.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class FileSystem;

// The commands of the "Tools" tab on the shortcut folder's files (lists/ShortcutFolder.h): what
// each checks, in which order it writes and removes shortcut files, and what it puts back when a
// step fails.
// The folder lies in the application folder, so all of this runs on the list line (see
// work/Work.h), one change at a time. The window asks before and shows the outcome after.
namespace shortcutedits {

using ::ShortcutEntry;

// The companion tools' own shortcuts, which the hub's users must keep.
struct Protection {
    bool noDelete = false;
    bool noRename = false;
};
Protection protectionOf(const QString& shortcutFileName);

// A shortcut "Shortcut to NAME.lnk" to `program`, as Create makes it; an existing one of that
// name in any letter case is the same shortcut, and is replaced, but only by one written whole
// (the old one stays as it was when the new one cannot be).
struct Written {
    QString file;
    FileResult result;
};
Written createShortcutTo(FileSystem& files, const QString& appFolder, const QString& program);

using Outcome = commands::Outcome;

// What Edit > Undo needs to take a Delete or Rename back: the shortcut file that went, with its
// bytes as they were, and for a Rename the shortcut that took its place.
struct ShortcutStep {
    QString file;
    QByteArray bytes;
    QString renamedTo; // empty for a Delete
};

struct Result {
    Outcome outcome = Outcome::Done;
    FileResult result;
    QString refusal;
    QString newFile;                  // the renamed shortcut
    std::optional<ShortcutStep> undo; // what the change can be undone with
};

// Renames the shortcut `oldFile` to `typed` + ".lnk": the new one is written whole with the old
// target and working folder, and read back, before the old one goes. When the old one cannot
// go, the new one goes again (Failed); OldKept only when both then stand.
Result rename(FileSystem& files, const QString& appFolder, const QString& oldFile,
              const QString& typed);
// Test hook: runs right after a renamed shortcut is written and before it is read back, as a
// drive that does not keep what it was given, or another program, would.
inline std::function<void(const QString& newFile)> afterRenameWrite;

// Deletes the shortcut; a deletion that fails is not reported (the reload shows the file still
// there). Gone when it went meanwhile.
Result remove(FileSystem& files, const QString& file);

// Edit > Undo: the old shortcut's bytes back under its old name, written whole (a renamed one's
// new file goes), never over anything that stands there now. Failed leaves the folder as it
// was; OldKept when the old one is back but neither the renamed one nor it could then go.
Result undo(FileSystem& files, const ShortcutStep& step);

// What the window asks and tells, in the program's words.
QString deleteQuestion(const QString& fileName);
QString goneText(const QString& fileName);
QString takenText(const QString& typed); // a rename to a name another shortcut has
QString oldKeptText(const QString& typed, const QString& oldFileName);
QString notRenamedText();                    // told with the platform's reason
QString notWrittenText(const QString& file); // a Create, likewise
QString undoCaption(const ShortcutStep& step);
UndoTexts undoTexts(const ShortcutStep& step);

} // namespace shortcutedits
