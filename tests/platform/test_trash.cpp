// The desktop's trash, for real, under a home trash of the test's own ($XDG_DATA_HOME) and on
// small file systems mounted for the test.
#include "platform/linux/XdgTrash.h"
#include "support/FakeTrash.h"
#include "support/Faults.h"
#include "support/InChild.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QThread>

#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>

#include <functional>
#include <numeric>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool present(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// A tmpfs of its own at a temporary folder, gone with it.
struct SmallDrive {
    TempAppFolder folder;
    bool mounted = false;
    SmallDrive()
    {
        mounted = ::mount("tmpfs", QFile::encodeName(folder.path()).constData(), "tmpfs", 0,
                          "size=4m") == 0;
    }
    ~SmallDrive()
    {
        if (mounted)
            ::umount2(QFile::encodeName(folder.path()).constData(), MNT_DETACH);
    }
    QString file(const QString& relative) const { return folder.file(relative); }
};

struct TrashTest : ::testing::Test {
    TempAppFolder root;
    XdgTrash trash;
    const bool hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");

    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.file(QStringLiteral("data"))));
    }
    void TearDown() override
    {
        if (hadDataHome)
            qputenv("XDG_DATA_HOME", dataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QString home(const QString& relative = {}) const
    {
        return root.file(QStringLiteral("data/Trash/") + relative);
    }
    // A move to the trash in a child that an endless loop cannot keep: its error number (0 on
    // success) and how long it took.
    std::pair<int, qint64> timedMove(const QString& path)
    {
        QElapsedTimer clock;
        clock.start();
        const int code = inChild([&] {
            alarm(5);
            TrashedFile where;
            const FileResult r = trash.moveToTrash(path, &where);
            return r.ok ? 0 : r.error;
        });
        return {code, clock.elapsed()};
    }
};

TEST_F(TrashTest, RoundTripThroughTheHomeTrash)
{
    const QString name = QStringLiteral("plot 7 \u00e9.fpl");
    root.write(QStringLiteral("work/a/") + name, "first");
    root.write(QStringLiteral("work/b/") + name, "second");
    const QString a = root.file(QStringLiteral("work/a/") + name);
    const QString b = root.file(QStringLiteral("work/b/") + name);

    TrashedFile ta, tb;
    ASSERT_TRUE(trash.moveToTrash(a, &ta).ok);
    const QDateTime now = QDateTime::currentDateTime();
    ASSERT_TRUE(trash.moveToTrash(b, &tb).ok);
    EXPECT_FALSE(present(a));
    EXPECT_FALSE(present(b));
    EXPECT_EQ(ta.originalPath, a);
    EXPECT_EQ(ta.trashedPath, home(QStringLiteral("files/") + name));
    EXPECT_EQ(ta.infoPath, home(QStringLiteral("info/") + name + QStringLiteral(".trashinfo")));
    EXPECT_EQ(tb.trashedPath, home(QStringLiteral("files/") + name + QStringLiteral(".2")));
    EXPECT_EQ(tb.infoPath, home(QStringLiteral("info/") + name + QStringLiteral(".2.trashinfo")));
    EXPECT_EQ(contentOf(tb.trashedPath), "second");
    for (const char* folder : {"", "files", "info"})
        EXPECT_EQ(modeOf(home(QLatin1String(folder))), 0700u) << folder;

    // The record: the absolute path, percent-encoded, and the local time of the move.
    const QList<QByteArray> lines = contentOf(ta.infoPath).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "[Trash Info]");
    EXPECT_TRUE(lines[1].startsWith("Path=/"));
    EXPECT_TRUE(lines[1].endsWith("/work/a/plot%207%20%C3%A9.fpl")) << lines[1].constData();
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(lines[2].mid(13)),
                                                 QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    EXPECT_TRUE(lines[2].startsWith("DeletionDate="));
    EXPECT_LE(qAbs(when.secsTo(now)), 5) << lines[2].constData();
    EXPECT_EQ(lines[3], "");

    for (const TrashedFile& t : {tb, ta}) {
        ASSERT_TRUE(trash.restore(t).ok);
        EXPECT_FALSE(present(t.trashedPath));
        EXPECT_FALSE(present(t.infoPath));
    }
    EXPECT_EQ(contentOf(a), "first");
    EXPECT_EQ(contentOf(b), "second");
}

