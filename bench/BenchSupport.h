#pragma once

// What every benchmark program shares: how a benchmark is registered (a full run, or the smoke
// run of the test command: once, at a small size), how it fails, and how it waits for the work it
// names to finish. Every wait is bounded: a benchmark that waits too long fails instead of hanging.
#include "support/Settle.h"
#include "work/Work.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace bench {

// Each program registers its benchmarks here (called once the command line is read).
void registerBenchmarks();

// True in the smoke run (the --smoke switch): each benchmark runs once, at its smallest size, so
// that the test command finds a benchmark that hangs, fails or measures nothing.
bool smoke();

// The longest any one wait of a benchmark may take.
int waitLimitMs();

// How a benchmark is run. `sizes` are its arguments (none: it takes none); the smoke run uses
// `smokeSize`, or the first of `sizes` when that is 0. `iterations` and `repetitions` (0: the
// library decides) apply to the full run only.
struct Options {
    std::vector<std::int64_t> sizes = {};
    std::int64_t smokeSize = 0;
    const char* argName = nullptr;
    bool manualTime = false;
    benchmark::TimeUnit unit = benchmark::kMillisecond;
    int iterations = 0;
    int repetitions = 0;
};
void add(const char* name, void (*run)(benchmark::State&), const Options& options = {});

// Fails the benchmark: it reports `why` instead of a time, and the program ends with a non-zero
// code. The benchmark must return at once (its loop has ended).
void fail(benchmark::State& state, const std::string& why);

// `ok`, or the benchmark fails with `what`.
inline bool expect(benchmark::State& state, bool ok, const std::string& what)
{
    if (!ok)
        fail(state, what);
    return ok;
}

// Runs the window's events until every job of the work queues has handed back its answer and
// `done()` holds; the benchmark fails, naming `what`, when that does not come in time.
template <class Done> bool settleUntil(benchmark::State& state, const char* what, Done done)
{
    return expect(state, ::settleUntil(std::move(done), waitLimitMs()),
                  std::string("timed out waiting for ") + what);
}
inline bool settle(benchmark::State& state, const char* what)
{
    return settleUntil(state, what, [] { return true; });
}

// Runs `job` on the list queue, where the program does its list-file work, and waits for its
// answer; nothing when it did not come in time (the benchmark then failed).
template <class Job>
std::optional<std::invoke_result_t<Job&>> onListQueue(benchmark::State& state, const char* what,
                                                      Job job)
{
    using Result = std::invoke_result_t<Job&>;
    QObject context; // a late answer is dropped with it
    std::optional<Result> answer;
    work::post(work::Line::list(), &context, std::move(job),
               [&answer](Result r) { answer = std::move(r); });
    if (!settleUntil(state, what, [&] { return answer.has_value(); }))
        return std::nullopt;
    return answer;
}

// The same, taking the time the job itself took there as the iteration's time (the benchmark uses
// manual time): the work alone, without the trip to the queue and back.
template <class Job>
std::optional<std::invoke_result_t<Job&>> timedOnListQueue(benchmark::State& state,
                                                           const char* what, Job job)
{
    using Result = std::invoke_result_t<Job&>;
    auto timed = onListQueue(state, what, [job = std::move(job)]() mutable {
        QElapsedTimer clock;
        clock.start();
        Result result = job();
        return std::pair<qint64, Result>(clock.nsecsElapsed(), std::move(result));
    });
    if (!timed)
        return std::nullopt;
    state.SetIterationTime(double(timed->first) / 1e9);
    return std::move(timed->second);
}

// A file that another process makes: the wait for it wakes as its folder changes, so the time it
// appeared is seen at once rather than at the next look. Made before the clock starts.
class FileAppears {
public:
    explicit FileAppears(QString path)
        : m_path(std::move(path))
        , m_watcher({QFileInfo(m_path).absolutePath()})
    {}
    bool operator()() const { return QFileInfo::exists(m_path); }
    // Runs the window's events until the file is there; the benchmark fails, naming `what`, when
    // it does not come in time.
    bool wait(benchmark::State& state, const char* what) const
    {
        return expect(state, runEventsUntil([this] { return (*this)(); }, waitLimitMs()),
                      std::string("timed out waiting for ") + what);
    }

private:
    QString m_path;
    QFileSystemWatcher m_watcher;
};

} // namespace bench
