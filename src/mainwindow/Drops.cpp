// Drag and drop onto the window: a data file opens with its tool as Browse would open it; a
// program dropped on the "Tools" tab becomes a shortcut as Create would make it; a web address
// dropped on the "Web" tab opens the web link dialog with the address filled in. Anything else is
// refused while it is dragged, so the pointer shows that it cannot be dropped.
#include "lists/DataFileKind.h"
#include "mainwindow/frmQEL.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

std::pair<frmQEL::DropKind, QString> frmQEL::dropOf(const QMimeData* data) const
{
    const Tab tab = Tab(TabMain->CurrTab());
    QUrl url;
    QString address; // as the user will see it in the dialog
    if (data->hasUrls() && data->urls().size() == 1) {
        url = data->urls().first();
        address = url.toString();
    } else if (data->hasText()) {
        address = data->text().trimmed();
        url = QUrl(address, QUrl::TolerantMode);
    }
    if (url.isLocalFile()) {
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        if (!QFileInfo(path).isFile())
            return {DropKind::None, {}};
        if (KindFromExtension(path) != 99)
            return {DropKind::DataFile, path};
        if (tab == Tab::Tools)
            return {DropKind::Program, path};
    } else if (tab == Tab::Web && url.isValid() &&
               (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))) {
        return {DropKind::WebAddress, address};
    }
    return {DropKind::None, {}};
}

void frmQEL::dragEnterEvent(QDragEnterEvent* event)
{
    if (dropOf(event->mimeData()).first != DropKind::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmQEL::dragMoveEvent(QDragMoveEvent* event)
{
    if (dropOf(event->mimeData()).first != DropKind::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmQEL::dropEvent(QDropEvent* event)
{
    const auto [kind, target] = dropOf(event->mimeData());
    switch (kind) {
    case DropKind::None:
        event->ignore();
        return;
    case DropKind::DataFile:
        m_open->openChosenFile(target);
        break;
    case DropKind::Program:
        m_tools->createShortcutTo(target);
        m_tools->LoadShortcutList();
        break;
    case DropKind::WebAddress:
        m_web->createWithAddress(target);
        break;
    }
    event->acceptProposedAction();
}
