#include "app/Main.h"
#include "base/Paths.h"
#include "base/Version.h"
#include "lists/HubState.h"
#include "platform/InstanceChannel.h"
#include "platform/LocalFileSystem.h"
#include "platform/LockFileInstanceGuard.h"
#include "platform/PlatformServices.h"
#include "platform/QSettingsStore.h"
#include "platform/QtIconSource.h"
#include "platform/QtPrompter.h"
#include "setup/AppFolder.h"
#include "setup/StartArguments.h"
#include "ui/HubStyle.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

#ifdef Q_OS_WIN
#include "platform/windows/WinBrowserFinder.h"
#include "platform/windows/WinDriveTable.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinMachineRegistry.h"
#include "platform/windows/WinTrash.h"
#else
#include "platform/linux/DBusFileManager.h"
#include "platform/linux/GioVolumeMonitor.h"
#include "platform/linux/GLibRecentDocuments.h"
#include "platform/linux/MountDriveTable.h"
#include "platform/linux/PosixLauncher.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "platform/linux/XdgMachineRegistry.h"
#include "platform/linux/XdgTrash.h"
#endif

namespace {
// The words of the command line after the program's name (and, once Qt has started, without the
// options Qt took). A file name is kept as its bytes name it, as names read from the lists are;
// on Windows only Qt reads the wide command line, so there the words come once Qt has started.
QStringList commandWords(int argc, char** argv)
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return QCoreApplication::instance() ? QCoreApplication::arguments().mid(1) : QStringList();
#else
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(paths::fromNativeBytes(argv[i]));
    return words;
#endif
}
} // namespace

int main(int argc, char** argv)
{
    // The activation token the desktop gave this start, taken before Qt takes it for itself: a
    // start that hands its request to the running hub passes it on, so that the hub's window may
    // come forward.
    HandOver request;
    request.token = qgetenv("XDG_ACTIVATION_TOKEN");
    if (request.token.isEmpty())
        request.token = qgetenv("DESKTOP_STARTUP_ID");

    // A start asked for files or kinds hands them to the hub that runs before anything else, the
    // window system included: it ends at once and never shows itself. (With arguments meant for
    // Qt it waits until Qt has taken them; Main tries again then, and waits for a hub that is
    // still starting.)
    {
        const StartArguments early =
            parseStartArguments(commandWords(argc, argv), QDir::currentPath());
        if (early.action == StartArguments::Action::Start && !early.items.isEmpty()) {
            HandOver handOver = request;
            handOver.items = early.items;
            if (InstanceChannel::handOver(LockFileInstanceGuard().channelPath(), handOver))
                return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Keldara"));
    // Lets the desktop match the window to its installed entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.keldara.Keldara"));

    const StartArguments arguments =
        parseStartArguments(commandWords(argc, argv), QDir::currentPath());
    switch (arguments.action) {
    case StartArguments::Action::Help:
        std::fputs(arguments.text.toLocal8Bit().constData(), stdout);
        return 0;
    case StartArguments::Action::Version:
        std::printf("Keldara %d.%d.%d\n", kVersionMajor, kVersionMinor, kVersionRevision);
        return 0;
    case StartArguments::Action::Wrong:
        std::fputs(arguments.text.toLocal8Bit().constData(), stderr);
        return 2;
    case StartArguments::Action::Start:
        break;
    }
    request.items = arguments.items;
    QApplication::setStyle(new HubStyle);

    QSettingsStore settings;
    // What the work queues' threads call lives as long as the process: a thread that waits on a
    // drive that does not answer is not waited for at the end, and may still call it then.
#ifdef Q_OS_WIN
    static auto* drives = new WinDriveTable;
    static auto* launcher = new WinLauncher;
    static auto* browsers = new WinBrowserFinder;
    WinMachineRegistry registry;
    static auto* trash = new WinTrash;
#else
    static auto* volumes = new GioVolumeMonitor;
    static auto* drives = [] {
        MountDriveTable::Sources sources;
        sources.volumes = volumes;
        return new MountDriveTable(std::move(sources));
    }();
    static auto* launcher = new PosixLauncher;
    static auto* browsers = new XdgBrowserFinder(request.token);
    XdgMachineRegistry registry;
    static auto* trash = new XdgTrash;
    static auto* recent = new GLibRecentDocuments;
    DBusFileManager fileManager(request.token);
#endif
    static auto* files = new LocalFileSystem;
    QtPrompter prompter;
    LockFileInstanceGuard instance;

    // The folder of the executable, or for the machine-wide program a folder of the user's own.
    const AppFolderPlace place =
        settleAppFolder(QCoreApplication::applicationDirPath(),
                        paths::fromNativeBytes(qgetenv("XDG_DATA_HOME")), QDir::homePath());
    if (!place.problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(QString(place.problem).replace(u'\r', u'\n')));
        prompter.message(place.problem, QStringLiteral("Keldara"), MsgButtons::Ok,
                         MsgIcon::Critical);
        return 1;
    }
    PlatformServices services;
    services.appFolder = QDir::toNativeSeparators(place.folder);
    services.settings = &settings;
    services.drives = drives;
    services.stateFolder = HubState::userStateFolder();
    services.prompter = &prompter;
    services.launcher = launcher;
    services.instance = &instance;
    services.browsers = browsers;
    services.registry = &registry;
    services.files = files;
    services.trash = trash;
#ifndef Q_OS_WIN
    services.recent = recent;
    services.fileManager = &fileManager;
#endif
    // The suite installs its tools' icons beside them, in "icons" in the application folder.
    QStringList iconRoots{paths::resolveIgnoringCase(services.appFolder, QStringLiteral("icons"))};
    if (!place.sharedFolder.isEmpty())
        iconRoots.append(paths::resolveIgnoringCase(place.sharedFolder, QStringLiteral("icons")));
    static auto* icons = new QtIconSource(iconRoots);
    services.icons = icons;
    return Main(services, request);
}
