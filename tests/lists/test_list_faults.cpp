// The list file survives every failure of a rewrite: a folder we may not write, a full disk, and
// the process dying between writing the new file and swapping it in.
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "lists/WebLinkList.h"
#include "support/CommandRig.h"
#include "support/InChild.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
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

// Something other than a file where the temporary file goes stops every rewrite of both lists
// until it is taken away: each says so, naming it, and neither list changes.
TEST(ListFaults, TheTemporaryFilesPlaceTakenIsNamed)
{
    struct Case {
        const char* what;
        std::function<void(const TempAppFolder& app)> take;
        const char* says; // the error's number and text, before ": <path>"
    };
    const Case cases[] = {
        {"a folder", [](const TempAppFolder& a) { a.mkdir(QStringLiteral("qellist.tmp")); },
         "21-Is a directory"},
        {"a folder with files in it",
         [](const TempAppFolder& a) { a.write(QStringLiteral("qellist.tmp/kept"), "x"); },
         "21-Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempAppFolder app;
        const QByteArray before = someRecords(2);
        app.write(QStringLiteral("QELFileList.txt"), before);
        c.take(app);
        const QString says = QStringLiteral("Problem saving to QEL list\r") +
                             QLatin1String(c.says) + QStringLiteral(": ") +
                             app.file(QStringLiteral("qellist.tmp"));
        EXPECT_EQ(RecentFileList(app.path())
                      .TouchFileEntry(QStringLiteral("/x/new.fpl"), QStringLiteral("fpl"), kNow)
                      .message(QStringLiteral("Problem saving to QEL list")),
                  says);
        EXPECT_EQ(WebLinkList(app.path())
                      .append({QStringLiteral("B"), QStringLiteral("http://b")})
                      .message(QStringLiteral("Problem saving to QEL list")),
                  says);
        EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
        EXPECT_FALSE(app.exists(QStringLiteral("QELWebList.txt")));
    }
}

// The refresh remembers the version it read: another program's rewrite while the read is made
// into entries is seen at the next look, not taken for the version shown.
TEST(ListFaults, ARewriteDuringTheRefreshsParseIsSeenNextTime)
{
    TempAppFolder app;
    app.write(QStringLiteral("QELFileList.txt"), someRecords(2));
    RecentFileList store(app.path());
    store.setAfterListingReadHook(
        [&] { app.write(QStringLiteral("QELFileList.txt"), someRecords(3)); });
    const RecentFileList::Refreshed first = store.listingIfChanged({});
    ASSERT_TRUE(first.read);
    EXPECT_EQ(first.listing.size(), 2u);
    store.setAfterListingReadHook({});
    const RecentFileList::Refreshed next = store.listingIfChanged(first.identity);
    ASSERT_TRUE(next.read);
    EXPECT_EQ(next.listing.size(), 3u);
    EXPECT_FALSE(store.listingIfChanged(next.identity).read);
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

// A list file its owner may not write is left alone, even by root, whom the permission bits do
// not stop, and also when it is reached through a symbolic link: every change of either list
// fails before anything is written, as a failed write of a read-only file reads on the suite's
// Windows machines, and no data file is renamed or deleted on the way.
TEST(ListFaults, ReadOnlyListFileIsNeverReplaced)
{
    struct Case {
        const char* name;
        QString listName;
        std::function<FileResult(const QString& app)> change;
    };
    const Case cases[] = {
        {"touch", QStringLiteral("QELFileList.txt"),
         [](const QString& a) {
             return RecentFileList(a).TouchFileEntry(QStringLiteral("/x/new.fpl"),
                                                     QStringLiteral("fpl"), kNow);
         }},
        {"delete with its file", QStringLiteral("QELFileList.txt"),
         [](const QString& a) {
             CommandRig rig;
             return openedits::DeleteFileEntry(rig.seams(a),
                                               entryOf(a + QStringLiteral("/data/plot.fpl")),
                                               openedits::Removal::ForGood, rig.waiting)
                 .result;
         }},
        {"rename", QStringLiteral("QELFileList.txt"),
         [](const QString& a) {
             // Not even for a moment: renamed and put back is a change written too.
             CommandRig rig;
             openedits::Seams seams = rig.seams(a);
             bool moved = false;
             seams.store.file().beforeRead = [&] {
                 moved = moved || QFileInfo::exists(a + QStringLiteral("/data/renamed.fpl"));
             };
             const FileResult r =
                 openedits::RenameFileEntry(seams, entryOf(a + QStringLiteral("/data/plot.fpl")),
                                            QStringLiteral("renamed.fpl"), rig.waiting)
                     .result;
             return moved ? FileResult::refused(QStringLiteral("the data file moved")) : r;
         }},
        {"web append", QStringLiteral("QELWebList.txt"),
         [](const QString& a) {
             return WebLinkList(a).append({QStringLiteral("B"), QStringLiteral("http://b")});
         }},
        {"web remove", QStringLiteral("QELWebList.txt"),
         [](const QString& a) { return WebLinkList(a).remove(QStringLiteral("A")); }},
    };
    for (const Case& c : cases) {
        for (const bool viaLink : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (viaLink ? " through a link" : ""));
            TempAppFolder app;
            TempAppFolder elsewhere;
            app.write(QStringLiteral("data/plot.fpl"), "x");
            const QByteArray before =
                c.listName == QStringLiteral("QELWebList.txt")
                    ? records::encode({QStringLiteral("A"), QStringLiteral("http://a")})
                    : records::encode({QStringLiteral("fpl"),
                                       app.path() + QStringLiteral("/data/plot.fpl"),
                                       QStringLiteral("d")});
            const QString list = app.file(c.listName);
            const QString real = viaLink ? elsewhere.file(QStringLiteral("list.txt")) : list;
            (viaLink ? elsewhere : app).write(QFileInfo(real).fileName(), before);
            ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0444), 0);
            if (viaLink) {
                ASSERT_EQ(::symlink(QFile::encodeName(real).constData(),
                                    QFile::encodeName(list).constData()),
                          0);
            }

            const FileResult r = c.change(app.path());
            EXPECT_EQ(r.message(QStringLiteral("Problem saving to QEL list")),
                      QStringLiteral("Problem saving to QEL list\r13-Permission denied"));
            EXPECT_EQ(QFileInfo(list).isSymLink(), viaLink);
            QFile f(real);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), before);
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0444u);
            EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
            EXPECT_TRUE(app.exists(QStringLiteral("data/plot.fpl")));
            EXPECT_FALSE(app.exists(QStringLiteral("data/renamed.fpl")));
        }
    }
}

} // namespace
