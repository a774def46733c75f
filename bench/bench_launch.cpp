// Launch latency: from the double-click on "New Fuel Profile" to the companion tool's process
// running its own code (the stand-in tool writes its record as the first thing it does).
#include "mainwindow/frmQEL.h"
#include "platform/linux/PosixLauncher.h"
#include "support/FakeHub.h"
#include "tabs/new/NewTab.h"
#include "ui/QelListView.h"

#include <benchmark/benchmark.h>
#include <QElapsedTimer>
#include <QThread>

namespace {

void BM_DoubleClickToToolRunning(benchmark::State& state)
{
    FakeHub hub;
    QFile::copy(QStringLiteral(STANDIN_EXE), hub.app.file(QStringLiteral("prv.exe")));
    PosixLauncher launcher;
    hub.services.launcher = &launcher;
    const std::unique_ptr<frmQEL> window = hub.makeWindow();
    window->newTab().LoadNewList();
    window->lstQEL[0]->setSelectedRow(0);
    const QString record = hub.app.file(QStringLiteral("started.txt"));
    qputenv("KELDARA_STANDIN_RECORD", QFile::encodeName(record));

    for (auto _ : state) {
        QFile::remove(record);
        QElapsedTimer t;
        t.start();
        window->lstQEL_DblClick(0);
        while (!QFileInfo::exists(record))
            QThread::usleep(100);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_DoubleClickToToolRunning)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

} // namespace
