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
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {
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
void addExampleOnFirstRun(OpenTab& open, const PlatformServices& services)
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
} // namespace

int Main(const PlatformServices& services, const HandOver& request)
{
    // Ours: a start asked for files or kinds gives them to the hub that runs, and ends without
    // the single-instance message; the user asked for a file, not for a second hub.
    if (handedOver(services, request))
        return 0;
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
    InstanceChannel channel(services.instance ? services.instance->channelPath() : QString());
    if (services.instance) {
        channel.listen([&window, &splash, &requests](const HandOver& later) {
            requests.received(later, splash.isVisible() ? static_cast<QWidget&>(splash) : window);
        });
    }
    requests.take(request.items); // handled once the main window shows
    if (const QScreen* screen = splash.screen())
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    splash.show();
    splash.activateWindow();
    yieldToEvents(); // 6.

    addExampleOnFirstRun(window.openTab(), services); // 7.
    window.openTab().LoadOpenList();                  // 8.
    window.newTab().LoadNewList();                    // 9.
    window.toolsTab().LoadShortcutList();             // 10.
    yieldToEvents();                                  // 11.
    window.webTab().LoadWebList();                    // 12.
    window.TabMain->setCurrTab(0);                    // 13.
    window.lstQEL[0]->setFocus();
    yieldToEvents();                          // 14.
    window.openTab().SyncDataFolderEntries(); // 15. reports its own failure; the start goes on
    window.tmrFileUpdate->start();            // 16.

    // The user may have closed the main window (and said Yes) during a yield: then, unless an
    // about box or the help is still open, there is nothing left to show, and the program ends
    // rather than running invisibly. Otherwise the program ends when its last window closes.
    if (window.exitConfirmed() && !anyWindowOpen())
        return 0;
    const int code = QApplication::exec();
    // A change the user made just before quitting is let finish; work that waits on a drive that
    // does not answer is not waited for, and cannot harm a list: every rewrite is one atomic step.
    work::finishListWork(500);
    return code;
}
