// Web page latency: from OpenWebPage, and from a double-click on a "Web" entry, to the browser's
// process running its own code. The browser is a script that creates a file as the first thing it
// does. GIO reads the XDG folders once a process, so every benchmark shares one set of them.
#include "BenchSupport.h"

#include "actions/WebPages.h"
#include "mainwindow/frmQEL.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "support/FakeHub.h"
#include "support/Fakes.h"
#include "support/XdgSandbox.h"
#include "tabs/web/WebTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "ui/TabStrip.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTreeView>

namespace {

// The XDG folders of the whole run, with a browser that is the default for https and that HTML
// pages' cache names too, and a file the browser creates as it starts. Made before GIO's first use.
struct Desktop {
    XdgSandbox box;
    QString started = box.path("started");
    QString browser = box.program(QStringLiteral("browser"), ": > '" + started.toUtf8() + "'\n");

    Desktop()
    {
        box.application(QStringLiteral("browser.desktop"), "Exec=" + browser.toUtf8() + " %u");
        box.write(QStringLiteral("config/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/https=browser.desktop\n");
        box.write(QStringLiteral("sysdata/applications/mimeinfo.cache"),
                  "[MIME Cache]\ntext/html=browser.desktop;\n");
        box.env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + box.path("no-bus"));
        box.env.remove(QStringLiteral("PATH"));
        for (const QString& name : box.env.keys())
            qputenv(name.toLocal8Bit().constData(), box.env.value(name).toLocal8Bit());
    }
    // $BROWSER naming the browser, or none.
    void browserVariable(bool set) const
    {
        set ? qputenv("BROWSER", browser.toLocal8Bit() + " %s") : qunsetenv("BROWSER");
    }
};

Desktop& desktop()
{
    static Desktop d;
    return d;
}

void BM_OpenWebPageToBrowserRunning(benchmark::State& state)
{
    Desktop& d = desktop();
    d.browserVariable(true);
    XdgBrowserFinder finder;
    FakePrompter prompter;
    FakeDriveTable drives;
    PlatformServices services;
    services.prompter = &prompter;
    services.drives = &drives;
    services.browsers = &finder;
    const HubContext hub(services);
    QObject alive;

    for (auto _ : state) {
        QFile::remove(d.started);
        const bench::FileAppears running(d.started);
        QElapsedTimer t;
        t.start();
        OpenWebPage(hub, &alive, supportPageUrl());
        if (!running.wait(state, "the browser to run"))
            return;
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!bench::settle(state, "the outcome"))
            return;
    }
    bench::expect(state, prompter.messages.isEmpty(), "a message was shown");
}

// From the double-click on a "Web" entry of the main window to the browser running. The browser is
// found through $BROWSER (argument 0) or, as on a desktop without it, as the default for https in
// the user's mimeapps.list, started by GIO from its desktop entry (argument 1).
void BM_DoubleClickToBrowserRunning(benchmark::State& state)
{
    Desktop& d = desktop();
    const QString& started = d.started;
    d.browserVariable(state.range(0) == 0);
    XdgBrowserFinder finder;
    FakeHub hub;
    hub.services.browsers = &finder;
    hub.app.write(QStringLiteral("QELWebList.txt"),
                  "\"Fire Weather\",\"https://www.weather.gov/fire/\"\r\n");
    const auto window = hub.makeWindow();
    window->webTab().LoadWebList();
    window->show();
    window->TabMain->setCurrTab(3);
    if (!bench::settleUntil(state, "the Web list", [&] { return window->lstQEL[3]->count() == 1; }))
        return;
    QTreeView* view = window->lstQEL[3]->reportView();
    QWidget* viewport = view->viewport();
    const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
    const auto mouse = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    };

    for (auto _ : state) {
        QFile::remove(started);
        const bench::FileAppears running(started);
        // The first click of the pair selects; the system's double-click event starts the clock.
        mouse(QEvent::MouseButtonPress, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, Qt::NoButton);
        QElapsedTimer t;
        t.start();
        mouse(QEvent::MouseButtonDblClick, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, Qt::NoButton);
        if (!running.wait(state, "the browser to run"))
            return;
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!bench::settle(state, "the outcome"))
            return;
    }
    bench::expect(state, hub.prompter.messages.isEmpty(),
                  "a message was shown: " + hub.lastMessage().toStdString());
}

// The lookup alone through the MIME lists, as on a desktop without $BROWSER.
void BM_LookupThroughMimeLists(benchmark::State& state)
{
    desktop();
    for (auto _ : state) {
        const QString found = XdgBrowserFinder::browserId();
        if (!bench::expect(state, !found.isEmpty(), "no browser found"))
            return;
        benchmark::DoNotOptimize(found);
    }
}

} // namespace

void bench::registerBenchmarks()
{
    add("BM_OpenWebPageToBrowserRunning", BM_OpenWebPageToBrowserRunning,
        {.manualTime = true, .iterations = 1, .repetitions = 15});
    add("BM_DoubleClickToBrowserRunning", BM_DoubleClickToBrowserRunning,
        {.sizes = {0, 1},
         .argName = "mimeapps",
         .manualTime = true,
         .iterations = 1,
         .repetitions = 15});
    add("BM_LookupThroughMimeLists", BM_LookupThroughMimeLists, {.unit = benchmark::kMicrosecond});
}
