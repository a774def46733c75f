#pragma once

#include "commands/OpenUndo.h"
#include "commands/Told.h"
#include "formats/LaunchTable.h"

#include <QUrl>

// What the "Open" tab shows of each command's result, decided here, so that the tab only asks
// its questions and shows: each command's job ends in one of these, made on its own line.
namespace openreply {

struct Reply {
    // What the user is told, if anything; before the listing shows when `toldFirst`.
    commands::Told told;
    bool toldFirst = false;

    // Done in this order: the pins follow, the listing shows (choosing `select`), the undo step
    // is offered (or the last one cleared), the user is told, the list is read again, and the
    // entry `drop` (whose file is gone) leaves the list.
    std::optional<openundo::PinMove> pins;
    std::optional<OpenListing> listing;
    QString select;
    std::optional<openundo::Step> undo;
    bool clearUndo = false;
    bool reload = false;
    std::optional<OpenEntry> drop;

    // An undo that changed nothing: why, told in its words, and the step to offer again.
    std::optional<openundo::Undone> undone;

    // Asked first: for a Delete the trash refused, whether the file of `entry` is deleted for
    // good; for a file that has gone, whether the user locates it, with Browse's name box filled
    // with `browseTag`. Then opening starts the tool `launch` on `file`.
    QString forGood;
    std::optional<OpenEntry> entry;
    QString locate;
    QString browseTag;
    std::optional<CommandLine> launch;
    QString file;
};

// The data file a drop of `urls` opens as Browse opens it, whichever tab is shown; empty for
// anything else (several files, a folder, a file of no data-file kind).
QString droppedDataFile(const QList<QUrl>& urls);

// "Problem saving to QEL list", with the reason.
Reply saveFailure(const FileResult& reason);
// A list read with a line too long to be a record, the line `line` (none when 0).
Reply damagedList(qsizetype line);

Reply afterOpen(const QString& appFolder, const OpenEntry& entry, openedits::Result r);
Reply afterRename(const OpenEntry& entry, openedits::Result r);
Reply afterDelete(const OpenEntry& entry, openedits::Result r);
Reply afterRemove(const OpenEntry& entry, openedits::Result r);
Reply afterCleanUp(openedits::Result r);
Reply afterFollow(openedits::Result r, std::optional<drivefollow::Moved> moved);
// An undo that went through: the list it left, and the pins back where they were; or why it
// changed nothing, with the list read again.
Reply afterUndo(openundo::Undone undone);
// A missing file's entry taken off the list: told only of a failure.
Reply afterDrop(const openedits::Result& r);

} // namespace openreply
