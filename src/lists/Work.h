#pragma once

#include <QObject>
#include <QPointer>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <functional>
#include <future>
#include <memory>
#include <source_location>
#include <type_traits>
#include <utility>

// Where file work runs: never on the window's thread, which must answer the user while a drive
// does not.
//
// - The list queue: one thread, one job at a time, in the order given. All work on the list
//   files runs here (they share one temporary file, so no two rewrites may overlap), and so does
//   every change to a file on disk (renames, deletions, moves to the trash, shortcut writes), so
//   that the program's own changes happen one after the other, as the user asked for them.
// - The drive pool: several threads for reads of other drives (is a data file there, a
//   program's icon, a program start) that may run beside the list queue.
//
// Neither is ever joined: a thread that waits on a drive that hangs must not hold up the end of
// the program. The list files cannot be harmed by that: every rewrite replaces the file in one
// atomic step.
namespace work {

enum class Queue { List, Drives };

QThreadPool& pool(Queue queue);

// How many jobs handed to post() have not yet handed back their answer.
int inFlight();

// Waits up to `ms` for the list queue to finish the jobs it holds. False when it did not.
bool finishListWork(int ms);

// Test hook: told, on the worker's thread, as each job begins, which queue runs it and which
// function handed it over. Set it while no job runs.
using Observer = std::function<void(Queue queue, const char* postedBy)>;
void setObserver(Observer observer);

namespace detail {
void started();
void finished();
void begins(Queue queue, const char* postedBy);
// Lives on the window's thread as long as the program, to carry answers there.
QObject* receiver();

template <class F> class Task : public QRunnable {
public:
    explicit Task(F f)
        : m_f(std::move(f))
    {}
    void run() override { m_f(); }

private:
    F m_f;
};

template <class F> void start(Queue queue, F f)
{
    pool(queue).start(new Task<F>(std::move(f)));
}
} // namespace detail

// Runs `job()` on `queue`, then `done(result)` on the thread of `context` (the window's), unless
// `context` has gone by then. `job` must not touch widgets.
template <class Job, class Done>
void post(Queue queue, QObject* context, Job job, Done done,
          std::source_location postedBy = std::source_location::current())
{
    using Result = std::invoke_result_t<Job&>;
    detail::started();
    QObject* carrier = detail::receiver();
    QPointer<QObject> receiver(context);
    auto state = std::make_shared<std::pair<Job, Done>>(std::move(job), std::move(done));
    detail::start(queue, [state = std::move(state), receiver, carrier, queue,
                          by = postedBy.function_name()]() mutable {
        detail::begins(queue, by);
        auto result = std::make_shared<Result>(state->first());
        // The job and its answer go back to the window's thread whole, so that nothing they hold
        // is let go on this one.
        QMetaObject::invokeMethod(
            carrier,
            [state = std::move(state), receiver, result]() {
                // Answered: what the answer sets going (a question, the next job) is counted
                // on its own.
                detail::finished();
                if (receiver)
                    state->second(std::move(*result));
            },
            Qt::QueuedConnection);
    });
}

// Runs `job()` on the list queue and waits for its result. Only for jobs of the drive pool that
// must change a list file in the middle of their work; never from the list queue itself, nor
// from the window's thread.
template <class Job> std::invoke_result_t<Job&> onListQueue(Job job)
{
    using Result = std::invoke_result_t<Job&>;
    std::packaged_task<Result()> task(std::move(job));
    std::future<Result> result = task.get_future();
    auto shared = std::make_shared<std::packaged_task<Result()>>(std::move(task));
    detail::start(Queue::List, [shared] { (*shared)(); });
    return result.get();
}

} // namespace work
