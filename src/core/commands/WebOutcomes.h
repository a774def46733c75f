#pragma once

#include "commands/Told.h"
#include "commands/WebEdits.h"

// What the window does with the outcome of each command of the "Web" tab, and in which order
// a rename writes the links. The window asks, posts the command and does what this says.
namespace webedits {

enum class Edit { Create, Rename, Delete };
// The name the window's waits know the command by.
QString nameOf(Edit edit);

// What comes of a command's outcome on the link `name`, in this order: what the user is told,
// whether the web link dialog closes, whether the list is read again from the file, and whether
// the list the change left is shown. A refused name keeps the dialog and what was typed; a
// missing or unwritable file leaves the list on screen as it was.
struct Reaction {
    commands::Told told;
    bool closeDialog = false;
    bool reload = false;
    bool done = false;
};
Reaction reactionTo(Edit edit, const Result& result, const QString& name);

// The order a rename writes the links in, as the list shows them: sorted on `sortColumn`
// (the name's or the address's) in `ascending` order, or, when the list is not sorted, as the
// file holds them. Links the screen does not show yet go where it would show them.
WebLinkList::Order listOrder(bool sorted, int sortColumn, bool ascending);

// The address a rename gives the link: the dialog's when the user typed one there; otherwise
// none, so that an address another program gave the link while the dialog was open stays.
std::optional<QString> renamedAddress(const QString& url, bool typed);
// What a rename says when no link is chosen any more (the dialog does not block).
QString noneChosenText();

// The captions of Edit > Undo.
QString undoCaption(const DeletedLinks& step);
QString undoCaption(const RenamedLink& step);

} // namespace webedits
