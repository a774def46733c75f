// The recent-file list against what other programs and careless hands leave in its place: things
// that are not files, a list that changes under a rewrite, other encodings, names the format
// cannot hold, and links.
#include "lists/RecentFileList.h"
#include "lists/RecordCodec.h"
#include "lists/WebLinkList.h"
#include "support/InChild.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QDateTime kNow(QDate(2026, 3, 14), QTime(15, 9, 26));

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitized = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitized = true;
#else
constexpr bool kThreadSanitized = false;
#endif
#else
constexpr bool kThreadSanitized = false;
#endif

QByteArray rec(const QString& code, const QString& path, const char* date = "d")
{
    return records::encode({code, path, QString::fromLatin1(date)});
}

// The process's address space now, from the kernel's own account.
rlim_t addressSpaceInUse()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmSize:"))
            return rlim_t(line.mid(7).trimmed().split(' ').first().toULongLong()) * 1024;
    }
    return 0;
}

// Pipes, devices, a folder and a huge sparse file in the list's place: every operation fails at
// once with the usual kind of failure, under a memory limit that reading them would break, and
// nothing is replaced.
TEST(HostileLists, ThingsThatAreNotListFilesAreRefusedAtOnce)
{
    struct Case {
        const char* name;
        std::function<bool(const QByteArray& list)> make;
        int error; // the failure's number; for our own refusals the nearest, never 0
    };
    const Case cases[] = {
        {"link to /dev/zero",
         [](const QByteArray& l) { return symlink("/dev/zero", l.constData()) == 0; }, EINVAL},
        {"link to /dev/urandom",
         [](const QByteArray& l) { return symlink("/dev/urandom", l.constData()) == 0; }, EINVAL},
        {"pipe", [](const QByteArray& l) { return mkfifo(l.constData(), 0600) == 0; }, ESPIPE},
        {"3 GB sparse file",
         [](const QByteArray& l) {
             const int fd = ::open(l.constData(), O_WRONLY | O_CREAT, 0600);
             const bool ok = fd >= 0 && ftruncate(fd, 3LL << 30) == 0;
             ::close(fd);
             return ok;
         },
         EFBIG},
        {"folder", [](const QByteArray& l) { return mkdir(l.constData(), 0700) == 0; }, EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppFolder app;
        app.write(QStringLiteral("data/plot.fpl"), "x");
        RecentFileList store(app.path());
        const QByteArray list = QFile::encodeName(store.listPath());
        ASSERT_TRUE(c.make(list));
        struct stat before {};
        lstat(list.constData(), &before);

        const int code = inChild([&] {
            alarm(10); // a read that waits for a writer ends the child instead of the test
            if (!kSanitized) {
                const rlimit limit{addressSpaceInUse() + (512u << 20), RLIM_INFINITY};
                setrlimit(RLIMIT_AS, &limit);
            }
            const RecentFileList::Contents contents = store.read();
            if (contents.result.ok || contents.result.error != c.error)
                return 1;
            const FileResult results[] = {
                store.TouchFileEntry(QStringLiteral("/x/a.fpl"), QStringLiteral("fpl"), kNow),
                store.SyncDataFolderEntries(), store.ScanDataFolder(),
                store.removeRecords(QStringLiteral("/x/a.fpl"))};
            for (const FileResult& r : results) {
                if (r.ok || r.error != c.error)
                    return 2;
            }
            return 0;
        });
        EXPECT_EQ(code, 0);
        struct stat after {};
        lstat(list.constData(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
    }
}

// A line of 50 MB in either list file, another program's damage: it is not read as a record, the
// read names its line, and every rewrite keeps it byte for byte, holding at most three times the
// file's size at once.
TEST(HostileLists, AFiftyMegabyteLineIsKeptButNeverRead)
{
    const QByteArray filler(50 << 20, 'n');
    for (const bool web : {false, true}) {
        SCOPED_TRACE(web ? "web links" : "recent files");
        TempAppFolder app;
        const QString name =
            web ? QStringLiteral("QELWebList.txt") : QStringLiteral("QELFileList.txt");
        const QByteArray first = web ? records::encode({QStringLiteral("A"), QStringLiteral("1")})
                                     : rec(QStringLiteral("fpl"), QStringLiteral("/x/a.fpl"));
        const QByteArray huge = web ? "\"Huge\",\"http://" + filler + "\"\r\n"
                                    : "\"fpl\",\"/x/" + filler + ".fpl\",\"d\"\r\n";
        app.write(name, first + huge);
        const qint64 size = first.size() + huge.size();
        const int code = inChild([&] {
            if (!kSanitized && !kThreadSanitized) {
                const rlimit limit{addressSpaceInUse() + rlim_t(3 * size), RLIM_INFINITY};
                setrlimit(RLIMIT_AS, &limit);
            }
            if (web) {
                WebLinkList store(app.path());
                const WebLinkList::Contents c = store.read();
                if (c.records.size() != 1 ||
                    c.result.errorText != QStringLiteral("Line 2 is not a web link"))
                    return 1;
                if (!store.append({QStringLiteral("B"), QStringLiteral("2")}).ok ||
                    !store.remove(QStringLiteral("A")).ok)
                    return 2;
                return 0;
            }
            RecentFileList store(app.path());
            const OpenListing listing = store.listing(false);
            if (listing.size() != 1 || listing.damagedLine != 2)
                return 1;
            if (!store.TouchFileEntry(QStringLiteral("/x/b.fpl"), QStringLiteral("fpl"), kNow).ok ||
                !store.SyncDataFolderEntries().ok ||
                !store.removeRecords(QStringLiteral("/x/a.fpl")).ok)
                return 2;
            return 0;
        });
        EXPECT_EQ(code, 0);
        const QByteArray after = app.read(name);
        EXPECT_TRUE(after.startsWith(huge)); // the first record went, the damaged line stayed
        const QByteArray rest = after.mid(huge.size());
        EXPECT_TRUE(rest.startsWith(web ? "\"B\",\"2\"" : "\"fpl\",\"/x/b.fpl\""))
            << rest.constData();
    }
}

// A companion tool adds records by atomic rename while the hub syncs a large data folder over
// and over: not one of the tool's records may be lost.
TEST(HostileLists, AnotherProgramsRecordsSurviveOurRewrites)
{
    // A race between two processes, which the thread sanitizer cannot see; it only slows our
    // rewrites past the tool's pace, so that they give up as busy.
    if (kThreadSanitized)
        GTEST_SKIP() << "not a race between threads";
    TempAppFolder app;
    constexpr int kDataFiles = 1000;
    constexpr int kTheirRecords = 150;
    for (int i = 0; i < kDataFiles; ++i)
        app.write(QStringLiteral("data/plot%1.fpl").arg(i), "x");
    RecentFileList store(app.path());
    ASSERT_TRUE(store.SyncDataFolderEntries().ok);

    QProcess writer;
    writer.start(QStringLiteral(LIST_WRITER_EXE), {store.listPath(), QString::number(kTheirRecords),
                                                   QStringLiteral("10"), QStringLiteral("tool")});
    ASSERT_TRUE(writer.waitForStarted());
    // On a loaded machine a rewrite of this size can lose every race against the tool's pace;
    // it then gives up as busy, which is allowed. Failing in any other way is not.
    int syncs = 0;
    while (!writer.waitForFinished(0)) {
        const FileResult r = store.SyncDataFolderEntries();
        EXPECT_TRUE(r.ok || r.busy) << r.errorText.toStdString();
        ++syncs;
    }
    ASSERT_EQ(writer.exitCode(), 0);
    EXPECT_GE(syncs, 3); // the syncs overlapped the writer
    EXPECT_TRUE(store.SyncDataFolderEntries().ok);

    QSet<QString> paths;
    int dataRecords = 0;
    for (const FileListRecord& r : store.read().records) {
        paths.insert(r.path);
        dataRecords += r.path.startsWith(store.dataFolder()) ? 1 : 0;
    }
    int lost = 0;
    for (int i = 0; i < kTheirRecords; ++i)
        lost += paths.contains(QStringLiteral("/other/tool-%1.fpl").arg(i)) ? 0 : 1;
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(dataRecords, kDataFiles);
}

// Another program's change that lands after the last look, right before the swap: the swap
// hands it back and the rewrite starts again from it.
TEST(HostileLists, AChangeRightBeforeTheSwapIsNotLost)
{
    TempAppFolder app;
    RecentFileList store(app.path());
    app.write(QStringLiteral("QELFileList.txt"),
              rec(QStringLiteral("fpl"), QStringLiteral("/a.fpl")));
    int swaps = 0;
    store.setBeforeReplaceHook([&] {
        if (swaps++ > 0)
            return;
        app.write(QStringLiteral("theirs.tmp"),
                  rec(QStringLiteral("fpl"), QStringLiteral("/a.fpl")) +
                      rec(QStringLiteral("pli"), QStringLiteral("/theirs.pli")));
        QFile::remove(store.listPath());
        QFile::rename(app.file(QStringLiteral("theirs.tmp")), store.listPath());
    });
    ASSERT_TRUE(store.TouchFileEntry(QStringLiteral("/ours.fpl"), QStringLiteral("fpl"), kNow).ok);
    QStringList paths;
    for (const FileListRecord& r : store.read().records)
        paths << r.path;
    EXPECT_EQ(paths, (QStringList{QStringLiteral("/a.fpl"), QStringLiteral("/theirs.pli"),
                                  QStringLiteral("/ours.fpl")}));
    EXPECT_EQ(swaps, 2);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

// One line in another encoding and a byte-order mark: the sync writes every record it keeps
// with exactly the bytes it had, and the mark is not part of the first kind code.
TEST(HostileLists, ForeignEncodingsAndAByteOrderMarkSurviveASync)
{
    TempAppFolder app;
    app.write(QStringLiteral("data/new.fpl"), "x");
    RecentFileList store(app.path());
    const QByteArray utf8 = "\"fpl\",\"/srv/caf\xC3\xA9/\xE6\x97\xA5\xE6\x9C\xAC.pli\",\"d1\"\r\n";
    const QByteArray latin1 = "\"pli\",\"/old/caf\xE9.pli\",\"d2\"\r\n";
    const QByteArray other = "\"crn\",\"/x/\xC3\xBC.crn\",\"d3\"\r\n";
    app.write(QStringLiteral("QELFileList.txt"),
              "\xEF\xBB\xBF" + utf8 + latin1 +
                  rec(QStringLiteral("fpl"), store.dataFolder() + QStringLiteral("old.fpl")) +
                  other);

    ASSERT_TRUE(store.SyncDataFolderEntries().ok);
    const QByteArray after = app.read(QStringLiteral("QELFileList.txt"));
    const QByteArray kept = "\xEF\xBB\xBF" + utf8 + latin1 + other;
    EXPECT_TRUE(after.startsWith(kept)) << after.constData();
    const QList<FileListRecord> records = store.read().records;
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].kindCode, QStringLiteral("fpl"));
    EXPECT_EQ(records[0].path, QStringLiteral("/srv/caf\u00e9/\u65e5\u672c.pli"));
    EXPECT_EQ(records[1].path, QStringLiteral("/old/caf\u00e9.pli"));
    EXPECT_EQ(records[3].path, store.dataFolder() + QStringLiteral("new.fpl"));
}

// A data folder spelled in capitals, holding names with commas, double quotes and bytes that
// are not UTF-8: the names the list can hold are listed (one that is no UTF-8 as its bytes, read
// back as the suite's Windows programs write), the others left out, and every line the sync
// writes is a record that reads back, start after start.
TEST(HostileLists, DataFileNamesTheFormatCannotHoldAreNeverWritten)
{
    TempAppFolder app;
    for (const char* name : {"x\",\"y.fpl", "quo\"te.fpl", "a, b.fpl", "ok.pli", "caf\xE9.fpl"}) {
        const QByteArray path = QFile::encodeName(app.path()) + "/DATA/" + name;
        app.mkdir(QStringLiteral("DATA"));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    }
    RecentFileList store(app.path());
    const QString data = app.path() + QStringLiteral("/DATA/");
    for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(store.SyncDataFolderEntries().ok);
        const QList<FileListRecord> records = store.read().records;
        ASSERT_EQ(records.size(), 3);
        EXPECT_EQ(records[0].path, data + QStringLiteral("a, b.fpl"));
        EXPECT_EQ(records[1].path, data + QStringLiteral("caf\u00e9.fpl"));
        EXPECT_EQ(records[2].path, data + QStringLiteral("ok.pli"));
        EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")).count('\n'), 3);
        EXPECT_TRUE(app.read(QStringLiteral("QELFileList.txt")).contains("/DATA/caf\xE9.fpl\""));
    }

    const QByteArray before = app.read(QStringLiteral("QELFileList.txt"));
    const FileResult r =
        store.TouchFileEntry(data + QStringLiteral("quo\"te.fpl"), QStringLiteral("fpl"), kNow);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, EINVAL);
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
    EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
}