// Something now at the original path, or a record that no longer names it: nothing moves.
TEST_F(TrashTest, RestoreNeverReplacesAndFollowsTheRecord)
{
    root.write(QStringLiteral("work/plot.fpl"), "old");
    const QString path = root.file(QStringLiteral("work/plot.fpl"));
    TrashedFile t;
    ASSERT_TRUE(trash.moveToTrash(path, &t).ok);
    root.write(QStringLiteral("work/plot.fpl"), "new");

    const FileResult taken = trash.restore(t);
    EXPECT_EQ(taken.error, EEXIST);
    EXPECT_EQ(contentOf(path), "new");
    EXPECT_EQ(contentOf(t.trashedPath), "old");
    EXPECT_TRUE(present(t.infoPath));

    QFile::remove(path);
    TrashedFile elsewhere = t;
    elsewhere.originalPath = root.file(QStringLiteral("work/other.fpl"));
    EXPECT_FALSE(trash.restore(elsewhere).ok);
    EXPECT_FALSE(present(elsewhere.originalPath));
    EXPECT_EQ(contentOf(t.trashedPath), "old");

    ASSERT_TRUE(trash.restore(t).ok);
    EXPECT_EQ(contentOf(path), "old");
}

// The user empties the trash and trashes another file of the same name from the same place: it
// takes the same name in the trash, and an undo of the first delete must not bring it back.
TEST_F(TrashTest, ARestoreTakesBackOnlyWhatTheMoveLeftThere)
{
    const QString path = root.file(QStringLiteral("work/plain.fpl"));
    root.write(QStringLiteral("work/plain.fpl"), "A");
    TrashedFile first;
    ASSERT_TRUE(trash.moveToTrash(path, &first).ok);
    QFile::remove(first.trashedPath); // emptied by the file manager
    QFile::remove(first.infoPath);
    QThread::sleep(1); // another deletion date
    root.write(QStringLiteral("work/plain.fpl"), "B");
    TrashedFile second;
    ASSERT_TRUE(trash.moveToTrash(path, &second).ok);
    ASSERT_EQ(second.trashedPath, first.trashedPath);

    EXPECT_EQ(trash.restore(first).error, ENOENT);
    EXPECT_FALSE(present(path));
    EXPECT_EQ(contentOf(second.trashedPath), "B");
    // The same record with another file put in its place: refused too.
    TrashedFile sameDate = first;
    sameDate.deletedAt = second.deletedAt;
    EXPECT_EQ(trash.restore(sameDate).error, ENOENT);
    EXPECT_FALSE(present(path));
    ASSERT_TRUE(trash.restore(second).ok);
    EXPECT_EQ(contentOf(path), "B");
}

