// Rename, Delete and Undo on the "Tools" tab: each asks, then posts the command of the core
// library on the shortcut the user chose, and shows what came of it.
#include "actions/Undoing.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

using shortcutedits::Outcome;

void ToolsTab::withShortcut(const QString& what, std::function<void(const ShortcutEntry&)> then)
{
    const std::optional<ShortcutEntry> entry = chosen();
    if (!entry) {
        m_hub.notice(QStringLiteral("Please select shortcut"));
        return;
    }
    FileSystem* files = &m_hub.files();
    m_waits.run(
        work::Line::list(), what, entry->shortcutFile, entry->shortcutFile, DriveWait::Late::Drop,
        [files, file = entry->shortcutFile](Waiting&) { return files->isFile(file); },
        [this, e = *entry, then = std::move(then)](bool there) {
            if (!there) {
                m_hub.notice(QStringLiteral("Please select shortcut"));
                return;
            }
            then(e);
        });
}

void ToolsTab::rename()
{
    withShortcut(QStringLiteral("rename"), [this](const ShortcutEntry& e) { renameChosen(e); });
}

void ToolsTab::renameChosen(const ShortcutEntry& entry)
{
    if (shortcutedits::protectionOf(entry.fileName).noRename) {
        m_hub.notice(QStringLiteral("Sorry, you can't rename this shortcut"));
        return;
    }
    const QString current = entry.fileName.left(entry.fileName.size() - 4);
    const QString answer = m_hub.prompter().inputBox(QStringLiteral("Rename shortcut ") + current,
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
            switch (r.outcome) {
            case Outcome::Refused:
                m_hub.notice(r.refusal);
                break;
            case Outcome::Gone:
                m_hub.notice(shortcutedits::goneText(entry.fileName));
                break;
            case Outcome::Taken:
                m_hub.notice(shortcutedits::takenText(answer));
                break;
            case Outcome::OldKept:
                m_hub.fileFailure(shortcutedits::oldKeptText(answer, entry.fileName), r.result);
                break;
            case Outcome::Done:
                m_selectAfterLoad = r.newFile;
                m_pins.renamed(entry.shortcutFile, r.newFile);
                if (r.undo)
                    offerUndo(*r.undo);
                break;
            default:
                m_hub.fileFailure(shortcutedits::notRenamedText(), r.result);
                break;
            }
            LoadShortcutList();
        });
}

void ToolsTab::remove()
{
    withShortcut(QStringLiteral("delete"), [this](const ShortcutEntry& e) { removeChosen(e); });
}

void ToolsTab::removeChosen(const ShortcutEntry& entry)
{
    if (shortcutedits::protectionOf(entry.fileName).noDelete) {
        m_hub.notice(QStringLiteral("Sorry, you can't delete this shortcut"));
        return;
    }
    if (!m_hub.ask(shortcutedits::deleteQuestion(entry.fileName)))
        return;
    m_waits.run(
        work::Line::list(), QStringLiteral("delete shortcut"), entry.shortcutFile,
        entry.shortcutFile, DriveWait::Late::Deliver,
        [files = &m_hub.files(), file = entry.shortcutFile](Waiting&) {
            return shortcutedits::remove(*files, file);
        },
        [this, entry](const shortcutedits::Result& r) {
            if (r.outcome == Outcome::Gone)
                m_hub.notice(shortcutedits::goneText(entry.fileName));
            else if (r.undo)
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