// A list reached through a symbolic link is read through it, but a change replaces the link
// with a file of its own: the file it leads to keeps its bytes (a shared list is copied, not
// changed for everyone), and a link that leads nowhere does not make its target. Both lists.
TEST(HostileLists, ALinkedListIsCopiedOnItsFirstChange)
{
    struct Case {
        const char* name;
        QString listName;
        QByteArray record;
        std::function<FileResult(const QString& app)> change;
        int fields;
        QStringList added; // the added record's first two fields
    };
    const Case cases[] = {
        {"recent files",
         QStringLiteral("QELFileList.txt"),
         rec(QStringLiteral("fpl"), QStringLiteral("/field/a.fpl")),
         [](const QString& app) {
             return RecentFileList(app).TouchFileEntry(QStringLiteral("/field/b.fpl"),
                                                       QStringLiteral("fpl"), kNow);
         },
         3,
         {QStringLiteral("fpl"), QStringLiteral("/field/b.fpl")}},
        {"web links",
         QStringLiteral("QELWebList.txt"),
         records::encode({QStringLiteral("A"), QStringLiteral("http://a")}),
         [](const QString& app) {
             return WebLinkList(app).append({QStringLiteral("B"), QStringLiteral("http://b")});
         },
         2,
         {QStringLiteral("B"), QStringLiteral("http://b")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppFolder app;
        TempAppFolder shared;
        shared.write(QStringLiteral("lists/list.txt"), c.record);
        const QString target = shared.file(QStringLiteral("lists/list.txt"));
        const QString list = app.file(c.listName);
        ASSERT_EQ(
            symlink(QFile::encodeName(target).constData(), QFile::encodeName(list).constData()), 0);

        ASSERT_TRUE(c.change(app.path()).ok);
        EXPECT_FALSE(QFileInfo(list).isSymLink());
        const QByteArray now = app.read(c.listName);
        EXPECT_TRUE(now.startsWith(c.record)) << now.constData();
        const QList<QStringList> records = records::parse(now, c.fields);
        ASSERT_EQ(records.size(), 2);
        EXPECT_EQ(records[1].mid(0, 2), c.added);
        EXPECT_EQ(shared.read(QStringLiteral("lists/list.txt")), c.record);
        EXPECT_EQ(QDir(shared.file(QStringLiteral("lists"))).entryList(QDir::Files),
                  QStringList{QStringLiteral("list.txt")});
        EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));

        // A relative link to a list not yet made: the list is made in the link's place.
        QFile::remove(list);
        app.mkdir(QStringLiteral("sub"));
        ASSERT_EQ(symlink("sub/../made.txt", QFile::encodeName(list).constData()), 0);
        ASSERT_TRUE(c.change(app.path()).ok);
        EXPECT_FALSE(QFileInfo(list).isSymLink());
        EXPECT_EQ(app.read(c.listName).count('\n'), 1);
        EXPECT_FALSE(app.exists(QStringLiteral("made.txt")));
        EXPECT_FALSE(app.exists(QStringLiteral("qellist.tmp")));
    }
}

