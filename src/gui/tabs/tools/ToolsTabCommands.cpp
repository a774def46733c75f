// Rename, Delete and Undo on the "Tools" tab: each asks, then posts the command of the core
// library on the shortcut the user chose, and shows what came of it.
#include "actions/Undoing.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

using shortcutedits::Outcome;

void ToolsTab::withShortcut(shortcutedits::Command command,
                            std::function<void(const ShortcutEntry&)> then)
{
    const std::optional<ShortcutEntry> entry = chosen();
    if (!entry) {
        m_hub.notice(shortcutedits::noneChosenText());
        return;
    }
    m_waits.run(
        work::Line::list(),
        command == shortcutedits::Command::Rename ? QStringLiteral("rename")
                                                  : QStringLiteral("delete"),
        entry->shortcutFile, entry->shortcutFile, DriveWait::Late::Drop,
        [files = &m_hub.files(), e = *entry, command](Waiting&) {
            return shortcutedits::refusalOf(*files, e, command);
        },
        [this, e = *entry, then = std::move(then)](const QString& refusal) {
            if (!refusal.isEmpty())
                m_hub.notice(refusal);
            else
                then(e);
        });
}

void ToolsTab::tell(const commands::Told& told, const FileResult& result) const
{
    if (!told.failure.isEmpty())
        m_hub.fileFailure(told.failure, result);
    else if (!told.notice.isEmpty())
        m_hub.notice(told.notice);
}

void ToolsTab::rename()
{
    withShortcut(shortcutedits::Command::Rename,
                 [this](const ShortcutEntry& e) { renameChosen(e); });
}

void ToolsTab::renameChosen(const ShortcutEntry& entry)
{
    const QString answer = m_hub.prompter().inputBox(shortcutedits::renamePrompt(entry),
                                                     QStringLiteral("  "), QStringLiteral(" "));
    if (answer.isEmpty()) {
        LoadShortcutList();
        return;
    }
    m_waits.run(
        work::Line::list(), QStringLiteral("rename shortcut"), entry.shortcutFile,
        entry.shortcutFile, DriveWait::Late::Deliver,
        [files = &m_hub.files(), app = m_hub.appFolder(), old = entry.shortcutFile,
         answer](Waiting&) { return shortcutedits::rename(*files, app, old, answer); },
        [this, entry, answer](const shortcutedits::Result& r) {
            tell(shortcutedits::told(r, entry, answer), r.result);
            if (r.outcome == Outcome::Done) {
                m_selectAfterLoad = r.newFile;
                m_pins.renamed(entry.shortcutFile, r.newFile);
                if (r.undo)
                    offerUndo(*r.undo);
            }
            LoadShortcutList();
        });
}

void ToolsTab::remove()
{
    withShortcut(shortcutedits::Command::Delete,
                 [this](const ShortcutEntry& e) { removeChosen(e); });
}

void ToolsTab::removeChosen(const ShortcutEntry& entry)
{
    if (!m_hub.ask(shortcutedits::deleteQuestion(entry.fileName)))
        return;
    m_waits.run(
        work::Line::list(), QStringLiteral("delete shortcut"), entry.shortcutFile,
        entry.shortcutFile, DriveWait::Late::Deliver,
        [files = &m_hub.files(), file = entry.shortcutFile](Waiting&) {
            return shortcutedits::remove(*files, file);
        },
        [this, entry](const shortcutedits::Result& r) {
            tell(shortcutedits::told(r, entry), r.result);
            if (r.undo)
                offerUndo(*r.undo);
            LoadShortcutList();
        });
}

void ToolsTab::offerUndo(const shortcutedits::ShortcutStep& step, bool again)
{
    auto run = [this, step] {
        const bool started = m_waits.run(
            work::Line::list(), QStringLiteral("undo"), step.file, step.file,
            DriveWait::Late::Deliver,
            [files = &m_hub.files(), step](Waiting&) { return shortcutedits::undo(*files, step); },
            [this, step](const shortcutedits::Result& r) {
                if (r.outcome == Outcome::Done) {
                    m_selectAfterLoad = step.file;
                    if (!step.renamedTo.isEmpty())
                        m_pins.renamed(step.renamedTo, step.file);
                } else if (tellUndo(m_hub, r.outcome, r.result, r.outcome == Outcome::OldKept,
                                    shortcutedits::undoTexts(step)))
                    offerUndo(step, true);
                LoadShortcutList();
            });
        if (!started)
            offerUndo(step, true);
    };
    const QString text = shortcutedits::undoCaption(step);
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}
