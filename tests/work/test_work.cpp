// The work lines: each line one job at a time in the order given, answers on the thread that
// asked, none for a receiver that has gone; a drive that hangs holds up no other line.
#include "support/Settle.h"
#include "work/Work.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
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
            work::Line::list(), &receiver,
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
            work::Line::drive(QStringLiteral("/")), &receiver, [] { return 1; },
            [&](int) { answered = true; });
    }
    ASSERT_TRUE(settle());
    EXPECT_FALSE(answered);
}

// A job of one drive's line may hand list work to the list line and wait for it. While that
// drive hangs, the list line and another drive's line go on; the hanging drive's own next job
// waits behind it, and a command there goes before the line's background work.
TEST(Work, AHangingDriveHoldsUpOnlyItsOwnLine)
{
    QObject receiver;
    auto release = std::make_shared<std::atomic<bool>>(false);
    const work::Line share = work::Line::drive(QStringLiteral("/mnt/share"));
    int fromList = 0;
    QStringList answered;
    work::post(
        share, &receiver,
        [release] {
            while (!*release)
                QThread::msleep(1);
            return work::onListLine([] { return 42; });
        },
        [&](int v) { fromList = v; });
    for (const char* name : {"background", "command"}) {
        const bool background = QByteArrayView(name) == "background";
        work::post(
            share, &receiver, [] { return 0; },
            [&answered, name](int) { answered.append(QString::fromLatin1(name)); },
            background ? work::Priority::Background : work::Priority::Command);
    }
    work::post(
        work::Line::list(), &receiver, [] { return 0; },
        [&](int) { answered.append(QStringLiteral("list")); });
    work::post(
        work::Line::drive(QStringLiteral("/")), &receiver, [] { return 0; },
        [&](int) { answered.append(QStringLiteral("local")); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered.size() == 2; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(fromList, 0); // still waiting on its drive
    EXPECT_EQ(answered.size(), 2);
    EXPECT_TRUE(answered.contains(QStringLiteral("list")) &&
                answered.contains(QStringLiteral("local")));
    *release = true;
    ASSERT_TRUE(settle());
    EXPECT_EQ(fromList, 42);
    EXPECT_EQ(answered.mid(2),
              (QStringList{QStringLiteral("command"), QStringLiteral("background")}));
}

// The end of the program: a command already running on a drive's line finishes, with the list
// step it hands over, and background work that has not begun is dropped; a drive that does not
// answer is waited for no longer than asked.
TEST(Work, TheEndLetsRunningCommandsFinishAndWaitsABoundedTime)
{
    QObject receiver;
    // A look at a drive that does not answer is background work: the end does not wait for it.
    auto answers = std::make_shared<std::atomic<bool>>(false);
    work::post(
        work::Line::drive(QStringLiteral("/mnt/away")), &receiver,
        [answers] {
            while (!*answers)
                QThread::msleep(1);
            return 0;
        },
        [](int) {}, work::Priority::Background);
    const work::Line stick = work::Line::drive(QStringLiteral("/media/stick"));
    auto listed = std::make_shared<std::atomic<bool>>(false);
    auto greyed = std::make_shared<std::atomic<bool>>(false);
    work::post(
        stick, &receiver,
        [listed] {
            QThread::msleep(200); // the move to the trash
            return work::onListLine([listed] { return bool(*listed = true); });
        },
        [](bool) {});
    work::post(
        stick, &receiver, [greyed] { return bool(*greyed = true); }, [](bool) {},
        work::Priority::Background);
    EXPECT_TRUE(work::finishWork(3000));
    EXPECT_TRUE(*listed);
    EXPECT_FALSE(*greyed);
    *answers = true;

    auto release = std::make_shared<std::atomic<bool>>(false);
    work::post(
        work::Line::drive(QStringLiteral("/mnt/share")), &receiver,
        [release] {
            while (!*release)
                QThread::msleep(1);
            return 0;
        },
        [](int) {});
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(work::finishWork(300));
    EXPECT_GE(waited.elapsed(), 290);
    EXPECT_LT(waited.elapsed(), 2000);
    *release = true;
    EXPECT_TRUE(work::finishWork(3000));
    ASSERT_TRUE(settle());
}

} // namespace
