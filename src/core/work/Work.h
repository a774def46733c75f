#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <future>
#include <memory>
#include <source_location>
#include <type_traits>
#include <utility>

// Where file work runs: never on the window's thread, which must answer the user while a drive
// does not. Every job runs on a line, one job of a line at a time, in the order given:
//
// - The list line: the list files and the rest of the application folder (the shortcut folder,
//   the data folder's listing). The two list files share one temporary file, so no two rewrites
//   may overlap; this line keeps them apart.
// - One line per drive (a mount point, a drive root, a network share): everything that touches a
//   data file or a program where it lies.
// - The compute line, for work on data in memory (laying out a list of many entries). Lines of
// different drives run beside each other, so a
//   drive that hangs holds one thread and the jobs of its own line, and nothing else; it is not
//   asked again until the call that hangs returns.
//
// A job on a drive line may hand a step to the list line and wait for it (onListLine); a job on
// the list line never waits for a drive line. No thread is ever joined: a thread that waits on a
// drive that hangs must not hold up the end of the program (finishWork waits a bounded time), and
// every list rewrite is one atomic step, so nothing is half done when it is left.
namespace work {

class Line {
public:
    static Line list() { return Line(Kind::List, {}); }
    // `drive` as DriveTable::driveOf names it; the empty name is a line of its own too.
    static Line drive(QString drive) { return Line(Kind::Drive, std::move(drive)); }
    // Work that touches no file: laying out a large list.
    static Line compute() { return Line(Kind::Compute, {}); }

    bool isList() const { return m_kind == Kind::List; }
    const QString& drive() const { return m_drive; }
    // For test output and the observer: "list", "drive <name>" or "compute".
    QString name() const;
    // The line's queue: one per drive, one for the list, one for computing.
    QString queueName() const;

private:
    enum class Kind { List, Drive, Compute };
    Line(Kind kind, QString drive)
        : m_kind(kind)
        , m_drive(std::move(drive))
    {}
    Kind m_kind;
    QString m_drive;
};

// A line runs its command jobs before its background jobs (the greying of entries whose file has
// gone), so that a long check of a large list never keeps the user waiting.
enum class Priority { Command, Background };

// How many jobs handed to post() have not yet handed back their answer.
int inFlight();

// For the program's end: lets go of every line's background jobs that have not begun, then waits
// up to `ms` for the jobs running now and the commands queued behind them, the list steps those
// jobs hand over included. False when some line was still at work at the end (a drive that does
// not answer): what its job may touch must then outlive the program's own end.
bool finishWork(int ms);

// Test hook: told, on the worker's thread, as each job begins, which line runs it and which
// function handed it over. Set it while no job runs.
using Observer = std::function<void(const Line& line, const char* postedBy)>;
void setObserver(Observer observer);

namespace detail {
void started();
void finished();
void begins(const Line& line, const char* postedBy);
// Lives on the window's thread as long as the program, to carry answers there.
QObject* receiver();
// Runs `answer` on the receiver's thread, answers in the order they were handed over.
void answer(std::function<void()> answer);
// `counted`: the job was counted by started(), and is counted as finished should it never run.
void run(const Line& line, Priority priority, std::function<void()> task, bool counted = false);
// Whether the calling thread is the list line's.
bool onListLineNow();
} // namespace detail

// Runs `job()` on `line`, then `done(result)` on the thread of `context` (the window's), unless
// `context` has gone by then. `job` must not touch widgets.
template <class Job, class Done>
void post(const Line& line, QObject* context, Job job, Done done,
          Priority priority = Priority::Command,
          std::source_location postedBy = std::source_location::current())
{
    using Result = std::invoke_result_t<Job&>;
    detail::started();
    detail::receiver(); // made on the asking thread, the window's
    QPointer<QObject> receiver(context);
    auto state = std::make_shared<std::pair<Job, Done>>(std::move(job), std::move(done));
    detail::run(
        line, priority,
        [state = std::move(state), receiver, line, by = postedBy.function_name()]() mutable {
            detail::begins(line, by);
            auto result = std::make_shared<Result>(state->first());
            // The job and its answer go back to the window's thread whole, so that
            // nothing they hold is let go on this one.
            detail::answer([state = std::move(state), receiver, result] {
                // Answered: what the answer sets going (a question, the next job) is
                // counted on its own.
                detail::finished();
                if (receiver)
                    state->second(std::move(*result));
            });
        },
        true);
}

// Lets go of `what` on the compute line: a large list freed there costs the window nothing.
inline void dispose(std::shared_ptr<const void> what)
{
    if (what && what.use_count() == 1)
        detail::run(Line::compute(), Priority::Background, [what = std::move(what)] {});
}

// Runs `job()` on the list line and waits for its result. Only from a job of a drive line that
// must read or change a list file in the middle of its work; never from the list line itself,
// nor from the window's thread.
template <class Job> std::invoke_result_t<Job&> onListLine(Job job)
{
    using Result = std::invoke_result_t<Job&>;
    Q_ASSERT_X(!detail::onListLineNow(), "work::onListLine", "the list line would wait for itself");
    auto task = std::make_shared<std::packaged_task<Result()>>(std::move(job));
    std::future<Result> result = task->get_future();
    detail::run(Line::list(), Priority::Command, [task] { (*task)(); });
    return result.get();
}

} // namespace work