// Qt's own move loops for ever here. Tests run as root, so only a read-only mount makes the
// trash one that cannot be written.
TEST_F(TrashTest, AReadOnlyTrashFailsAtOnceAndKeepsTheFile)
{
    const struct {
        const char* name;
        bool withFolders;
    } cases[] = {{"files and info read-only", true}, {"a read-only trash without them", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppFolder data;
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        data.mkdir(c.withFolders ? QStringLiteral("Trash/files") : QStringLiteral("Trash"));
        data.mkdir(c.withFolders ? QStringLiteral("Trash/info") : QStringLiteral("Trash"));
        data.write(QStringLiteral("work/plot.fpl"), "keep");
        ReadOnlyFolder readOnly(data.file(QStringLiteral("Trash")));
        if (!readOnly.mounted)
            GTEST_SKIP() << "cannot mount a folder read-only here: " << strerror(errno);

        const auto [error, ms] = timedMove(data.file(QStringLiteral("work/plot.fpl")));
        EXPECT_EQ(error, EROFS);
        EXPECT_LT(ms, 1000);
        EXPECT_EQ(data.read(QStringLiteral("work/plot.fpl")), "keep");
    }
}

// Every name taken: the search for a free one ends, and says so.
TEST_F(TrashTest, EveryNameTakenGivesUp)
{
    // On a tmpfs where one can be had: thousands of files are made quicker there.
    SmallDrive drive;
    const TempAppFolder& base = drive.mounted ? drive.folder : root;
    qputenv("XDG_DATA_HOME", QFile::encodeName(base.file(QStringLiteral("data"))));
    base.write(QStringLiteral("work/plot.fpl"), "keep");
    base.mkdir(QStringLiteral("data/Trash/info"));
    const QByteArray info =
        QFile::encodeName(base.file(QStringLiteral("data/Trash/info/plot.fpl")));
    for (int i = 1; i <= 2000; ++i) {
        const QByteArray name = info + (i == 1 ? "" : "." + QByteArray::number(i)) + ".trashinfo";
        ::close(::open(name.constData(), O_WRONLY | O_CREAT, 0600));
    }

    const auto [error, ms] = timedMove(base.file(QStringLiteral("work/plot.fpl")));
    EXPECT_EQ(error, EEXIST);
    EXPECT_LT(ms, 1000);
    EXPECT_EQ(base.read(QStringLiteral("work/plot.fpl")), "keep");
    EXPECT_TRUE(QDir(base.file(QStringLiteral("data/Trash/files"))).isEmpty());
}

// A file on another drive goes to that drive's own trash at the top of its mount, by the rules
// for a shared .Trash, and never by a copy.
TEST_F(TrashTest, AFileOnAnotherDriveGoesToItsTrash)
{
    const QString uid = QString::number(::getuid());
    const QString own = QStringLiteral(".Trash-") + uid;
    const auto mkdirMode = [](const QString& path, mode_t mode) {
        return ::mkdir(QFile::encodeName(path).constData(), mode) == 0 &&
               ::chmod(QFile::encodeName(path).constData(), mode) == 0;
    };
    QByteArray innerMount; // a file system mounted inside the drive's trash, to be undone
    struct Case {
        const char* name;
        std::function<bool(const SmallDrive&)> setup;
        QString trashRoot; // empty: the move fails
        int error;
    };
    const Case cases[] = {
        {"no trash yet", [](const SmallDrive&) { return true; }, own, 0},
        {"a sticky .Trash",
         [&](const SmallDrive& d) { return mkdirMode(d.file(QStringLiteral(".Trash")), 01777); },
         QStringLiteral(".Trash/") + uid, 0},
        {"a .Trash without the sticky bit",
         [&](const SmallDrive& d) { return mkdirMode(d.file(QStringLiteral(".Trash")), 0777); },
         own, 0},
        {"a .Trash that is a link to a sticky folder",
         [&](const SmallDrive& d) {
             return mkdirMode(d.file(QStringLiteral("shared")), 01777) &&
                    ::symlink("shared",
                              QFile::encodeName(d.file(QStringLiteral(".Trash"))).constData()) == 0;
         },
         own, 0},
        {"a .Trash-uid that is a link",
         [&](const SmallDrive& d) {
             return mkdirMode(d.file(QStringLiteral("elsewhere")), 0700) &&
                    ::symlink("elsewhere", QFile::encodeName(d.file(own)).constData()) == 0;
         },
         {},
         ENOTDIR},
        {"someone else's .Trash-uid",
         [&](const SmallDrive& d) {
             return mkdirMode(d.file(own), 0700) &&
                    ::chown(QFile::encodeName(d.file(own)).constData(), 65534, 65534) == 0;
         },
         {},
         EPERM},
        {"its files folder on yet another file system",
         [&](const SmallDrive& d) {
             if (!mkdirMode(d.file(own), 0700) ||
                 !mkdirMode(d.file(own + QStringLiteral("/files")), 0700))
                 return false;
             innerMount = QFile::encodeName(d.file(own + QStringLiteral("/files")));
             return ::mount("tmpfs", innerMount.constData(), "tmpfs", 0, "size=64k") == 0;
         },
         {},
         EXDEV},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallDrive drive;
        if (!drive.mounted)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << strerror(errno);
        ASSERT_TRUE(c.setup(drive));
        drive.folder.write(QStringLiteral("sub/plot 1.fpl"), "bytes");
        const QString path = drive.file(QStringLiteral("sub/plot 1.fpl"));

        TrashedFile t;
        const FileResult r = trash.moveToTrash(path, &t);
        if (c.trashRoot.isEmpty()) {
            EXPECT_EQ(r.error, c.error) << r.errorText.toStdString();
            EXPECT_EQ(contentOf(path), "bytes");
        } else {
            ASSERT_TRUE(r.ok) << r.errorText.toStdString();
            const QString trashRoot = drive.file(c.trashRoot);
            EXPECT_EQ(t.trashedPath, trashRoot + QStringLiteral("/files/plot 1.fpl"));
            EXPECT_EQ(modeOf(trashRoot), 0700u);
            EXPECT_TRUE(contentOf(t.infoPath).contains("\nPath=sub/plot%201.fpl\n"));
            ASSERT_TRUE(trash.restore(t).ok);
            EXPECT_EQ(contentOf(path), "bytes");
        }
        EXPECT_FALSE(present(home()));
        if (!innerMount.isEmpty())
            ::umount2(std::exchange(innerMount, {}).constData(), MNT_DETACH);
    }
}

// Moves from several threads at once, all of files of one name: each takes a name of its own.
TEST_F(TrashTest, MovesFromManyThreadsTakeNamesOfTheirOwn)
{
    constexpr int kThreads = 4;
    constexpr int kEach = 10;
    for (int i = 0; i < kThreads * kEach; ++i)
        root.write(QStringLiteral("work/%1/plot.fpl").arg(i), QByteArray::number(i));
    std::vector<TrashedFile> moved(kThreads * kEach);
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int k = 0; k < kEach; ++k) {
                const int i = t * kEach + k;
                const QString path = root.file(QStringLiteral("work/%1/plot.fpl").arg(i));
                failures[t] += trash.moveToTrash(path, &moved[i]).ok ? 0 : 1;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(std::accumulate(failures.begin(), failures.end(), 0), 0);
    QSet<QString> names;
    for (int i = 0; i < kThreads * kEach; ++i) {
        names.insert(moved[i].trashedPath);
        EXPECT_EQ(contentOf(moved[i].trashedPath), QByteArray::number(i));
        EXPECT_TRUE(trash.restore(moved[i]).ok);
    }
    EXPECT_EQ(names.size(), kThreads * kEach);
    EXPECT_TRUE(QDir(home(QStringLiteral("info"))).isEmpty());
}

// The fake's script: a failure keeps the file; otherwise the file really goes and comes back.
TEST(FakeTrash, FailsAsToldOrMovesForReal)
{
    TempAppFolder app;
    app.write(QStringLiteral("plot.fpl"), "x");
    const QString path = app.file(QStringLiteral("plot.fpl"));
    FakeTrash fake;
    TrashedFile t;
    fake.failTrashWith(FileResult::fromErrno(EROFS));
    EXPECT_EQ(fake.moveToTrash(path, &t).error, EROFS);
    EXPECT_TRUE(present(path));
    fake.succeed();
    ASSERT_TRUE(fake.moveToTrash(path, &t).ok);
    EXPECT_FALSE(present(path));
    app.write(QStringLiteral("plot.fpl"), "new");
    EXPECT_EQ(fake.restore(t).error, EEXIST);
    QFile::remove(path);
    ASSERT_TRUE(fake.restore(t).ok);
    EXPECT_EQ(contentOf(path), "x");
    EXPECT_EQ(fake.trashed(), (QStringList{path, path}));
    EXPECT_EQ(fake.restored().size(), 2);
}

} // namespace
