// The list file survives every failure of a rewrite: a folder we may not write, a full disk, and
// the process dying between writing the new file and swapping it in.
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "support/InChild.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 9, 26));

QByteArray someRecords(int count)
{
    QByteArray data;
    for (int i = 0; i < count; ++i)
        data +=
            records::encode({QStringLiteral("fpl"), QStringLiteral("/field/data/plot%1.fpl").arg(i),
                             QStringLiteral("3/14/26 3:09:26 PM")});
    return data;
}

TEST(ListFaults, ReadOnlyApplicationFolder)
{
    TempAppFolder app;
    const QByteArray before = someRecords(5);
    app.write(QStringLiteral("QELFileList.txt"), before);
    QFile::setPermissions(app.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                          QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    const int code = inChild([&] {
        if (!becomeOrdinaryUser())
            return 90;
        RecentFileList store(app.path());
        const FileResult r =
            store.TouchFileEntry(QStringLiteral("/x/new.fpl"), QStringLiteral("fpl"), kNow);
        return r.ok ? 0 : r.error;
    });
    QFile::setPermissions(app.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(code, EACCES);
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

TEST(ListFaults, FullDisk)
{
    TempAppFolder mountPoint;
    if (mount("tmpfs", QFile::encodeName(mountPoint.path()).constData(), "tmpfs", 0, "size=64k") !=
        0)
        GTEST_SKIP() << "cannot mount a small tmpfs here: " << strerror(errno);
    const QByteArray before = someRecords(800); // about 40 KB: two copies do not fit in 64 KB
    {
        QFile f(mountPoint.file(QStringLiteral("QELFileList.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(before), before.size());
    }
    RecentFileList store(mountPoint.path());
    const FileResult r =
        store.TouchFileEntry(QStringLiteral("/x/new.fpl"), QStringLiteral("fpl"), kNow);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(mountPoint.read(QStringLiteral("QELFileList.txt")), before);
    EXPECT_FALSE(mountPoint.exists(QStringLiteral("qellist.tmp")));
    EXPECT_TRUE(store.read().result.ok);
    umount(QFile::encodeName(mountPoint.path()).constData());
}

TEST(ListFaults, CrashBetweenWritingAndReplacing)
{
    TempAppFolder app;
    const QByteArray before = someRecords(3);
    app.write(QStringLiteral("QELFileList.txt"), before);
    const int code = inChild([&] {
        RecentFileList store(app.path());
        store.setBeforeReplaceHook([] { _exit(42); });
        store.TouchFileEntry(QStringLiteral("/x/new.fpl"), QStringLiteral("fpl"), kNow);
        return 0;
    });
    ASSERT_EQ(code, 42);
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
    EXPECT_TRUE(app.exists(QStringLiteral("qellist.tmp"))); // the orphan of the crash

    // The next rewrite clears the orphan and succeeds.
    RecentFileList store(app.path());
    EXPECT_TRUE(store.TouchFileEntry(QStringLiteral("/x/new.fpl"), QStringLiteral("fpl"), kNow).ok);
    EXPECT_EQ(store.read().records.size(), 4);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

} // namespace
