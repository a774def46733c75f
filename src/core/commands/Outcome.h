#pragma once

#include <QString>

// What came of a command, for every tab alike, and the words the window shows it in.
namespace commands {

enum class Outcome {
    Done,
    Refused,      // a name typed that cannot be stored or be a file's name: nothing changed
    NotFullPath,  // the entry names no file by its full path: it is never handed on
    Gone,         // what the command is on is no longer there: nothing changed
    Missing,      // the file is not there, on a drive that is
    NotConnected, // the file's drive is not connected: nothing changed
    NotAnswering, // the file's drive is mounted but cannot be reached: nothing changed
    TrashRefused, // the trash cannot take the file: nothing changed
    Taken,        // something stands where the change would put its result: nothing changed
    NotInTrash,   // the trash no longer holds what the delete put there: nothing changed
    Failed,       // the platform's reason says why; nothing changed unless said otherwise
    OldKept,      // a renamed shortcut is written, but the old one could not be removed
};

// What the user is told when Edit > Undo changes nothing, by the reason.
struct UndoTexts {
    QString taken;      // something stands where the step would put back what it took
    QString gone;       // what the step would take back is no longer there
    QString notInTrash; // the trash no longer holds the file the step put there
    QString partly;     // what came back, but the list could not take (told with the reason)
};

// The question before a Delete of the entry `name` on "Open" or "Web".
inline QString deleteQuestion(const QString& name)
{
    return QStringLiteral("Are your sure you want to delete ") + name.toUpper();
}

} // namespace commands

using commands::UndoTexts;
