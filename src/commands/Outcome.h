#pragma once

// What came of a command, for every tab alike. The window shows it; nothing here is shown.
namespace commands {

enum class Outcome {
    Done,
    Refused,      // a name typed that cannot be stored or be a file's name: nothing changed
    NotFullPath,  // the entry names no file by its full path: it is never handed on
    Gone,         // what the command is on is no longer there: nothing changed
    Missing,      // the file is not there, on a drive that is
    NotConnected, // the file's drive is not connected: nothing changed
    TrashRefused, // the trash cannot take the file: nothing changed
    Taken,        // something stands where the change would put its result: nothing changed
    NotInTrash,   // the trash no longer holds what the delete put there: nothing changed
    Failed,       // the platform's reason says why; nothing changed unless said otherwise
    OldKept,      // a renamed shortcut is written, but the old one could not be removed
};

} // namespace commands
