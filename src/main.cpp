#include "app/Main.h"
#include "base/Paths.h"
#include "platform/LocalFileSystem.h"
#include "platform/LockFileInstanceGuard.h"
#include "platform/PlatformServices.h"
#include "platform/QSettingsStore.h"
#include "platform/qt/QtIconSource.h"
#include "platform/qt/QtPrompter.h"

#include <QApplication>
#include <QDir>

#ifdef Q_OS_WIN
#include "platform/windows/WinBrowserFinder.h"
#include "platform/windows/WinDriveTable.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinMachineRegistry.h"
#include "platform/windows/WinTrash.h"
#else
#include "platform/linux/MountDriveTable.h"
#include "platform/linux/PosixLauncher.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "platform/linux/XdgMachineRegistry.h"
#include "platform/linux/XdgTrash.h"
#endif

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keldara"));
    // Lets the desktop match the window to its installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.keldara.Keldara"));

    QSettingsStore settings;
#ifdef Q_OS_WIN
    WinDriveTable drives;
    WinLauncher launcher;
    WinBrowserFinder browsers;
    WinMachineRegistry registry;
    WinTrash trash;
#else
    MountDriveTable drives;
    PosixLauncher launcher;
    XdgBrowserFinder browsers;
    XdgMachineRegistry registry;
    XdgTrash trash;
#endif
    QtPrompter prompter;
    LocalFileSystem files;
    LockFileInstanceGuard instance;

    PlatformServices services;
    services.appFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    services.settings = &settings;
    services.drives = &drives;
    services.prompter = &prompter;
    services.launcher = &launcher;
    services.instance = &instance;
    services.browsers = &browsers;
    services.registry = &registry;
    services.files = &files;
    services.trash = &trash;
    // The suite installs its tools' icons beside them, in "icons" in the application folder.
    QtIconSource icons({paths::resolveIgnoringCase(services.appFolder, QStringLiteral("icons"))});
    services.icons = &icons;
    return Main(services);
}
