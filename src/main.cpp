#include "app/Main.h"
#include "platform/PlatformServices.h"
#include "platform/QSettingsStore.h"
#include "platform/qt/QtPrompter.h"

#include <QApplication>
#include <QDir>

#ifdef Q_OS_WIN
#include "platform/windows/WinDriveTable.h"
#else
#include "platform/linux/MountDriveTable.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keldara"));

    QSettingsStore settings;
#ifdef Q_OS_WIN
    WinDriveTable drives;
#else
    MountDriveTable drives;
#endif
    QtPrompter prompter;

    PlatformServices services;
    services.appFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    services.settings = &settings;
    services.drives = &drives;
    services.prompter = &prompter;
    return Main(services);
}
