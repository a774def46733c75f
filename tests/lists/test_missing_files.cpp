// The missing-file checker asks on threads of its own and answers on the caller's thread, batch
// by batch, and only for the check that is current.
#include "lists/MissingFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

// Files folder + "0" ... folder + "<count - 1>".
QStringList listing(int count, const QString& folder)
{
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(folder + QString::number(i));
    return paths;
}

// A file system call that hangs until the test lets it go; shared with the checking threads,
// which may outlive a failed test.
struct Gate {
    std::atomic<bool> open{false};
    std::atomic<int> calls{0};
    void pass()
    {
        ++calls;
        while (!open)
            QThread::msleep(1);
    }
};

bool waitUntilDone(const MissingFiles& checker)
{
    const bool done = QTest::qWaitFor([&] { return !checker.busy(); }, 10000);
    QCoreApplication::processEvents(); // the answers sent before the end
    return done;
}

TEST(MissingFiles, EveryMissingFileIsReportedOnceOnTheCallersThread)
{
    const int count = 2500; // more than two batches, the last one short
    MissingFiles checker([](const QString& path) { return !path.endsWith(QLatin1Char('7')); });
    QList<qsizetype> found;
    qsizetype answeredUpTo = 0;
    bool elsewhere = false, gaps = false;
    checker.check(listing(count, QStringLiteral("/f/")), [&](const MissingFiles::Answer& a) {
        elsewhere |= QThread::currentThread() != QCoreApplication::instance()->thread();
        gaps |= a.begin != answeredUpTo;
        answeredUpTo = a.end;
        found += a.missing;
    });
    ASSERT_TRUE(waitUntilDone(checker));
    QList<qsizetype> expected;
    for (qsizetype i = 7; i < count; i += 10)
        expected.append(i);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(answeredUpTo, count); // every file answered for, present or not
    EXPECT_FALSE(gaps);
    EXPECT_FALSE(elsewhere);
}

TEST(MissingFiles, ANewCheckDropsTheAnswersOfTheOneBefore)
{
    const auto gate = std::make_shared<Gate>();
    MissingFiles checker([gate](const QString& path) {
        if (path.startsWith(QStringLiteral("/old/")))
            gate->pass();
        return false;
    });
    QList<qsizetype> oldAnswers, newAnswers;
    checker.check(listing(3, QStringLiteral("/old/")),
                  [&](const MissingFiles::Answer& a) { oldAnswers += a.missing; });
    checker.check(listing(2, QStringLiteral("/new/")),
                  [&](const MissingFiles::Answer& a) { newAnswers += a.missing; });
    gate->open = true;
    ASSERT_TRUE(waitUntilDone(checker));
    EXPECT_FALSE(QTest::qWaitFor([&] { return oldAnswers.size() + newAnswers.size() > 2; }, 300));
    EXPECT_EQ(newAnswers, (QList<qsizetype>{0, 1}));
    EXPECT_TRUE(oldAnswers.isEmpty());
}

// A check stuck on an unreachable folder outlives the list it was for: once the checker has gone
// it asks about no further file and calls nothing back.
TEST(MissingFiles, ACheckerThatHasGoneStopsAsking)
{
    const auto gate = std::make_shared<Gate>();
    bool called = false;
    {
        MissingFiles checker([gate](const QString&) {
            gate->pass();
            return false;
        });
        checker.check(listing(3, QStringLiteral("/share/")),
                      [&](const MissingFiles::Answer&) { called = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate->calls > 0; }, 5000));
    }
    gate->open = true;
    EXPECT_FALSE(QTest::qWaitFor([&] { return called || gate->calls > 1; }, 300));
}

} // namespace
