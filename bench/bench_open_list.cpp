// The recent-file list at 1,000 to 300,000 records: the list shown (read, model and view: from
// LoadOpenList until the view holds every row) next to the bare parse, a reload of the shown list,
// the grey marks of files that have gone, touching and syncing next to a plain file copy, one
// refresh-timer tick on an unchanged file, and the read-modify-replace window of a sync over a
// large data folder. List-file work is timed where the program runs it, on the list queue.
#include "BenchSupport.h"

#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"
#include "ui/TabStrip.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

const std::vector<std::int64_t> kRecords = {1000, 10000, 100000, 300000};
const QString kListFile = QStringLiteral("QELFileList.txt");

// `records` records of data files in 37 folders (none of the files is there), and `added` more
// in a folder of their own, as another program adds them.
QByteArray listOf(int records, int added = 0)
{
    QByteArray data;
    const char* codes[] = {"fpl", "pli", "phs", "crn"};
    for (int i = 0; i < records + added; ++i) {
        const QString code = QString::fromLatin1(codes[i % 4]);
        const QString path = i < records
                                 ? QStringLiteral("/field/crew %1/plot%2.%3")
                                       .arg(i % 37)
                                       .arg((i * 7919) % records)
                                       .arg(code)
                                 : QStringLiteral("/field/added/plot%1.%2").arg(i).arg(code);
        data += records::encode({code, path, QStringLiteral("3/14/2026 3:09:26 PM")});
    }
    return data;
}

struct Hub : FakeHub {
    std::unique_ptr<frmQEL> window;

    // The main window is made (and shown on the "Open" tab, as the user sees the list) only when
    // asked for.
    explicit Hub(int records, bool withWindow = true)
    {
        app.write(kListFile, listOf(records));
        app.write(QStringLiteral("data/plot1.fpl"), "x");
        app.write(QStringLiteral("data/plot2.pli"), "x");
        if (withWindow) {
            window = makeWindow();
            window->TabMain->setCurrTab(1);
            window->show();
        }
    }
    OpenTab& tab() { return window->openTab(); }
    QelListView& list() { return *window->lstQEL[1]; }
    RecentFileList store() { return RecentFileList(app.path()); }
};

// Every row greyed as its file is missing.
bool allMissing(const QelListView& list)
{
    for (int row = 0; row < list.count(); ++row) {
        if (list.noteOf(row) != Note::Missing)
            return false;
    }
    return true;
}

// Waits, outside the time taken, until the grey marks of the last load are in, so that they do
// not fall into the next iteration.
bool drainMarks(benchmark::State& state, Hub& hub)
{
    return bench::settleUntil(state, "the missing-file checks",
                              [&] { return !hub.tab().openList().missingCheckBusy(); });
}

bool expectRows(benchmark::State& state, const QelListView& list, int rows)
{
    return bench::expect(state, list.count() == rows,
                         "the list shows " + std::to_string(list.count()) + " rows, not " +
                             std::to_string(rows));
}

// The floor: reading and parsing the list file, on the list queue.
void BM_ParseOnly(benchmark::State& state)
{
    const int records = int(state.range(0));
    Hub hub(records, false);
    for (auto _ : state) {
        const auto parsed = bench::timedOnListQueue(
            state, "the read", [store = hub.store()] { return store.read().records.size(); });
        if (!parsed || !bench::expect(state, *parsed == records,
                                      "read " + std::to_string(*parsed) + " records, not " +
                                          std::to_string(records)))
            return;
    }
}

// The list shown, as at start-up: from LoadOpenList on an empty view until the view holds every
// row, and what that set going on the window's thread has run (its layout and paint).
void BM_ListShown(benchmark::State& state)
{
    const int records = int(state.range(0));
    Hub hub(records);
    for (auto _ : state) {
        state.PauseTiming();
        if (!drainMarks(state, hub))
            return;
        hub.list().clear();
        if (!bench::expect(state, runEventsUntil([&] { return hub.list().isSettled(); }, 60000),
                           "the list emptied"))
            return;
        state.ResumeTiming();
        hub.tab().openList().LoadOpenList();
        // Shown: every row in the view and the view laid out; the grey marks that follow are
        // the next benchmark's.
        if (!bench::expect(
                state,
                runEventsUntil(
                    [&] { return hub.list().count() == records && hub.list().isSettled(); },
                    bench::waitLimitMs()),
                "the list shown"))
            return;
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = hub.list().count();
}

// A reload of the shown list after another program added one record (or took it away again), as
// F5 or the refresh timer makes it: from LoadOpenList until the view shows the list as it now is.
void BM_LoadOpenList(benchmark::State& state)
{
    const int records = int(state.range(0));
    Hub hub(records);
    const QByteArray lists[2] = {listOf(records), listOf(records, 1)};
    hub.tab().openList().LoadOpenList();
    if (!bench::settleUntil(state, "the first load", [&] { return hub.list().count() == records; }))
        return;
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!drainMarks(state, hub))
            return;
        turn ^= 1;
        hub.app.write(kListFile, lists[turn]);
        const int rows = records + turn;
        state.ResumeTiming();
        hub.tab().openList().LoadOpenList();
        if (!bench::settleUntil(state, "the reload", [&] { return hub.list().count() == rows; }))
            return;
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = hub.list().count();
}

