#include "app/Main.h"

#include "app/frmSplash.h"
#include "base/Paths.h"
#include "mainwindow/frmQEL.h"
#include "platform/InstanceGuard.h"
#include "platform/qt/InstanceChannel.h"
#include "platform/SettingsStore.h"
#include "setup/SettingsMigration.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {
// Shows the window in front, restored if it was minimised.
void bringForward(QWidget& w)
{
    if (w.isMinimized())
        w.showNormal();
    w.show();
    w.raise();
    w.activateWindow();
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

int Main(const PlatformServices& services)
{
    frmQEL window(services);      // 1. loaded hidden; Form_Load has run
    window.tmrFileUpdate->stop(); // 2.
    yieldToEvents();              // 3.
    // 4. The window's initialisation begins with the one-time settings migration.
    MigrateSettings(*services.settings, *services.drives, services.appFolder);
    window.InitMainWindow();
    window.restoreWindowState(); // ours: the place and widths the user left, before it shows

    frmSplash splash(window.hub(), &window); // 5. the splash shows the main window when it goes
    if (!splash.Form_Load()) {
        // Another instance runs: after the message, its window comes forward, and this one ends
        // at once, asking nothing.
        if (const InstanceGuard* instance = services.instance; instance)
            InstanceChannel::askToRaise(instance->channelPath());
        return 0;
    }
    InstanceChannel channel(services.instance ? services.instance->channelPath() : QString());
    if (services.instance) {
        channel.listen([&window, &splash] {
            bringForward(splash.isVisible() ? static_cast<QWidget&>(splash) : window);
        });
    }
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
