// Rename, Delete, Remove from List and Undo on the "Open" tab: each asks, then posts the command
// of the core library on the entry the user chose, and shows what came of it.
#include "actions/Undoing.h"
#include "platform/Prompter.h"
#include "tabs/open/OpenTab.h"
#include "ui/HubContext.h"

using openedits::Outcome;

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
            return openedits::RenameFileEntry(seams, e, finalName, w);
        },
        [this, e = *entry](openedits::Result r) {
            switch (r.outcome) {
            case Outcome::Gone:
                m_hub.notice(openedits::goneText(e));
                LoadOpenList();
                return;
            case Outcome::Missing:
                m_hub.critical(QStringLiteral("File does not exists, removing entry"));
                dropEntry(e);
                return;
            case Outcome::NotConnected:
                m_hub.notice(openedits::notConnectedText(e));
                return;
            case Outcome::NotAnswering:
                m_hub.notice(openedits::notAnsweringText(e));
                return;
            case Outcome::Done:
                // The selection and the pin go with the entry to its new name.
                m_open.pins().renamed(e.path(), r.renamed->newPath);
                show(std::move(*r.listing), r.renamed->newPath);
                if (e.name != r.renamed->finalName)
                    offerUndo(*r.renamed);
                return;
            default:
                reportSaveFailure(r.result);
            }
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
    m_waits.run(
        m_hub.lineOf(entry.path()),
        forGood ? QStringLiteral("delete for good") : QStringLiteral("delete"), entry.path(),
        entry.path(), DriveWait::Late::Deliver,
        [seams = seams(), entry, removal](Waiting& w) {
            return openedits::DeleteFileEntry(seams, entry, removal, w);
        },
        [this, entry](openedits::Result r) {
            switch (r.outcome) {
            case Outcome::Gone:
                m_hub.notice(openedits::goneText(entry));
                LoadOpenList();
                return;
            case Outcome::NotConnected:
                // Also when the drive went during the command, which then put back what it did.
                if (r.listing)
                    show(std::move(*r.listing));
                m_hub.notice(openedits::notConnectedText(entry, true));
                return;
            case Outcome::NotAnswering:
                m_hub.notice(openedits::notAnsweringText(entry));
                return;
            case Outcome::TrashRefused:
                if (m_hub.askDefaultNo(openedits::trashRefusedQuestion(entry)))
                    deleteEntry(entry, openedits::Removal::ForGood);
                return;
            case Outcome::Done:
                // A file deleted for good cannot come back, and an older step would not undo
                // this delete.
                if (r.deleted)
                    offerUndo(*r.deleted, QStringLiteral("Delete"));
                else
                    clearUndo();
                show(std::move(*r.listing));
                return;
            default:
                if (!r.partly) {
                    m_hub.fileFailure(openedits::notDeletedText(entry), r.result);
                    return;
                }
                clearUndo();
                show(std::move(*r.listing));
                m_hub.fileFailure(openedits::fileStayedText(entry), r.result);
            }
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
        [seams = seams(), e = *entry](Waiting&) { return openedits::removeFromList(seams, e); },
        [this, e = *entry](openedits::Result r) {
            if (r.outcome == Outcome::Failed) {
                reportSaveFailure(r.result);
                return;
            }
            if (r.outcome == Outcome::Gone)
                m_hub.notice(openedits::goneText(e));
            else
                offerUndo(*r.deleted, QStringLiteral("Remove"));
            show(std::move(*r.listing));
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
        const QString list = m_open.store().listPath();
        m_waits.run(
            work::Line::list(), QStringLiteral("clean up missing"), list, list,
            DriveWait::Late::Deliver,
            [seams = seams(), missing](Waiting&) {
                return openedits::cleanUpMissing(seams, missing);
            },
            [this](openedits::Result r) {
                if (r.outcome == Outcome::Failed) {
                    reportSaveFailure(r.result);
                    return;
                }
                if (r.cleaned)
                    offerUndo(*r.cleaned);
                show(std::move(*r.listing));
            });
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
    const QString list = m_open.store().listPath();
    m_waits.run(
        work::Line::list(), QStringLiteral("point entries"), offer.drive.key(), list,
        DriveWait::Late::Deliver,
        [seams = seams(), offer](Waiting&) {
            std::optional<drivefollow::Moved> moved;
            openedits::Result r = drivefollow::follow(seams, offer, &moved);
            return std::make_pair(std::move(r), moved);
        },
        [this](std::pair<openedits::Result, std::optional<drivefollow::Moved>> answer) {
            openedits::Result& r = answer.first;
            if (r.outcome == Outcome::Failed) {
                reportSaveFailure(r.result);
                return;
            }
            if (answer.second) {
                m_open.pins().renamedFolder(answer.second->from, answer.second->to);
                offerUndo(*answer.second);
            }
            show(std::move(*r.listing));
        });
}

void OpenTab::offerUndo(const drivefollow::Moved& step, bool again)
{
    auto run = [this, step] {
        const QString list = m_open.store().listPath();
        const bool started = m_waits.run(
            work::Line::list(), QStringLiteral("undo"), list, list, DriveWait::Late::Deliver,
            [seams = seams(), step](Waiting&) { return drivefollow::undoFollow(seams, step); },
            [this, step](openedits::Result r) {
                if (r.outcome == Outcome::Done)
                    m_open.pins().renamedFolder(step.to, step.from);
                finishUndo(std::move(r), {}, {}, [this, step] { offerUndo(step, true); });
            });
        if (!started)
            offerUndo(step, true);
    };
    const QString text = drivefollow::undoText(step);
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void OpenTab::offerUndo(const openedits::CleanedUp& step, bool again)
{
    auto run = [this, step] {
        const QString list = m_open.store().listPath();
        const bool started = m_waits.run(
            work::Line::list(), QStringLiteral("undo"), list, list, DriveWait::Late::Deliver,
            [seams = seams(), step](Waiting&) { return openedits::undoCleanUp(seams, step); },
            [this, step](openedits::Result r) {
                finishUndo(std::move(r), {}, {}, [this, step] { offerUndo(step, true); });
            });
        if (!started)
            offerUndo(step, true);
    };
    const QString text = QStringLiteral("Undo Clean Up Missing");
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void OpenTab::offerUndo(const openedits::DeletedEntry& step, const QString& verb, bool again)
{
    const QString path = step.entry.path();
    auto run = [this, step, verb, path] {
        const bool started = m_waits.run(
            m_hub.lineOf(path), QStringLiteral("undo"), path, path, DriveWait::Late::Deliver,
            [seams = seams(), step](Waiting& w) { return openedits::undoDelete(seams, step, w); },
            [this, step, verb, path](openedits::Result r) {
                // Put back in the trash elsewhere, the file is undone from there next time.
                const openedits::DeletedEntry retry = r.deleted ? *r.deleted : step;
                finishUndo(std::move(r), path, openedits::undoTexts(step),
                           [this, retry, verb] { offerUndo(retry, verb, true); });
            });
        if (!started)
            offerUndo(step, verb, true);
    };
    const QString text = QStringLiteral("Undo ") + verb + QStringLiteral(" of ") + step.entry.name;
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void OpenTab::offerUndo(const openedits::RenamedEntry& step, bool again)
{
    auto run = [this, step] {
        const bool started = m_waits.run(
            m_hub.lineOf(step.newFile), QStringLiteral("undo"), step.newPath, step.newFile,
            DriveWait::Late::Deliver,
            [seams = seams(), step](Waiting& w) { return openedits::undoRename(seams, step, w); },
            [this, step](openedits::Result r) {
                if (r.outcome == Outcome::Done)
                    m_open.pins().renamed(step.newPath, step.before.path());
                finishUndo(std::move(r), step.before.path(), openedits::undoTexts(step),
                           [this, step] { offerUndo(step, true); });
            });
        if (!started)
            offerUndo(step, true);
    };
    again ? offerUndoAgain(QStringLiteral("Undo Rename of ") + step.finalName, run)
          : setUndo(QStringLiteral("Undo Rename of ") + step.finalName, run);
}

void OpenTab::finishUndo(openedits::Result r, const QString& path, const UndoTexts& texts,
                         const std::function<void()>& offerAgain)
{
    if (r.outcome == Outcome::Done) {
        show(std::move(*r.listing), path);
        return;
    }
    if (tellUndo(m_hub, r.outcome, r.result, r.partly, texts))
        offerAgain();
    LoadOpenList();
}