// The list shown and then every answer of the existence checks applied to it (no record's file is
// there, so every row ends greyed).
void BM_LoadOpenListUntilMissingStateShown(benchmark::State& state)
{
    const int records = int(state.range(0));
    Hub hub(records);
    for (auto _ : state) {
        state.PauseTiming();
        if (!drainMarks(state, hub))
            return;
        hub.list().clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        hub.tab().openList().LoadOpenList();
        // The rows are looked at only once the checks have ended.
        if (!bench::settleUntil(state, "every row greyed", [&] {
                return hub.list().count() == records && !hub.tab().openList().missingCheckBusy() &&
                       allMissing(hub.list());
            }))
            return;
    }
    state.counters["rows"] = hub.list().count();
}

bool expectOk(benchmark::State& state, const std::optional<FileResult>& r, const char* what)
{
    return r &&
           bench::expect(state, r->ok,
                         std::string(what) + " failed: " + r->message(QString()).toStdString());
}

void BM_TouchFileEntry(benchmark::State& state)
{
    Hub hub(int(state.range(0)), false);
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const auto r =
            bench::timedOnListQueue(state, "the touch", [store = hub.store(), now]() mutable {
                return store.TouchFileEntry(QStringLiteral("/field/new.fpl"), QStringLiteral("fpl"),
                                            now);
            });
        if (!expectOk(state, r, "the touch"))
            return;
    }
}

void BM_SyncDataFolderEntries(benchmark::State& state)
{
    Hub hub(int(state.range(0)), false);
    for (auto _ : state) {
        const auto r = bench::timedOnListQueue(state, "the sync", [store = hub.store()]() mutable {
            return store.SyncDataFolderEntries();
        });
        if (!expectOk(state, r, "the sync"))
            return;
    }
}

void BM_PlainCopy(benchmark::State& state)
{
    Hub hub(int(state.range(0)), false);
    const QString from = hub.app.file(kListFile);
    const QString to = hub.app.file(QStringLiteral("copy.txt"));
    for (auto _ : state) {
        const auto copied = bench::timedOnListQueue(state, "the copy", [from, to] {
            QFile::remove(to);
            return QFile::copy(from, to);
        });
        if (!copied || !bench::expect(state, *copied, "the copy failed"))
            return;
    }
}

// One tick of the refresh timer on a list file that has not changed: from the tick until its look
// at the file has handed back its answer.
void BM_TimerTickUnchanged(benchmark::State& state)
{
    Hub hub(int(state.range(0)));
    hub.tab().openList().tmrFileUpdate_Timer(); // the first tick loads
    if (!bench::settleUntil(state, "the first tick's load",
                            [&] { return hub.list().count() == state.range(0); }) ||
        !drainMarks(state, hub))
        return;
    for (auto _ : state) {
        const int before = work::inFlight();
        hub.tab().openList().tmrFileUpdate_Timer();
        if (!bench::expect(state, work::inFlight() == before + 1,
                           "the tick looked at nothing: a read was still counted as under way") ||
            !bench::settle(state, "the tick's answer"))
            return;
    }
    expectRows(state, hub.list(), int(state.range(0)));
}

// The sync over a data folder of N files (after 1,000 records), timed from the moment it begins
// to read the list to the moment its new file is ready to be renamed over it: the window in which
// another program's change sends it round again. The folder scan before it is outside that window.
void BM_SyncReadModifyReplaceWindow(benchmark::State& state)
{
    Hub hub(1000, false);
    for (int i = 0; i < state.range(0); ++i)
        hub.app.write(QStringLiteral("data/plot%1.fpl").arg(i), "x");
    struct Window {
        FileResult result;
        qint64 readAt = -1, replaceAt = -1, total = 0;
    };
    for (auto _ : state) {
        const auto w = bench::onListQueue(state, "the sync", [store = hub.store()]() mutable {
            Window w;
            QElapsedTimer clock;
            store.file().beforeRead = [&] { w.readAt = clock.nsecsElapsed(); };
            store.file().beforeReplace = [&] { w.replaceAt = clock.nsecsElapsed(); };
            clock.start();
            w.result = store.SyncDataFolderEntries();
            w.total = clock.nsecsElapsed();
            return w;
        });
        if (!w || !expectOk(state, w->result, "the sync") ||
            !bench::expect(state, w->readAt >= 0 && w->replaceAt > w->readAt,
                           "the sync did not read and then replace the list"))
            return;
        state.SetIterationTime(double(w->replaceAt - w->readAt) / 1e9);
        state.counters["whole_sync_ms"] = double(w->total) / 1e6;
    }
}

} // namespace

void bench::registerBenchmarks()
{
    const std::vector<std::int64_t> upTo100k = {1000, 10000, 100000};
    add("BM_ParseOnly", BM_ParseOnly, {.sizes = kRecords, .manualTime = true});
    add("BM_ListShown", BM_ListShown, {.sizes = kRecords});
    add("BM_LoadOpenList", BM_LoadOpenList, {.sizes = kRecords});
    add("BM_LoadOpenListUntilMissingStateShown", BM_LoadOpenListUntilMissingStateShown,
        {.sizes = upTo100k});
    add("BM_TouchFileEntry", BM_TouchFileEntry, {.sizes = upTo100k, .manualTime = true});
    add("BM_SyncDataFolderEntries", BM_SyncDataFolderEntries,
        {.sizes = upTo100k, .manualTime = true});
    add("BM_PlainCopy", BM_PlainCopy, {.sizes = upTo100k, .manualTime = true});
    add("BM_TimerTickUnchanged", BM_TimerTickUnchanged,
        {.sizes = {1000}, .unit = benchmark::kMicrosecond});
    add("BM_SyncReadModifyReplaceWindow", BM_SyncReadModifyReplaceWindow,
        {.sizes = {20000},
         .smokeSize = 200,
         .argName = "data_files",
         .manualTime = true,
         .iterations = 10});
}
