#include "app/Main.h"

#include "app/Paths.h"
#include "app/SettingsMigration.h"
#include "platform/SettingsStore.h"

#include "mainwindow/frmQEL.h"
#include "mainwindow/QelListView.h"
#include "platform/qt/QtPrompter.h"

#include <QApplication>
#include <QTimer>

namespace {
// Delivers the window events that are already waiting, then goes on.
void yieldToEvents() {
    QCoreApplication::processEvents();
}
} // namespace

int Main(const PlatformServices& services) {
    frmQEL window(services); // 1. loaded hidden; Form_Load has run
    if (auto* prompter = dynamic_cast<QtPrompter*>(services.prompter))
        prompter->setParentWindow(&window);
    window.tmrFileUpdate->stop(); // 2.
    yieldToEvents();              // 3.
    window.InitMainWindow();      // 4.
    window.show();                // 5. the splash will hand over here
    yieldToEvents();              // 6.

    // 7. The example crown-mass file goes on the list once, on the very first run.
    const QString app = QString::fromLatin1(kAppName);
    const QString section = QString::fromLatin1(kSection);
    SettingsStore& settings = *services.settings;
    if (!readBooleanText(
            settings.read(app, section, QStringLiteral("CRNExample"), QStringLiteral("False")),
            false)) {
        window.TouchFileEntry(paths::join(paths::join(services.appFolder, QStringLiteral("data")),
                                          QStringLiteral("CRNexample.crn")),
                              QStringLiteral("CRN"));
        settings.write(app, section, QStringLiteral("CRNExample"), QStringLiteral("True"));
    }
    window.LoadOpenList();         // 8.
    window.LoadNewList();          // 9.
    yieldToEvents();               // 11.
    window.TabMain->setCurrTab(0); // 13.
    window.lstQEL[0]->setFocus();
    yieldToEvents();                // 14.
    window.SyncDataFolderEntries(); // 15. (reports its own failure; the start goes on)
    window.tmrFileUpdate->start();  // 16.
    return QApplication::exec();
}
