// Web page latency: from OpenWebPage, and from a double-click on a "Web" entry, to the browser's
// process running its own code. The browser is a script that creates a file as the first thing it
// does. The lookup runs in full each time.
#include "actions/WebPages.h"
#include "mainwindow/frmQEL.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "support/FakeHub.h"
#include "support/Fakes.h"
#include "support/XdgSandbox.h"
#include "tabs/web/WebTab.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>
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
        QElapsedTimer t;
        t.start();
        if (!OpenWebPage(hub, supportPageUrl()))
            state.SkipWithError("the browser did not start");
        while (!QFileInfo::exists(started))
            QThread::usleep(100);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_OpenWebPageToBrowserRunning)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

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
    QTreeView* view = window->lstQEL[3]->reportView();
    QWidget* viewport = view->viewport();
    const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
    const auto mouse = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    };

    for (auto _ : state) {
        QFile::remove(started);
        // The first click of the pair selects; the system's double-click event starts the clock.
        mouse(QEvent::MouseButtonPress, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, Qt::NoButton);
        QElapsedTimer t;
        t.start();
        mouse(QEvent::MouseButtonDblClick, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, Qt::NoButton);
        while (!QFileInfo::exists(started) && t.elapsed() < 5000)
            QThread::usleep(100);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (!QFileInfo::exists(started))
            state.SkipWithError("the browser did not start");
    }
    if (!hub.prompter.messages.isEmpty())
        state.SkipWithError(hub.prompter.messages.first().text.toUtf8().constData());
}
BENCHMARK(BM_DoubleClickToBrowserRunning)
    ->ArgName("mimeapps")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The lookup alone through the MIME lists, as on a desktop without $BROWSER.
void BM_LookupThroughMimeLists(benchmark::State& state)
{
    XdgSandbox box;
    box.program(QStringLiteral("browser"));
    box.application(QStringLiteral("browser.desktop"), "Exec=browser %u");
    box.write(QStringLiteral("sysdata/applications/mimeinfo.cache"),
              "[MIME Cache]\ntext/html=browser.desktop;\n");
    XdgBrowserFinder finder(box.env);
    for (auto _ : state)
        benchmark::DoNotOptimize(finder.findBrowser(supportPageUrl()));
}
BENCHMARK(BM_LookupThroughMimeLists)->Unit(benchmark::kMicrosecond);

} // namespace
