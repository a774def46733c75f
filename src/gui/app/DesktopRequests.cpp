#include "app/DesktopRequests.h"

#include "actions/Launching.h"
#include "formats/LaunchTable.h"
#include "mainwindow/frmQEL.h"
#include "platform/FileSystem.h"
#include "platform/WindowActivation.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <QEvent>

#include <algorithm>

namespace {
enum class Found { Nothing, File, Other };
} // namespace

DesktopRequests::DesktopRequests(frmQEL& window, Activate activate)
    : m_window(window)
    , m_activate(activate
                     ? std::move(activate)
                     : [](QWidget& w, const QByteArray& token) { activateWithToken(w, token); })
    , m_waits(window.hub(), *window.lstQEL[size_t(Tab::Open)])
{
    m_window.installEventFilter(this);
}

void DesktopRequests::received(const HandOver& later, QWidget& front)
{
    if (front.isMinimized())
        front.showNormal();
    front.show();
    front.raise();
    m_activate(front, later.token);
    take(later.items);
}

void DesktopRequests::take(const QList<HandOver::Item>& items)
{
    if (items.isEmpty())
        return;
    m_pending.append(items);
    if (m_window.isVisible())
        handlePending();
}

bool DesktopRequests::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Show && !m_pending.isEmpty()) {
        // Once the window is on screen, so that what follows (a message, a tool) comes after it.
        QMetaObject::invokeMethod(this, &DesktopRequests::handlePending, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void DesktopRequests::handlePending()
{
    if (!m_window.isVisible())
        return;
    const QList<QList<HandOver::Item>> commandLines = std::exchange(m_pending, {});
    for (const QList<HandOver::Item>& items : commandLines) {
        const auto files = std::count_if(items.begin(), items.end(), [](const HandOver::Item& i) {
            return i.what == HandOver::What::File;
        });
        // Asked once per command line; No opens none of its files.
        const bool openFiles =
            files <= kFilesWithoutAsking ||
            m_window.hub().ask(
                QStringLiteral("Open %1 files? Each one starts its companion tool.").arg(files));
        for (const HandOver::Item& item : items) {
            switch (item.what) {
            case HandOver::What::New:
                begin(item.text);
                break;
            case HandOver::What::File:
                if (openFiles)
                    open(item.text);
                break;
            case HandOver::What::Tool:
            case HandOver::What::Link:
                openEntry(item.what == HandOver::What::Tool ? Tab::Tools : Tab::Web, item.text);
                break;
            }
        }
    }
}

void DesktopRequests::open(const QString& path)
{
    FileSystem* files = &m_window.hub().files();
    m_waits.run(
        QStringLiteral("open"), Where::of(path), DriveWait::Late::Drop,
        [files, path](Waiting&) {
            if (files->isFile(path))
                return Found::File;
            return files->exists(path) ? Found::Other : Found::Nothing;
        },
        [this, path](Found found) {
            switch (found) {
            case Found::Nothing:
                m_window.hub().notice(QStringLiteral("File does not exist: ") + path);
                break;
            case Found::Other:
                m_window.hub().notice(QStringLiteral("The file can not be opened"));
                break;
            case Found::File:
                m_window.launching().openDataFile(path);
                break;
            }
        });
}

void DesktopRequests::openEntry(Tab tab, const QString& key)
{
    // The tab's list may still be loading at start-up: its entry is opened once it shows.
    QelListView& list = *m_window.lstQEL[size_t(tab)];
    list.whenShown(this, [this, tab, key] {
        if (!m_window.openEntry(tab, key))
            m_window.hub().notice(key + QStringLiteral(" is no longer in the list."));
    });
}

void DesktopRequests::begin(const QString& kind)
{
    if (const auto command = commandForNew(m_window.hub().appFolder(), kind.toUpper()))
        m_window.launching().LaunchCommand(command->program, command->arguments);
}
