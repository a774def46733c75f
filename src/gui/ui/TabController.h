#pragma once

#include "lists/ListRows.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QMimeData;
class QWidget;

// What the main window hands to the controller of a tab, and what it asks of it. Each tab does
// what applies to it; the rest does nothing, as Create does on the "New" and "Open" tabs.
class TabController {
public:
    virtual ~TabController() = default;
    // A double-click, or Enter, on the tab's list.
    virtual void open() {}
    virtual void create() {}
    virtual void rename() {}
    virtual void remove() {}
    // Fills the tab's list again from its store.
    virtual void reload() {}
    // The rows the tab's list shows now (none before its first load), for a search over every
    // tab: the tab's own, never read back from the view.
    virtual SharedRows shownRows() const { return {}; }

    // Commands of the tab's own in the context menu of an entry, or of the list's empty space.
    // `name` is the command's for the menu bar, which offers each one too (see the main
    // window's table of them); `text` is its caption.
    struct Command {
        QString name;
        QString text;
        std::function<void()> run;
    };
    virtual QList<Command> entryCommands() { return {}; }
    virtual QList<Command> spaceCommands() { return {}; }
    // The sub-items that the filter matches besides the entry's text.
    virtual QList<int> filterColumns() const { return {}; }
    // What dropping `data` on the window does for this tab, or nothing when the tab does not
    // take it; `shown` tells whether the tab is the one on screen.
    virtual std::function<void()> dropAction(const QMimeData* data, bool shown)
    {
        (void)data;
        (void)shown;
        return {};
    }

    // Edit > Undo: the tab's last Delete or Rename of this run, one step. Its text names it
    // ("Undo Delete of c.fpl"); empty when there is nothing to undo.
    QString undoText() const { return m_undo ? m_undo->text : QString(); }
    // Takes the step back. The step is spent once started, so that a second Ctrl+Z cannot run
    // it twice; an undo that could change nothing offers it again.
    void undo()
    {
        if (!m_undo)
            return;
        const std::function<void()> run = std::move(m_undo->run);
        m_undo.reset();
        undoChanged();
        run();
    }
    // Called whenever the step changes, so that the menu item follows.
    void setUndoChanged(std::function<void()> changed) { m_undoChanged = std::move(changed); }

protected:
    // The step a Delete or Rename just made; it replaces the one before.
    void setUndo(const QString& text, std::function<void()> run)
    {
        m_undo = UndoStep{text, std::move(run)};
        undoChanged();
    }
    // The same after an undo that changed nothing, unless a newer step came meanwhile.
    void offerUndoAgain(const QString& text, std::function<void()> run)
    {
        if (!m_undo)
            setUndo(text, std::move(run));
    }
    // A change that cannot be undone: an older step would undo something other than the last.
    void clearUndo()
    {
        m_undo.reset();
        undoChanged();
    }

private:
    struct UndoStep {
        QString text;
        std::function<void()> run;
    };
    void undoChanged() const
    {
        if (m_undoChanged)
            m_undoChanged();
    }
    std::optional<UndoStep> m_undo;
    std::function<void()> m_undoChanged;
};
