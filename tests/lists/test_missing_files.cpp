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

struct Listing {
    QStringList folders, names;
};

// Files folder + "0" ... folder + "<count - 1>".
Listing listing(int count, const QString& folder)
{
    Listing l;
    for (int i = 0; i < count; ++i) {
        l.folders.append(folder);
        l.names.append(QString::number(i));
    }
    return l;
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
    const Listing files = listing(count, QStringLiteral("/f/"));
    QList<qsizetype> found;
    bool elsewhere = false;
    checker.check(files.folders, files.names, [&](const QList<qsizetype>& missing) {
        elsewhere |= QThread::currentThread() != QCoreApplication::instance()->thread();
        found += missing;
    });
    ASSERT_TRUE(waitUntilDone(checker));
    QList<qsizetype> expected;
    for (qsizetype i = 7; i < count; i += 10)
        expected.append(i);
    EXPECT_EQ(found, expected);
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
    const Listing before = listing(3, QStringLiteral("/old/"));
    const Listing now = listing(2, QStringLiteral("/new/"));
    QList<qsizetype> oldAnswers, newAnswers;
    checker.check(before.folders, before.names,
                  [&](const QList<qsizetype>& missing) { oldAnswers += missing; });
    checker.check(now.folders, now.names,
                  [&](const QList<qsizetype>& missing) { newAnswers += missing; });
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
        const Listing files = listing(3, QStringLiteral("/share/"));
        checker.check(files.folders, files.names, [&](const QList<qsizetype>&) { called = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate->calls > 0; }, 5000));
    }
    gate->open = true;
    EXPECT_FALSE(QTest::qWaitFor([&] { return called || gate->calls > 1; }, 300));
}

} // namespace
