// The work queues: list work one job at a time in the order given, answers on the thread that
// asked, none for a receiver that has gone, and drive work beside the list queue.
#include "lists/Work.h"
#include "support/Settle.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <mutex>

namespace {

TEST(Work, ListJobsRunOneAtATimeInOrderAndAnswerOnTheAskingThread)
{
    QObject receiver;
    auto running = std::make_shared<std::atomic<int>>(0);
    auto overlap = std::make_shared<std::atomic<bool>>(false);
    QList<int> ran, answered;
    std::mutex ranMutex;
    bool elsewhere = false;
    for (int i = 0; i < 20; ++i) {
        work::post(
            work::Queue::List, &receiver,
            [=, &ran, &ranMutex] {
                if (++*running > 1)
                    *overlap = true;
                QThread::usleep(200);
                {
                    std::lock_guard lock(ranMutex);
                    ran.append(i);
                }
                --*running;
                return i;
            },
            [&](int i) {
                elsewhere |= QThread::currentThread() != receiver.thread();
                answered.append(i);
            });
    }
    ASSERT_TRUE(settle());
    QList<int> order;
    for (int i = 0; i < 20; ++i)
        order.append(i);
    EXPECT_EQ(ran, order);
    EXPECT_EQ(answered, order);
    EXPECT_FALSE(*overlap);
    EXPECT_FALSE(elsewhere);
}

TEST(Work, AReceiverThatHasGoneGetsNoAnswer)
{
    bool answered = false;
    {
        QObject receiver;
        work::post(
            work::Queue::Drives, &receiver, [] { return 1; }, [&](int) { answered = true; });
    }
    ASSERT_TRUE(settle());
    EXPECT_FALSE(answered);
}

// A drive job may change a list in the middle of its work; the list queue does it in turn, and
// drive work that hangs does not hold up the list queue.
TEST(Work, DriveJobsRunBesideTheListQueueAndHandItListWork)
{
    QObject receiver;
    auto release = std::make_shared<std::atomic<bool>>(false);
    int fromList = 0;
    bool listAnswered = false;
    work::post(
        work::Queue::Drives, &receiver,
        [release] {
            while (!*release)
                QThread::msleep(1);
            return work::onListQueue([] { return 42; });
        },
        [&](int v) { fromList = v; });
    work::post(
        work::Queue::List, &receiver, [] { return 0; }, [&](int) { listAnswered = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return listAnswered; }, 5000));
    EXPECT_EQ(fromList, 0); // still waiting on its "drive"
    *release = true;
    ASSERT_TRUE(settle());
    EXPECT_EQ(fromList, 42);
}

} // namespace
