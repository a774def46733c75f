// Rename, Delete, Remove from List, Clean Up Missing, the drive follow and Undo on the "Open"
// tab: each asks, then posts the command of the core library on the entry the user chose, and
// shows the reply it ends in.
#include "actions/Launching.h"
#include "actions/Telling.h"
#include "actions/Undoing.h"
#include "platform/Prompter.h"
#include "tabs/open/OpenTab.h"
#include "ui/HubContext.h"

using openreply::Reply;

void OpenTab::present(Reply r)
{
    if (!r.forGood.isEmpty() && m_hub.askDefaultNo(r.forGood))
        deleteEntry(*r.entry, openedits::Removal::ForGood);
    if (!r.locate.isEmpty() && m_hub.ask(r.locate)) {
        cmdBrowseTag = r.browseTag;
        cmdBrowse_Click();
    }
    if (r.launch)
        m_launching.LaunchCommand(r.launch->program, r.launch->arguments, r.file);
    if (r.pins)
        m_open.pins().follow(r.pins->from, r.pins->to, r.pins->folder);
    if (r.toldFirst)
        tell(m_hub, r.told);
    if (r.listing)
        m_open.show(std::move(*r.listing), r.select);
    if (r.undo)
        offerUndo(*r.undo);
    else if (r.clearUndo)
        clearUndo();
    if (!r.toldFirst)
        tell(m_hub, r.told);
    const std::optional<openundo::Undone>& u = r.undone;
    if (u && tellUndo(m_hub, u->result.outcome, u->result.result, u->result.partly, u->texts))
        offerUndo(u->retry, true);
    if (r.reload)
        m_open.LoadOpenList();
    if (r.drop)
        dropEntry(*r.drop);
}

void OpenTab::rename()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    const QString answer = m_hub.prompter().inputBox(openedits::renamePrompt(*entry),
                                                     QStringLiteral("  "), QStringLiteral(" "));
    if (answer.isEmpty())
        return;
    QString refusal;
    const QString finalName = openedits::finalNameFor(*entry, answer, &refusal);
    if (!refusal.isEmpty()) {
        m_hub.notice(refusal);
        return;
    }
    post(QStringLiteral("rename"), Where::of(entry->path()),
         [e = *entry, finalName](const openedits::Seams& seams, Waiting& w) {
             return openreply::afterRename(e, openedits::RenameFileEntry(seams, e, finalName, w));
         });
}

void OpenTab::remove()
{
    const std::optional<OpenEntry> entry = chosen();
    if (entry && m_hub.ask(commands::deleteQuestion(entry->name)))
        deleteEntry(*entry, openedits::Removal::ToTrash);
}

void OpenTab::deleteEntry(const OpenEntry& entry, openedits::Removal removal)
{
    const bool forGood = removal == openedits::Removal::ForGood;
    post(forGood ? QStringLiteral("delete for good") : QStringLiteral("delete"),
         Where::of(entry.path()), [entry, removal](const openedits::Seams& seams, Waiting& w) {
             return openreply::afterDelete(entry,
                                           openedits::DeleteFileEntry(seams, entry, removal, w));
         });
}

void OpenTab::removeFromList()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    if (!m_hub.ask(openedits::removeQuestion(*entry, m_open.store().isInDataFolder(entry->path()))))
        return;
    post(QStringLiteral("remove from list"), onList(entry->path()),
         [e = *entry](const openedits::Seams& seams, Waiting&) {
             return openreply::afterRemove(e, openedits::removeFromList(seams, e));
         });
}

void OpenTab::cleanUpMissing()
{
    m_open.findMissing([this](const QList<OpenEntry>& missing) {
        if (missing.isEmpty()) {
            m_hub.notice(openedits::noneMissingText());
            return;
        }
        if (!m_hub.ask(openedits::cleanUpQuestion(missing.size())))
            return;
        post(QStringLiteral("clean up missing"), onList(m_open.store().listPath()),
             [missing](const openedits::Seams& seams, Waiting&) {
                 return openreply::afterCleanUp(openedits::cleanUpMissing(seams, missing));
             });
    });
}

void OpenTab::offerFollow(const drivefollow::Offer& offer)
{
    if (!m_hub.ask(drivefollow::followQuestion(offer)))
        return;
    post(QStringLiteral("point entries"), onList(offer.drive.key()),
         [offer](const openedits::Seams& seams, Waiting&) {
             std::optional<drivefollow::Moved> moved;
             openedits::Result r = drivefollow::follow(seams, offer, &moved);
             return openreply::afterFollow(std::move(r), std::move(moved));
         });
}

void OpenTab::offerUndo(const openundo::Step& step, bool again)
{
    auto run = [this, step] {
        const bool started =
            post(QStringLiteral("undo"), openundo::where(step, m_open.store().listPath()),
                 [step](const openedits::Seams& seams, Waiting& w) {
                     return openreply::afterUndo(openundo::run(seams, step, w));
                 });
        if (!started)
            offerUndo(step, true);
    };
    const QString text = openundo::text(step);
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}