// Through a link, "changed meanwhile" means the file the link leads to: another program's
// rewrite of it right before the swap sends the rewrite back to the start, and the copy holds
// their record as well as ours, while their file holds exactly what they wrote.
TEST(HostileLists, AChangeBehindALinkIsNotLost)
{
    TempAppFolder app;
    TempAppFolder shared;
    const QByteArray theirs = rec(QStringLiteral("fpl"), QStringLiteral("/a.fpl")) +
                              rec(QStringLiteral("pli"), QStringLiteral("/theirs.pli"));
    shared.write(QStringLiteral("list.txt"), rec(QStringLiteral("fpl"), QStringLiteral("/a.fpl")));
    RecentFileList store(app.path());
    ASSERT_EQ(symlink(QFile::encodeName(shared.file(QStringLiteral("list.txt"))).constData(),
                      QFile::encodeName(store.listPath()).constData()),
              0);
    int swaps = 0;
    store.setBeforeReplaceHook([&] {
        if (swaps++ > 0)
            return;
        shared.write(QStringLiteral("theirs.tmp"), theirs);
        ::rename(QFile::encodeName(shared.file(QStringLiteral("theirs.tmp"))).constData(),
                 QFile::encodeName(shared.file(QStringLiteral("list.txt"))).constData());
    });
    ASSERT_TRUE(store.TouchFileEntry(QStringLiteral("/ours.fpl"), QStringLiteral("fpl"), kNow).ok);
    EXPECT_EQ(swaps, 2);
    EXPECT_FALSE(QFileInfo(store.listPath()).isSymLink());
    QStringList paths;
    for (const FileListRecord& r : store.read().records)
        paths << r.path;
    EXPECT_EQ(paths, (QStringList{QStringLiteral("/a.fpl"), QStringLiteral("/theirs.pli"),
                                  QStringLiteral("/ours.fpl")}));
    EXPECT_EQ(shared.read(QStringLiteral("list.txt")), theirs);
}

} // namespace
