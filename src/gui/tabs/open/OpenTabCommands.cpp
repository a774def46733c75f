// Rename, Delete, Remove from List, Clean Up Missing, the drive follow and Undo on the "Open"
// tab: each asks, then posts the command of the core library on the entry the user chose, and
// shows the reply it ends in.
#include "actions/Undoing.h"
#include "platform/Prompter.h"
#include "tabs/open/OpenTab.h"
#include "ui/HubContext.h"

using openreply::Reply;

void OpenTab::present(Reply r)
{
    const auto tell = [this, &r] {
        if (r.tell == Reply::Tell::Notice)
            m_hub.notice(r.text);
        else if (r.tell == Reply::Tell::Critical)
            m_hub.critical(r.text);
        else if (r.tell == Reply::Tell::FileFailure)
            m_hub.fileFailure(r.text, r.reason);
    };
    if (r.pins && r.pins->folder)
        m_open.pins().renamedFolder(r.pins->from, r.pins->to);
    else if (r.pins)
        m_open.pins().renamed(r.pins->from, r.pins->to);
    if (r.toldFirst)
        tell();
    if (r.listing)
        show(std::move(*r.listing), r.select);
    if (r.undo)
        offerUndo(*r.undo);
    else if (r.clearUndo)
        clearUndo();
    if (!r.toldFirst)
        tell();
    if (r.reload)
        LoadOpenList();
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
    m_waits.run(
        m_hub.lineOf(entry->path()), QStringLiteral("rename"), entry->path(), entry->path(),
        DriveWait::Late::Deliver,
        [seams = seams(), e = *entry, finalName](Waiting& w) {
            return openreply::afterRename(e, openedits::RenameFileEntry(seams, e, finalName, w));
        },
        [this](Reply r) { present(std::move(r)); });
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
    m_waits.run(
        m_hub.lineOf(entry.path()),
        forGood ? QStringLiteral("delete for good") : QStringLiteral("delete"), entry.path(),
        entry.path(), DriveWait::Late::Deliver,
        [seams = seams(), entry, removal](Waiting& w) {
            return openreply::afterDelete(entry,
                                          openedits::DeleteFileEntry(seams, entry, removal, w));
        },
        [this, entry](Reply r) {
            if (r.forGood.isEmpty())
                present(std::move(r));
            else if (m_hub.askDefaultNo(r.forGood))
                deleteEntry(entry, openedits::Removal::ForGood);
        });
}

void OpenTab::removeFromList()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    if (!m_hub.ask(openedits::removeQuestion(*entry, m_open.store().isInDataFolder(entry->path()))))
        return;
    m_waits.run(
        work::Line::list(), QStringLiteral("remove from list"), entry->path(),
        m_open.store().listPath(), DriveWait::Late::Deliver,
        [seams = seams(), e = *entry](Waiting&) {
            return openreply::afterRemove(e, openedits::removeFromList(seams, e));
        },
        [this](Reply r) { present(std::move(r)); });
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
        const QString list = m_open.store().listPath();
        m_waits.run(
            work::Line::list(), QStringLiteral("clean up missing"), list, list,
            DriveWait::Late::Deliver,
            [seams = seams(), missing](Waiting&) {
                return openreply::afterCleanUp(openedits::cleanUpMissing(seams, missing));
            },
            [this](Reply r) { present(std::move(r)); });
    });
}

void OpenTab::offerFollow(const drivefollow::Offer& offer)
{
    const QString mount = offer.drive.key() + u'\n' + offer.drive.mountId;
    if (m_askedMounts.contains(mount))
        return;
    m_askedMounts.insert(mount);
    if (!m_hub.ask(drivefollow::followQuestion(offer)))
        return;
    m_waits.run(
        work::Line::list(), QStringLiteral("point entries"), offer.drive.key(),
        m_open.store().listPath(), DriveWait::Late::Deliver,
        [seams = seams(), offer](Waiting&) {
            std::optional<drivefollow::Moved> moved;
            openedits::Result r = drivefollow::follow(seams, offer, &moved);
            return openreply::afterFollow(std::move(r), std::move(moved));
        },
        [this](Reply r) { present(std::move(r)); });
}

void OpenTab::offerUndo(const openundo::Step& step, bool again)
{
    auto run = [this, step] {
        const openundo::Where where = openundo::where(step, m_open.store().listPath());
        const bool started = m_waits.run(
            where.drive.isEmpty() ? work::Line::list() : m_hub.lineOf(where.drive),
            QStringLiteral("undo"), where.key, where.file, DriveWait::Late::Deliver,
            [seams = seams(), step](Waiting& w) { return openundo::run(seams, step, w); },
            [this](openundo::Undone u) {
                const openedits::Result& r = u.result;
                if (r.outcome != openedits::Outcome::Done) {
                    if (tellUndo(m_hub, r.outcome, r.result, r.partly, u.texts))
                        offerUndo(u.retry, true);
                    LoadOpenList();
                    return;
                }
                present(openreply::afterUndo(std::move(u)));
            });
        if (!started)
            offerUndo(step, true);
    };
    const QString text = openundo::text(step);
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}
