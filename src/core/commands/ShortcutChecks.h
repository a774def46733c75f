#pragma once

#include "commands/ShortcutEdits.h"
#include "commands/Told.h"
#include "platform/Prompter.h"

class QMimeData;

// What the commands of the "Tools" tab check before they ask the user anything, and what the
// window tells of their outcome, in the program's words. The window only asks and shows.
namespace shortcutedits {

enum class Edit { Rename, Delete };

// Why Rename or Delete cannot go on with the chosen shortcut: its file is no longer there, or
// it is one the hub's users must keep from that edit; empty when it may. Looks at the
// folder, so it runs on the list line.
QString refusalOf(FileSystem& files, const ShortcutEntry& entry, Edit edit);
// ... and when no shortcut is chosen.
QString noneChosenText();

// The input box's prompt of a Rename: the shortcut's name without its ".lnk".
QString renamePrompt(const ShortcutEntry& entry);
// What the user is told of a Rename's or Delete's outcome: `typed` is the name a Rename was
// given. A Delete that could not remove the file says nothing (the reload shows it there).
commands::Told told(const Result& result, const ShortcutEntry& entry, const QString& typed = {});
// Why the chosen shortcut's program cannot be started: it could not be read (told with its
// reason); empty when it can.
QString unstartableText(const ShortcutEntry& entry);

// The program-picking dialog of Create, opening on the application folder with the name it
// held after its last use.
OpenFileRequest programRequest(const QString& appFolder, const QString& lastName);
// The program that dropped data holds, which Create makes a shortcut to: one local file that is
// no data file of the suite and no folder; empty when it holds none.
QString droppedProgram(const QMimeData& data);

} // namespace shortcutedits
