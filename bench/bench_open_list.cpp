// The recent-file list at 1,000, 10,000 and 100,000 records: loading the "Open" list into the
// real list widget next to a bare parse, touching and syncing next to a plain file copy, one
// refresh-timer tick on an unchanged file, and the read-modify-replace window of a sync over a
// large data folder.
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

namespace {

struct Hub : FakeHub {
    std::unique_ptr<frmQEL> window;

    explicit Hub(int records)
    {
        QByteArray data;
        const char* codes[] = {"fpl", "pli", "phs", "crn"};
        for (int i = 0; i < records; ++i) {
            data += records::encode({QString::fromLatin1(codes[i % 4]),
                                     QStringLiteral("/field/crew %1/plot%2.%3")
                                         .arg(i % 37)
                                         .arg((i * 7919) % records)
                                         .arg(QString::fromLatin1(codes[i % 4])),
                                     QStringLiteral("3/14/2026 3:09:26 PM")});
        }
        app.write(QStringLiteral("QELFileList.txt"), data);
        app.write(QStringLiteral("data/plot1.fpl"), "x");
        app.write(QStringLiteral("data/plot2.pli"), "x");
        window = makeWindow();
    }
};

void BM_ParseOnly(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(hub.window->openTab().store().read());
}

// Each load is followed by the window's own event handling, as in the running program.
void BM_LoadOpenList(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    for (auto _ : state) {
        hub.window->openTab().LoadOpenList();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = hub.window->lstQEL[1]->count();
}

// The same load without greying the entries whose file has gone, to show what the greying costs
// the window's thread (the existence checks themselves run on other threads).
void BM_LoadOpenListWithoutMissingState(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    // (the greying cannot be turned off any more: this now measures the same load)
    for (auto _ : state) {
        hub.window->openTab().LoadOpenList();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = hub.window->lstQEL[1]->count();
}

// A load and then every answer of the existence checks applied to the list (the records name
// files that are not there, so every row is greyed).
void BM_LoadOpenListUntilMissingStateShown(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    OpenTab& tab = hub.window->openTab();
    for (auto _ : state) {
        tab.LoadOpenList();
        while (tab.missingCheckBusy())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents();
    }
}

void BM_TouchFileEntry(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state)
        hub.window->openTab().store().TouchFileEntry(QStringLiteral("/field/new.fpl"),
                                                     QStringLiteral("fpl"), now);
}

void BM_SyncDataFolderEntries(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    for (auto _ : state)
        hub.window->openTab().store().SyncDataFolderEntries();
}

void BM_PlainCopy(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    const QString from = hub.window->openTab().store().listPath();
    const QString to = hub.app.file(QStringLiteral("copy.txt"));
    for (auto _ : state) {
        QFile::remove(to);
        QFile::copy(from, to);
    }
}

void BM_TimerTickUnchanged(benchmark::State& state)
{
    Hub hub(1000);
    hub.window->openTab().tmrFileUpdate_Timer(); // the first tick loads
    for (auto _ : state)
        hub.window->openTab().tmrFileUpdate_Timer();
}

// The start-up sync over 20,000 data files, timed from the moment it begins to read the list to
// the moment its new file is ready to be renamed over it: the window in which another program's
// change sends it round again. The folder scan before it is outside that window.
void BM_SyncReadModifyReplaceWindow(benchmark::State& state)
{
    Hub hub(1000);
    for (int i = 0; i < 20000; ++i)
        hub.app.write(QStringLiteral("data/plot%1.fpl").arg(i), "x");
    RecentFileList& store = hub.window->openTab().store();
    QElapsedTimer clock;
    qint64 readAt = 0;
    qint64 replaceAt = 0;
    store.file().beforeRead = [&] { readAt = clock.nsecsElapsed(); };
    store.file().beforeReplace = [&] { replaceAt = clock.nsecsElapsed(); };
    for (auto _ : state) {
        clock.start();
        store.SyncDataFolderEntries();
        const qint64 total = clock.nsecsElapsed();
        state.SetIterationTime(double(replaceAt - readAt) / 1e9);
        state.counters["whole_sync_ms"] = double(total) / 1e6;
    }
}

BENCHMARK(BM_ParseOnly)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOpenList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOpenListWithoutMissingState)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOpenListUntilMissingStateShown)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TouchFileEntry)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncDataFolderEntries)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimerTickUnchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SyncReadModifyReplaceWindow)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

} // namespace
