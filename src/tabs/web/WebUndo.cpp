// Edit > Undo on the "Web" tab: deleted links come back as the lines they were, where they stood;
// a renamed link gets its old name and address back. A link of the old name that is there now
// is never doubled.
#include "tabs/web/WebTab.h"
#include "ui/HubContext.h"
#include "work/Work.h"

namespace {
bool holdsName(const QList<WebLinkRecord>& links, const QString& name)
{
    return std::any_of(links.begin(), links.end(),
                       [&](const WebLinkRecord& l) { return l.name == name; });
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}
} // namespace

void WebTab::offerUndo(const DeletedLinks& step, bool again)
{
    const QString text = QStringLiteral("Undo Delete of ") + step.name;
    auto run = [this, step] { undoDelete(step); };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void WebTab::offerUndo(const RenamedLink& step, bool again)
{
    const QString text = QStringLiteral("Undo Rename of ") + step.after.name;
    auto run = [this, step] { undoRename(step); };
    again ? offerUndoAgain(text, run) : setUndo(text, run);
}

void WebTab::undoDelete(const DeletedLinks& step)
{
    struct Answer {
        Undone outcome = Undone::Failed;
        FileResult result;
    };
    const bool started = m_waits.run(
        work::Line::list(), QStringLiteral("undo"), step.name, DriveWait::Late::Deliver,
        [store = m_store, step]() mutable {
            Answer a;
            if (holdsName(store.read().records, step.name)) {
                a.outcome = Undone::Taken;
                return a;
            }
            a.result = store.putBack(step.lines);
            a.outcome = a.result.ok ? Undone::Done : Undone::Failed;
            return a;
        },
        [this, step](const Answer& a) {
            finishUndo(a.outcome, a.result, step.name, [this, step] { offerUndo(step, true); });
        });
    if (!started)
        offerUndo(step, true);
}

void WebTab::undoRename(const RenamedLink& step)
{
    struct Answer {
        Undone outcome = Undone::Failed;
        FileResult result;
    };
    const bool started = m_waits.run(
        work::Line::list(), QStringLiteral("undo"), step.after.name, DriveWait::Late::Deliver,
        [store = m_store, step, order = screenOrder()]() mutable {
            Answer a;
            const WebLinkList::Contents now = store.read();
            if (!holdsName(now.records, step.after.name)) {
                a.outcome = Undone::Gone;
                return a;
            }
            if (step.before.name != step.after.name && holdsName(now.records, step.before.name)) {
                a.outcome = Undone::Taken;
                return a;
            }
            // Written in the list's order, as the rename wrote it.
            a.result = store.replace(step.after, step.before.name, step.before.url, order);
            a.outcome = a.result.ok ? Undone::Done : Undone::Failed;
            return a;
        },
        [this, step](const Answer& a) {
            if (a.outcome == Undone::Gone) {
                m_hub.notice(QStringLiteral("Cannot undo: the web link ") +
                             quoted(step.after.name) +
                             QStringLiteral(" is no longer in the list. Nothing was changed."));
                LoadWebList();
                return;
            }
            finishUndo(a.outcome, a.result, step.before.name,
                       [this, step] { offerUndo(step, true); });
        });
    if (!started)
        offerUndo(step, true);
}

void WebTab::finishUndo(Undone outcome, const FileResult& result, const QString& select,
                        const std::function<void()>& offerAgain)
{
    switch (outcome) {
    case Undone::Done:
        m_selectAfterLoad = select;
        break;
    case Undone::Taken:
        m_hub.notice(QStringLiteral("Cannot undo: a web link named ") + quoted(select) +
                     QStringLiteral(" already exists. Nothing was changed."));
        offerAgain();
        break;
    case Undone::Gone: // told by the caller, which knows what went
        break;
    case Undone::Failed:
        m_hub.fileFailure(QStringLiteral("The undo did not go through. Nothing was changed."),
                          result);
        offerAgain();
        break;
    }
    LoadWebList();
}
