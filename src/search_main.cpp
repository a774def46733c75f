// keldara-search: the hub's entries in the desktop's search. The session bus starts it when the
// desktop first searches (its service file names it); it answers from the application folder's
// files, never opens a window or takes the hub's lock, and ends after a minute without a call.
// A result the user picks is opened by the hub itself, handed the entry as `keldara` is.

#include <QtGlobal>

// Linux only: the build makes it there alone (the shell and the runner are of Linux desktops).
#ifndef Q_OS_WIN

#include "base/Paths.h"
#include "lists/Pins.h"
#include "search/DesktopSearchService.h"
#include "search/HubEntries.h"
#include "setup/AppFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDBusConnection>
#include <QDBusError>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <cstdio>

namespace {

// What the hub's command line asks for to open an entry of each tab.
QStringList hubArgumentsFor(const SearchEntry& e)
{
    switch (e.tab) {
    case Tab::New:
        return {QStringLiteral("--new"), e.key};
    case Tab::Open:
        return {e.key};
    case Tab::Tools:
        return {QStringLiteral("--tool"), e.key};
    case Tab::Web:
        return {QStringLiteral("--link"), e.key};
    }
    return {};
}

// The application folder's files as last looked at, to know when to read them again.
struct Stamps {
    QList<QPair<QDateTime, qint64>> stamps;
    bool operator==(const Stamps&) const = default;
};

Stamps stampsOf(const QString& appFolder)
{
    Stamps s;
    for (const QString& path : {paths::join(appFolder, QStringLiteral("QELFileList.txt")),
                                paths::join(appFolder, QStringLiteral("QELWebList.txt")),
                                shortcutFolder(appFolder), HubState().path()}) {
        const QFileInfo info(path);
        s.stamps.append({info.lastModified(), info.size()});
    }
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The lists of the folder the hub of this user keeps them in; the hub itself beside us.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString appFolder =
        appFolderOf(programFolder, qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()).folder;
    const QString hub = paths::join(programFolder, QStringLiteral("keldara"));

    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(60'000);
    QObject::connect(&idle, &QTimer::timeout, &app, &QCoreApplication::quit);

    Stamps seen;
    DesktopSearchService::registerTypes();
    DesktopSearchService service(
        [&] {
            idle.start();
            seen = stampsOf(appFolder);
            std::vector<SearchEntry> entries = hubEntriesOf(appFolder);
            // The user's pins come first here too (those of data files and shortcuts, which
            // are keyed as the entries are).
            const HubState state(HubState::userStateFolder());
            const QSet<QString> open = pins::read(state, QStringLiteral("pin-open"));
            const QSet<QString> tools = pins::read(state, QStringLiteral("pin-tools"));
            for (SearchEntry& e : entries)
                e.pinned = (e.tab == Tab::Open && open.contains(e.key)) ||
                           (e.tab == Tab::Tools && tools.contains(e.key));
            return entries;
        },
        [&] {
            idle.start();
            return stampsOf(appFolder) != seen;
        },
        [&](const SearchEntry& e, uint timestamp) {
            QProcess start;
            start.setProgram(hub);
            start.setArguments(hubArgumentsFor(e));
            // The moment of the user's choice lets the hub's window take the focus under X11.
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (timestamp != 0)
                env.insert(QStringLiteral("DESKTOP_STARTUP_ID"),
                           QStringLiteral("keldara-search_TIME%1").arg(timestamp));
            start.setProcessEnvironment(env);
            start.startDetached();
        });

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(QString::fromLatin1(DesktopSearchService::kObjectPath),
                                   &service) ||
        !bus.registerService(QString::fromLatin1(DesktopSearchService::kServiceName))) {
        std::fprintf(stderr, "keldara-search: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    idle.start();
    return app.exec();
}

#endif
