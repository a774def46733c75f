// Web page latency: from OpenWebPage, and from a double-click on a "Web" entry, to the browser's
// process running its own code. The browser is a script that creates a file as the first thing it
// does. The lookup runs in full each time.
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

void BM_OpenWebPageToBrowserRunning(benchmark::State& state)
{
    XdgSandbox box;
    const QString started = box.path("started");
    box.program(QStringLiteral("browser"), ": > '" + started.toUtf8() + "'\n");
    box.env.insert(QStringLiteral("BROWSER"), QStringLiteral("browser %s"));
    XdgBrowserFinder finder(box.env);
    FakePrompter prompter;
    PlatformServices services;
    services.prompter = &prompter;
    services.browsers = &finder;
    const HubContext hub(services);

    for (auto _ : state) {
        QFile::remove(started);
        const bench::FileAppears running(started);
        QElapsedTimer t;
        t.start();
        if (!bench::expect(state, OpenWebPage(hub, supportPageUrl()),
                           "the browser did not start") ||
            !running.wait(state, "the browser to run"))
            return;
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
    bench::expect(state, prompter.messages.isEmpty(), "a message was shown");
}

// From the double-click on a "Web" entry of the main window to the browser running. The browser is
// found through $BROWSER (argument 0) or, as on a desktop without it, as the default for https in
// the user's mimeapps.list, started by its desktop entry (argument 1).
void BM_DoubleClickToBrowserRunning(benchmark::State& state)
{
    XdgSandbox box;
    const QString started = box.path("started");
    box.program(QStringLiteral("browser"), ": > '" + started.toUtf8() + "'\n");
    if (state.range(0) == 0) {
        box.env.insert(QStringLiteral("BROWSER"), QStringLiteral("browser"));
    } else {
        box.application(QStringLiteral("browser.desktop"), "Exec=browser %u");
        box.write(QStringLiteral("config/mimeapps.list"),
                  "[Default Applications]\nx-scheme-handler/https=browser.desktop\n");
    }
    XdgBrowserFinder finder(box.env);
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
    }
    bench::expect(state, hub.prompter.messages.isEmpty(),
                  "a message was shown: " + hub.lastMessage().toStdString());
}

// The lookup alone through the MIME lists, as on a desktop without $BROWSER.
void BM_LookupThroughMimeLists(benchmark::State& state)
{
    XdgSandbox box;
    box.program(QStringLiteral("browser"));
    box.application(QStringLiteral("browser.desktop"), "Exec=browser %u");
    box.write(QStringLiteral("sysdata/applications/mimeinfo.cache"),
              "[MIME Cache]\ntext/html=browser.desktop;\n");
    XdgBrowserFinder finder(box.env);
    for (auto _ : state) {
        const std::optional<ProgramCommand> found = finder.findBrowser(supportPageUrl());
        if (!bench::expect(state, found.has_value(), "no browser found"))
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
