#include "lists/Work.h"

#include <QElapsedTimer>

#include <atomic>

namespace work {

namespace {
std::atomic<int> g_inFlight{0};
Observer g_observer;

QThreadPool* makePool(int threads)
{
    // Never deleted: deleting a pool waits for its threads, and one of them may wait on a drive
    // that does not answer.
    auto* p = new QThreadPool;
    p->setMaxThreadCount(threads);
    p->setExpiryTimeout(-1);
    return p;
}
} // namespace

QThreadPool& pool(Queue queue)
{
    static QThreadPool* list = makePool(1);
    // Enough for several drives that hang at once, each holding a thread until it answers.
    static QThreadPool* drives = makePool(16);
    return queue == Queue::List ? *list : *drives;
}

void setObserver(Observer observer)
{
    g_observer = std::move(observer);
}

int inFlight()
{
    return g_inFlight.load();
}

bool finishListWork(int ms)
{
    return pool(Queue::List).waitForDone(ms);
}

namespace detail {
QObject* receiver()
{
    // Never deleted: a job that ends while the program ends must find it still there.
    static QObject* carrier = new QObject;
    return carrier;
}

void begins(Queue queue, const char* postedBy)
{
    if (g_observer)
        g_observer(queue, postedBy);
}

void started()
{
    ++g_inFlight;
}
void finished()
{
    --g_inFlight;
}
} // namespace detail

} // namespace work
