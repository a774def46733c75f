// Web page latency: from OpenWebPage to the browser's process running its own code. The browser
// is a script that $BROWSER names; it creates a file as the first thing it does. The lookup runs
// in full each time ($BROWSER is checked first, so the MIME lists are not read).
#include "actions/WebPages.h"
#include "platform/linux/XdgBrowserFinder.h"
#include "support/Fakes.h"
#include "support/XdgSandbox.h"
#include "ui/HubContext.h"

#include <benchmark/benchmark.h>
#include <QElapsedTimer>
#include <QThread>

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
