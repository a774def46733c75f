// Rename, Delete and Undo on the "Tools" tab: each asks, then posts the command of the core
// library on the shortcut the user chose, and shows what came of it.
#include "actions/Telling.h"
#include "actions/Undoing.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

using shortcutedits::Outcome;

void ToolsTab::withShortcut(shortcutedits::Edit edit,
                            std::function<void(const ShortcutEntry&)> then)
{
    const std::optional<ShortcutEntry> entry = chosen();
    if (!entry) {
        m_hub.notice(shortcutedits::noneChosenText());
        return;
    }
    m_waits.run(
        edit == shortcutedits::Edit::Rename ? QStringLiteral("rename") : QStringLiteral("delete"),
        Where::onList(entry->shortcutFile, entry->shortcutFile), DriveWait::Late::Drop,
        [files = &m_hub.files(), e = *entry, edit](Waiting&) {
            return shortcutedits::refusalOf(*files, e, edit);
        },
        [this, e = *entry, then = std::move(then)](const QString& refusal) {
            if (!refusal.isEmpty())
                m_hub.notice(refusal);
            else
                then(e);
        });
}

void ToolsTab::rename()
{
    withShortcut(shortcutedits::Edit::Rename, [this](const ShortcutEntry& e) { renameChosen(e); });
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
        QStringLiteral("rename shortcut"), Where::onList(entry.shortcutFile, entry.shortcutFile),
        DriveWait::Late::Deliver,
        [files = &m_hub.files(), app = m_hub.appFolder(), old = entry.shortcutFile,
         answer](Waiting&) { return shortcutedits::rename(*files, app, old, answer); },
        [this, entry, answer](const shortcutedits::Result& r) {
            tell(m_hub, shortcutedits::told(r, entry, answer));
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
    withShortcut(shortcutedits::Edit::Delete, [this](const ShortcutEntry& e) { removeChosen(e); });
}

void ToolsTab::removeChosen(const ShortcutEntry& entry)
{
    if (!m_hub.ask(shortcutedits::deleteQuestion(entry.fileName)))
        return;
    m_waits.run(
        QStringLiteral("delete shortcut"), Where::onList(entry.shortcutFile, entry.shortcutFile),
        DriveWait::Late::Deliver,
        [files = &m_hub.files(), file = entry.shortcutFile](Waiting&) {
            return shortcutedits::remove(*files, file);
        },
        [this, entry](const shortcutedits::Result& r) {
            tell(m_hub, shortcutedits::told(r, entry));
            if (r.undo)
                offerUndo(*r.undo);
            LoadShortcutList();
        });
}

void ToolsTab::offerUndo(const shortcutedits::ShortcutStep& step, bool again)
{
    auto run = [this, step] {
        const bool started = m_waits.run(
            QStringLiteral("undo"), Where::onList(step.file, step.file), DriveWait::Late::Deliver,
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
