// Drag and drop onto the window: each tab says what a drop does for it (a data file opens as
// Browse would open it, a program dropped on the "Tools" tab becomes a shortcut, a web address
// dropped on the "Web" tab opens the web link dialog with it). Anything else is refused while it
// is dragged, so the pointer shows that it cannot be dropped.
#include "mainwindow/frmQEL.h"
#include "ui/TabController.h"

#include <QDragEnterEvent>
#include <QDropEvent>

std::function<void()> frmQEL::dropOf(const QMimeData* data) const
{
    const int shown = TabMain->CurrTab();
    if (shown >= 0 && shown < kTabCount) {
        if (auto action = controller(shown).dropAction(data, true))
            return action;
    }
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (tab == shown)
            continue;
        if (auto action = controller(tab).dropAction(data, false))
            return action;
    }
    return {};
}

void frmQEL::dragEnterEvent(QDragEnterEvent* event)
{
    if (dropOf(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmQEL::dragMoveEvent(QDragMoveEvent* event)
{
    if (dropOf(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmQEL::dropEvent(QDropEvent* event)
{
    const std::function<void()> action = dropOf(event->mimeData());
    if (!action) {
        event->ignore();
        return;
    }
    action();
    event->acceptProposedAction();
}
