// Launch latency: from the double-click on "New Fuel Profile" to the companion tool's process
// running its own code (the stand-in tool writes its record as the first thing it does). Between
// two double-clicks the launch's answer comes back, as it does while the user reaches for the
// mouse again: a launch still under way would make the next double-click start nothing.
#include "BenchSupport.h"

#include "mainwindow/frmQEL.h"
#include "platform/linux/PosixLauncher.h"
#include "support/FakeHub.h"
#include "tabs/new/NewTab.h"
#include "ui/QelListView.h"

#include <QElapsedTimer>

namespace {

void BM_DoubleClickToToolRunning(benchmark::State& state)
{
    FakeHub hub;
    if (!bench::expect(
            state,
            QFile::copy(QStringLiteral(STANDIN_EXE), hub.app.file(QStringLiteral("prv.exe"))),
            "the stand-in tool could not be copied"))
        return;
    PosixLauncher launcher;
    hub.services.launcher = &launcher;
    const std::unique_ptr<frmQEL> window = hub.makeWindow();
    window->newTab().LoadNewList();
    window->lstQEL[0]->setSelectedRow(0);
    const QString record = hub.app.file(QStringLiteral("started.txt"));
    qputenv("KELDARA_STANDIN_RECORD", QFile::encodeName(record));
    int started = 0;

    for (auto _ : state) {
        QFile::remove(record);
        const bench::FileAppears running(record);
        QElapsedTimer t;
        t.start();
        window->lstQEL_DblClick(0);
        if (!running.wait(state, "the tool to start"))
            return;
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        ++started;
        if (!bench::settle(state, "the launch's answer"))
            return;
    }
    state.counters["started"] = started;
    bench::expect(state, hub.prompter.messages.isEmpty(),
                  "a message was shown: " + hub.lastMessage().toStdString());
}

} // namespace

void bench::registerBenchmarks()
{
    add("BM_DoubleClickToToolRunning", BM_DoubleClickToToolRunning,
        {.manualTime = true, .iterations = 15});
}
