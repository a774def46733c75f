#pragma once

#include "commands/Outcome.h"
#include "lists/WebLinkList.h"

#include <optional>

class QMimeData;

// The commands of the "Web" tab on the web-link list: what each checks, and what Undo puts back.
// Each reads and changes the list on the list line (see work/Work.h) and hands back the list as
// the change left it. The window asks before and shows the outcome after.
namespace webedits {

using Outcome = commands::Outcome;

// What Edit > Undo needs to take a Delete back: the lines that went, with their places...
struct DeletedLinks {
    QString name;
    QList<records::TakenRecord> lines;
};
// ... and a Rename: the link before and after it.
struct RenamedLink {
    WebLinkRecord before, after;
};

struct Result {
    Outcome outcome = Outcome::Done;
    FileResult result;
    QString refusal;
    std::optional<DeletedLinks> deleted;
    std::optional<RenamedLink> renamed;
    // The list as the change left it, read from what was written.
    std::optional<WebLinkList::Contents> links;
};

Result AppendWebLink(WebLinkList store, const WebLinkRecord& link);

// Gives the link `old` the name `name` and, when `url` is given, that address (otherwise the
// address the file holds now stays: another program may have changed it since `old` was read);
// the links are written in `order`.
Result RewriteWebList(WebLinkList store, const WebLinkRecord& old, const QString& name,
                      const std::optional<QString>& url, const WebLinkList::Order& order);

// Removes every link of that name.
Result RemoveWebLink(WebLinkList store, const QString& name);

// Edit > Undo; neither doubles a link of the old name that is there now.
Result undoDelete(WebLinkList store, const DeletedLinks& step);
Result undoRename(WebLinkList store, const RenamedLink& step, const WebLinkList::Order& order);

// The order of links as the list shows them sorted: by address or by name, without regard to
// letter case. A rename writes the links in it, so that the file reads as the tab does.
WebLinkList::Order orderOf(bool byUrl, bool ascending);

// The web address (http or https) that dropped data holds, as the user will see it; empty when
// it holds none.
QString droppedAddress(const QMimeData& data);

// What the window tells, in the program's words.
QString goneText(const QString& name);
UndoTexts undoTexts(const DeletedLinks& step);
UndoTexts undoTexts(const RenamedLink& step);

} // namespace webedits
