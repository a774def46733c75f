#include "app/Main.h"

#include "app/DesktopRequests.h"
#include "app/frmSplash.h"
#include "base/Paths.h"
#include "mainwindow/frmQEL.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceGuard.h"
#include "platform/SettingsStore.h"
#include "setup/SettingsMigration.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
// How long the end waits for commands still running.
constexpr int kExitPatienceMs = 3000;

using Damage = OpenList::Damage;

// A start that was asked to open or begin something hands that to the hub that runs. True when
// a hub took it. When none runs, this start takes the instance lock and becomes the hub; while
// a hub that holds the lock is still starting (it listens a moment later), it is tried again.
bool handedOver(const PlatformServices& services, const HandOver& request)
{
    InstanceGuard* instance = services.instance;
    if (!instance || request.items.isEmpty())
        return false;
    const QDeadlineTimer patience(5000);
    for (;;) {
        if (InstanceChannel::handOver(instance->channelPath(), request))
            return true;
        if (instance->tryAcquire() || patience.hasExpired())
            return false;
        QEventLoop pause;
        QTimer::singleShot(100, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

// Delivers the window events that are already waiting, then goes on.
void yieldToEvents()
{
    QCoreApplication::processEvents();
}

// True while a window that keeps the program running (the main window, an about box, the help)
// is on screen.
bool anyWindowOpen()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
        return w->isVisible() && w->testAttribute(Qt::WA_QuitOnClose);
    });
}

// The example crown-mass file goes on the recent-file list once, on the very first run.
void addExampleOnFirstRun(OpenList& open, const PlatformServices& services)
{
    const QString app = QString::fromLatin1(kAppName);
    const QString section = QString::fromLatin1(kSection);
    SettingsStore& settings = *services.settings;
    const QString added =
        settings.read(app, section, QStringLiteral("CRNExample"), QStringLiteral("False"));
    if (readBooleanText(added, false))
        return;
    const QString data = paths::join(services.appFolder, QStringLiteral("data"));
    open.TouchFileEntry(paths::join(data, QStringLiteral("CRNexample.crn")), QStringLiteral("CRN"));
    settings.write(app, section, QStringLiteral("CRNExample"), QStringLiteral("True"));
}
// Turns on the end of the program with its last window once the window it watches shows. The
// splash is no window that keeps a program running: a message box answered while only the
// splash shows would otherwise end the program before its main window ever came up.
class QuitOnceShown : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            QApplication::setQuitOnLastWindowClosed(true);
        return false;
    }
};

// The program's end. A later start may begin at once, so the instance lock and the channel go
// first. Commands already running are let finish, for a while: a rename or delete half done is
// left to none. Where a line still waits on a drive that does not answer, the program ends
// without destroying what that line's job may still touch (the application, the services, the
// window's objects): no destructor runs then, and every list rewrite is one atomic step.
int ended(const PlatformServices& services, std::optional<InstanceChannel>& channel, int code)
{
    channel.reset();
    if (services.instance)
        services.instance->release();
    if (work::finishWork(kExitPatienceMs))
        return code;
    std::fflush(nullptr);
    std::_Exit(code);
}
} // namespace

int Main(const PlatformServices& services, const HandOver& request)
{
    // Ours: a start asked for files or kinds gives them to the hub that runs, and ends without
    // the single-instance message; the user asked for a file, not for a second hub.
    if (handedOver(services, request))
        return 0;
    // While the start is under way, neither the splash going nor the last message box being
    // answered ends the program: the start goes on to its window (see QuitOnceShown).
    QApplication::setQuitOnLastWindowClosed(false);
    frmQEL window(services);      // 1. loaded hidden; Form_Load has run
    window.tmrFileUpdate->stop(); // 2.
    yieldToEvents();              // 3.
    // 4. The window's initialisation begins with the one-time settings migration.
    MigrateSettings(*services.settings, *services.drives, services.appFolder);
    window.InitMainWindow();
    window.restoreWindowState(); // ours: the place and widths the user left, before it shows

    frmSplash splash(window.hub(), &window); // 5. the splash shows the main window when it goes
    if (!splash.Form_Load()) {
        // Another instance runs: after the message, its window comes forward (with whatever this
        // start was asked for, should that hub not have answered at first), and this one ends at
        // once, asking nothing.
        if (const InstanceGuard* instance = services.instance; instance)
            InstanceChannel::handOver(instance->channelPath(), request);
        return 0;
    }
    DesktopRequests requests(window);
    std::optional<InstanceChannel> channel(
        std::in_place, services.instance ? services.instance->channelPath() : QString());
    if (services.instance) {
        channel->listen([&window, &splash, &requests](const HandOver& later) {
            requests.received(later, splash.isVisible() ? static_cast<QWidget&>(splash) : window);
        });
    }
    requests.take(request.items); // handled once the main window shows
    if (const QScreen* screen = splash.screen())
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    splash.show();
    splash.activateWindow();
    yieldToEvents(); // 6.

    addExampleOnFirstRun(window.openTab().openList(), services); // 7.
    window.openTab().openList().LoadOpenList(Damage::Report);    // 8.
    window.newTab().LoadNewList();                               // 9.
    window.toolsTab().LoadShortcutList();                        // 10.
    yieldToEvents();                                             // 11.
    window.webTab().LoadWebList();                               // 12.
    window.TabMain->setCurrTab(0);                               // 13.
    window.lstQEL[0]->setFocus();
    yieldToEvents(); // 14.
    window.openTab()
        .openList()
        .SyncDataFolderEntries();  // 15. reports its own failure; the start goes on
    window.tmrFileUpdate->start(); // 16.

    // The user may have closed the main window (and said Yes) during a yield: then, unless an
    // about box or the help is still open, there is nothing left to show, and the program ends
    // rather than running invisibly. Otherwise the program ends when its last window closes.
    int code = 0;
    if (!window.exitConfirmed() || anyWindowOpen()) {
        if (!window.isVisible() && !splash.isVisible() && !window.exitConfirmed())
            window.show(); // nothing of the start is on screen: the window shows now
        QuitOnceShown quitOnceShown;
        if (window.isVisible() || window.exitConfirmed())
            QApplication::setQuitOnLastWindowClosed(true);
        else
            window.installEventFilter(&quitOnceShown); // the splash shows it when it goes
        code = QApplication::exec();
    }
    QApplication::setQuitOnLastWindowClosed(true); // as Qt has it, for whatever comes after
    return ended(services, channel, code);
}
