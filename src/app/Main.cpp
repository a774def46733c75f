#include "app/Main.h"

#include "actions/ToolsTab.h"
#include "app/frmSplash.h"
#include "app/SettingsMigration.h"
#include "base/Paths.h"
#include "lists/OpenTab.h"
#include "mainwindow/frmQEL.h"
#include "mainwindow/NewTab.h"
#include "platform/SettingsStore.h"
#include "ui/QelListView.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

namespace {
// Delivers the window events that are already waiting, then goes on.
void yieldToEvents()
{
    QCoreApplication::processEvents();
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

    frmSplash splash(window.hub(), &window); // 5. the splash shows the main window when it goes
    if (!splash.Form_Load())
        return 0; // another instance runs: end at once, asking nothing
    if (const QScreen* screen = splash.screen())
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    splash.show();
    splash.activateWindow();
    yieldToEvents(); // 6.

    addExampleOnFirstRun(window.openTab(), services); // 7.
    window.openTab().LoadOpenList();                  // 8.
    window.newTab().LoadNewList();                    // 9.
    window.toolsTab().LoadShortcutList();             // 10.
    // 12. The "Web" list arrives with its own part.
    yieldToEvents();               // 11.
    window.TabMain->setCurrTab(0); // 13.
    window.lstQEL[0]->setFocus();
    yieldToEvents();                          // 14.
    window.openTab().SyncDataFolderEntries(); // 15. reports its own failure; the start goes on
    window.tmrFileUpdate->start();            // 16.

    // The user may have closed the main window (and said Yes) during a yield: then there is
    // nothing left to show, and the program ends rather than running invisibly.
    if (window.exitConfirmed())
        return 0;
    return QApplication::exec();
}
