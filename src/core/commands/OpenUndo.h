#pragma once

#include "commands/DriveFollow.h"
#include "commands/OpenEdits.h"

#include <variant>

// Edit > Undo on the "Open" tab: every step a command of the tab leaves, what the menu item
// calls it, where its undo runs, and what came of it, so that the tab only posts it and shows.
namespace openundo {

// A Delete or a Remove from List (`verb` is the command taken back: "Delete" or "Remove").
struct Deleted {
    openedits::DeletedEntry step;
    QString verb;
};
using Step =
    std::variant<Deleted, openedits::RenamedEntry, openedits::CleanedUp, drivefollow::Moved>;

// "Undo Delete of c.fpl", "Undo Rename of b.fpl", ...
QString text(const Step& step);

// Where the undo of `step` runs.
using ::Where;
Where where(const Step& step, const QString& listPath);

// A path's pin that goes with its entry, or, for a folder, the pins of its entries.
struct PinMove {
    QString from, to;
    bool folder = false;
};

struct Undone {
    openedits::Result result;
    Step retry;     // offered again when nothing changed and the way may clear
    QString select; // the entry chosen in the list the undo left
    std::optional<PinMove> pins;
    UndoTexts texts; // why nothing changed, in the program's words
};
// Takes the step back; runs on the line `where` names.
Undone run(const openedits::Seams& seams, const Step& step, Waiting& waiting);

} // namespace openundo
