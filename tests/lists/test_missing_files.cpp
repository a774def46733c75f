// The missing-file checker asks drive by drive on the drives' own lines and answers on the
// caller's thread, only for the check that is current; a drive that hangs holds back its own
// entries and nothing else.
#include "lists/MissingFiles.h"
#include "support/Fakes.h"
#include "support/Settle.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

// Entries by the paths their files may have; an entry's folder is that of its first path.
struct Files : MissingFiles::Entries {
    QList<QStringList> files;
    int count() const override { return int(files.size()); }
    QString folderOf(int i) const override
    {
        return files[i].first().left(files[i].first().lastIndexOf(u'/') + 1);
    }
    QStringList filesOf(int i) const override { return files[i]; }
    QString first(int i) const { return files[i].first(); }
    Files& add(int count, const QString& folder)
    {
        for (int i = 0; i < count; ++i)
            files.append({folder + QString::number(i)});
        return *this;
    }
};

// Each answer by the entry's first path.
using States = QHash<QString, MissingFiles::State>;
MissingFiles::Found into(States& states, int* twice = nullptr, bool* elsewhere = nullptr)
{
    return [&states, twice, elsewhere](const MissingFiles::Checked& what,
                                       const MissingFiles::Answers& answers) {
        const auto& files = static_cast<const Files&>(*what);
        if (elsewhere)
            *elsewhere |= QThread::currentThread() != QCoreApplication::instance()->thread();
        for (const auto& [entry, state] : answers) {
            if (twice)
                *twice += states.contains(files.first(entry));
            states.insert(files.first(entry), state);
        }
    };
}

// A file system call on one drive that hangs until the test lets it go; shared with the checking
// threads, which may outlive a failed test.
struct Gate {
    std::atomic<bool> open{false};
    std::atomic<int> calls{0};
    bool pass()
    {
        ++calls;
        while (!open)
            QThread::msleep(1);
        return true;
    }
};

TEST(MissingFiles, EachEntryIsAnsweredOnceOnTheCallersThreadWithItsState)
{
    FakeDriveTable drives;
    drives.setMounts({QStringLiteral("/"), QStringLiteral("/media/u/stick")});
    drives.setNotConnected(QStringLiteral("/media/u/stick"));
    MissingFiles checker(drives, [](const QString& path) { return !path.endsWith(u'7'); });
    auto list = std::make_shared<Files>();
    list->add(700, QStringLiteral("/f/")).add(2, QStringLiteral("/media/u/stick/")); // batches
    // A file whose line's bytes name another file than its text: either counts.
    list->files.append({QStringLiteral("/g/7"), QStringLiteral("/g/1")});
    States states;
    int twice = 0;
    bool elsewhere = false;
    checker.check(list, into(states, &twice, &elsewhere));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checker.busy());
    ASSERT_EQ(states.size(), list->count());
    EXPECT_EQ(twice, 0);
    EXPECT_FALSE(elsewhere);
    using S = MissingFiles::State;
    EXPECT_EQ(states[QStringLiteral("/f/17")], S::Missing);
    EXPECT_EQ(states[QStringLiteral("/f/18")], S::Present);
    EXPECT_EQ(states[QStringLiteral("/media/u/stick/1")], S::NotConnected);
    EXPECT_EQ(states[QStringLiteral("/g/7")], S::Present);
}

// One entry on a share that hangs, 1,000 on the local disk, the list reloaded ten times: each
// reload's local entries are answered at once, and the share is asked once, not once a reload.
TEST(MissingFiles, AHangingDriveHoldsBackOnlyItsOwnEntries)
{
    FakeDriveTable drives;
    drives.setMounts({QStringLiteral("/"), QStringLiteral("/mnt/share")});
    const auto gate = std::make_shared<Gate>();
    MissingFiles checker(drives, [gate](const QString& path) {
        return path.startsWith(QStringLiteral("/mnt/share/")) ? gate->pass() : true;
    });
    auto list = std::make_shared<Files>();
    list->add(1000, QStringLiteral("/home/u/plots/")).add(1, QStringLiteral("/mnt/share/"));
    for (int reload = 0; reload < 10; ++reload) {
        States states;
        checker.check(list, into(states));
        ASSERT_TRUE(QTest::qWaitFor([&] { return states.size() == 1000; }, 1000))
            << "reload " << reload << ": " << states.size() << " answered";
        EXPECT_FALSE(states.contains(QStringLiteral("/mnt/share/0")));
    }
    EXPECT_EQ(gate->calls, 1);
    States late;
    checker.check(list, into(late));
    gate->open = true; // the share answers: the newest check's entry is marked
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return late.contains(QStringLiteral("/mnt/share/0")); }, 5000));
    ASSERT_TRUE(settle());
}

// A check stuck on an unreachable folder outlives the list it was for: once the checker has gone
// nothing is called back.
TEST(MissingFiles, ACheckerThatHasGoneCallsNothingBack)
{
    FakeDriveTable drives;
    const auto gate = std::make_shared<Gate>();
    bool called = false;
    {
        MissingFiles checker(drives, [gate](const QString&) { return gate->pass(); });
        auto list = std::make_shared<Files>();
        list->add(3, QStringLiteral("/share/"));
        checker.check(list, [&](const MissingFiles::Checked&, const MissingFiles::Answers&) {
            called = true;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate->calls > 0; }, 5000));
    }
    gate->open = true;
    ASSERT_TRUE(settle());
    EXPECT_FALSE(called);
}

} // namespace
