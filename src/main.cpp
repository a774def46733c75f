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
    // What the work queues' threads call lives as long as the process: a thread that waits on a
    // drive that does not answer is not waited for at the end, and may still call it then.
#ifdef Q_OS_WIN
    static auto* drives = new WinDriveTable;
    static auto* launcher = new WinLauncher;
    WinBrowserFinder browsers;
    WinMachineRegistry registry;
    static auto* trash = new WinTrash;
#else
    static auto* drives = new MountDriveTable;
    static auto* launcher = new PosixLauncher;
    XdgBrowserFinder browsers;
    XdgMachineRegistry registry;
    static auto* trash = new XdgTrash;
#endif
    static auto* files = new LocalFileSystem;
    QtPrompter prompter;
    LockFileInstanceGuard instance;

    PlatformServices services;
    services.appFolder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    services.settings = &settings;
    services.drives = drives;
    services.prompter = &prompter;
    services.launcher = launcher;
    services.instance = &instance;
    services.browsers = &browsers;
    services.registry = &registry;
    services.files = files;
    services.trash = trash;
    // The suite installs its tools' icons beside them, in "icons" in the application folder.
    static auto* icons =
        new QtIconSource({paths::resolveIgnoringCase(services.appFolder, QStringLiteral("icons"))});
    services.icons = icons;
    return Main(services);
}
