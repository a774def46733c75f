#include "app/Main.h"

#include "app/frmSplash.h"
#include "app/Paths.h"
#include "app/SettingsMigration.h"
#include "mainwindow/frmQEL.h"
#include "mainwindow/QelListView.h"
#include "platform/qt/QtPrompter.h"
#include "platform/SettingsStore.h"

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
void addExampleOnFirstRun(frmQEL& window, const PlatformServices& services)
{
    const QString app = QString::fromLatin1(kAppName);
    const QString section = QString::fromLatin1(kSection);
    SettingsStore& settings = *services.settings;
    const QString added =
        settings.read(app, section, QStringLiteral("CRNExample"), QStringLiteral("False"));
    if (readBooleanText(added, false))
        return;
    const QString data = paths::join(services.appFolder, QStringLiteral("data"));
    window.TouchFileEntry(paths::join(data, QStringLiteral("CRNexample.crn")),
                          QStringLiteral("CRN"));
    settings.write(app, section, QStringLiteral("CRNExample"), QStringLiteral("True"));
}
} // namespace

int Main(const PlatformServices& services)
{
    frmQEL window(services); // 1. loaded hidden; Form_Load has run
    if (auto* prompter = dynamic_cast<QtPrompter*>(services.prompter))
        prompter->setParentWindow(&window);
    window.tmrFileUpdate->stop(); // 2.
    yieldToEvents();              // 3.
    window.InitMainWindow();      // 4.

    frmSplash splash(services, &window); // 5. the splash shows the main window when it goes
    if (!splash.Form_Load())
        return 0; // another instance runs: end at once, asking nothing
    if (const QScreen* screen = splash.screen())
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    splash.show();
    splash.activateWindow();
    yieldToEvents(); // 6.

    addExampleOnFirstRun(window, services); // 7.
    window.LoadOpenList();                  // 8.
    window.LoadNewList();                   // 9.
    // 10. The "Tools" list and 12. the "Web" list arrive with their own parts.
    yieldToEvents();               // 11.
    window.TabMain->setCurrTab(0); // 13.
    window.lstQEL[0]->setFocus();
    yieldToEvents();                // 14.
    window.SyncDataFolderEntries(); // 15. reports its own failure; the start goes on
    window.tmrFileUpdate->start();  // 16.

    // The user may have closed the main window (and said Yes) during a yield: then there is
    // nothing left to show, and the program ends rather than running invisibly.
    if (window.exitConfirmed())
        return 0;
    return QApplication::exec();
}
