#include "work/Work.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace work {

QString Line::name() const
{
    switch (m_kind) {
    case Kind::List:
        return QStringLiteral("list");
    case Kind::Drive:
        return QStringLiteral("drive ") + m_drive;
    case Kind::Compute:
        return QStringLiteral("compute");
    }
    return {};
}

QString Line::queueName() const
{
    // Drive names are paths or drive roots; the other two cannot be mistaken for one.
    return m_kind == Kind::Drive ? m_drive : QLatin1Char('\n') + name();
}

namespace {
std::atomic<int> g_inFlight{0};
Observer g_observer;

// How long a line's thread waits for more work before it ends.
constexpr auto kLinger = std::chrono::seconds(2);

// A job as handed over, and whether it counts in inFlight() until its answer.
struct Job {
    std::function<void()> task;
    bool counted = false;
};

// The jobs of one line and whether a thread is working through them.
struct Queue {
    std::deque<Job> commands;
    std::deque<Job> background;
    bool running = false;
    bool busy = false;    // a job of the line is running now
    bool command = false; // ... and it is a command, not background work
    bool empty() const { return commands.empty() && background.empty(); }
};

// Every line's queue. A drive's queue lives while it has jobs or a thread serves it. Plain
// standard threads and locks, so that the thread sanitizer sees every hand-over.
struct Lines {
    std::mutex mutex;
    std::condition_variable work;              // a job was added to some line
    std::condition_variable idle;              // some line ran out of jobs
    std::unordered_map<QString, Queue> others; // the drives' lines, and the compute line
    Queue list;

    Queue& queueOf(const Line& line) { return line.isList() ? list : others[line.queueName()]; }
};

Lines& lines()
{
    // Never deleted, and its threads never joined: one of them may wait on a drive that does not
    // answer while the program ends.
    static Lines* l = new Lines;
    return *l;
}

thread_local bool t_onListLine = false;

// Works through one line's jobs, one at a time, then waits a moment for more before it ends.
void serve(const Line& line)
{
    t_onListLine = line.isList();
    Lines& l = lines();
    std::unique_lock lock(l.mutex);
    while (true) {
        Queue* q = &l.queueOf(line);
        if (q->empty()) {
            q->busy = false;
            l.idle.notify_all();
            l.work.wait_for(lock, kLinger, [&] { return !l.queueOf(line).empty(); });
            q = &l.queueOf(line);
            if (q->empty()) {
                q->running = false;
                if (!line.isList())
                    l.others.erase(line.queueName());
                return;
            }
        }
        std::deque<Job>& from = q->commands.empty() ? q->background : q->commands;
        std::function<void()> task = std::move(from.front().task);
        from.pop_front();
        q->busy = true;
        q->command = &from == &q->commands;
        lock.unlock();
        task();
        task = nullptr; // what the job held goes before the next begins
        lock.lock();
        l.queueOf(line).busy = false; // the end of the program may wait for this job
        l.idle.notify_all();
    }
}
} // namespace

void setObserver(Observer observer)
{
    g_observer = std::move(observer);
}

int inFlight()
{
    return g_inFlight.load();
}

bool finishWork(int ms)
{
    Lines& l = lines();
    // Greying the entries of missing files is of no use once the window has gone. What those
    // jobs hold is let go of outside the lock: letting go may hand work to a line.
    std::vector<std::deque<Job>> dropped;
    {
        std::lock_guard lock(l.mutex);
        dropped.push_back(std::exchange(l.list.background, {}));
        for (auto& [name, q] : l.others)
            dropped.push_back(std::exchange(q.background, {}));
    }
    for (const std::deque<Job>& jobs : dropped) {
        for (const Job& job : jobs) {
            if (job.counted)
                detail::finished();
        }
    }
    dropped.clear();
    std::unique_lock lock(l.mutex);
    // A look at a drive that is running now is not waited for either.
    const auto atRest = [](const Queue& q) { return !(q.busy && q.command) && q.commands.empty(); };
    return l.idle.wait_for(lock, std::chrono::milliseconds(ms), [&] {
        return atRest(l.list) && std::all_of(l.others.begin(), l.others.end(),
                                             [&](const auto& q) { return atRest(q.second); });
    });
}

namespace detail {
bool onListLineNow()
{
    return t_onListLine;
}

namespace {
// Carries answers to the window's thread. An answer waits in a queue under a standard lock and
// the event that calls for it carries nothing, so everything an answer holds passes from the
// worker to the window through a lock the thread sanitizer sees (it cannot see Qt's own).
class Carrier : public QObject {
public:
    void hand(std::function<void()> answer)
    {
        {
            std::lock_guard lock(m_mutex);
            m_answers.push_back(std::move(answer));
        }
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }

protected:
    // One answer per event, so the window's other events still come between two answers.
    void customEvent(QEvent*) override
    {
        std::function<void()> next;
        {
            std::lock_guard lock(m_mutex);
            if (m_answers.empty())
                return;
            next = std::move(m_answers.front());
            m_answers.pop_front();
        }
        next();
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_answers;
};

Carrier* carrier()
{
    // Never deleted: a job that ends while the program ends must find it still there.
    static Carrier* c = new Carrier;
    return c;
}
} // namespace

QObject* receiver()
{
    return carrier();
}

void answer(std::function<void()> answer)
{
    carrier()->hand(std::move(answer));
}

void begins(const Line& line, const char* postedBy)
{
    if (g_observer)
        g_observer(line, postedBy);
}

void started()
{
    ++g_inFlight;
}
void finished()
{
    --g_inFlight;
}

void run(const Line& line, Priority priority, std::function<void()> task, bool counted)
{
    Lines& l = lines();
    std::lock_guard lock(l.mutex);
    Queue& q = l.queueOf(line);
    (priority == Priority::Command ? q.commands : q.background)
        .push_back({std::move(task), counted});
    if (q.running) {
        l.work.notify_all();
        return;
    }
    q.running = true;
    std::thread(serve, line).detach();
}
} // namespace detail

} // namespace work
