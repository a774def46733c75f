#include "platform/InstanceChannel.h"
#include "platform/LockFileInstanceGuard.h"
#include "support/InChild.h"
#include "support/Settle.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocalSocket>
#include <QTest>
#include <QThread>

#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>

namespace {

using What = HandOver::What;

const HandOver kRequest{{{What::File, QStringLiteral("/srv/crew a/plot 7.fpl")},
                         {What::New, QStringLiteral("PLI")},
                         {What::File, QStringLiteral("/home/ana/Ränder.crn")},
                         {What::Tool, QStringLiteral("/app/ShortCuts/Plot Pictures.lnk")},
                         {What::Link, QStringLiteral("Fire weather")}},
                        "wayland-token_42"};

QByteArray record(char tag, const QByteArray& payload)
{
    const auto n = quint32(payload.size());
    return QByteArray(1, tag) + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n) + payload;
}

TEST(HandOver, ReadsWhatItWritesAndWaitsForTheRest)
{
    for (const HandOver& message : {kRequest, HandOver{}, HandOver{{}, "t"}}) {
        const QByteArray bytes = message.encode();
        const HandOverReading whole = HandOver::decode(bytes);
        EXPECT_TRUE(whole.complete);
        EXPECT_EQ(whole.message, message);
        // Every beginning of it is a message still on its way, never a refused or whole one.
        for (qsizetype n = 0; n < bytes.size(); ++n) {
            const HandOverReading part = HandOver::decode(bytes.left(n));
            ASSERT_FALSE(part.refused || part.complete) << n;
        }
    }
}

TEST(HandOver, RefusesWhatIsNotOurs)
{
    const QByteArray head = QByteArrayLiteral("KELDARA 2\n");
    const QByteArray end = record('E', {});
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"garbage", QByteArrayLiteral("GET / HTTP/1.1\r\n")},
        {"another version", QByteArrayLiteral("KELDARA 1 RAISE\n")},
        {"an unknown part", head + record('X', "a") + end},
        {"a part too long", head + record('F', QByteArray(HandOver::kMaxPart + 1, 'a')) + end},
        {"a length beyond all", head + QByteArray("F\xff\xff\xff\xff", 5)},
        {"ten megabytes", head + QByteArray(10 << 20, 'F')},
        {"a path that is not UTF-8", head + record('F', "/tmp/\xff.fpl") + end},
        {"a path with a NUL", head + record('F', QByteArray("/tmp/a\0b.fpl", 12)) + end},
        {"an empty path", head + record('F', {}) + end},
        {"two tokens", head + record('T', "a") + record('T', "b") + end},
        {"a token with a blank", head + record('T', "a b") + end},
        {"bytes after the end", head + end + "x"},
        {"an end record with a length", head + record('E', "x")},
    };
    for (const auto& c : cases) {
        const HandOverReading r = HandOver::decode(c.bytes);
        EXPECT_TRUE(r.refused) << c.what;
        EXPECT_FALSE(r.complete) << c.what;
        EXPECT_EQ(r.message, HandOver{}) << c.what;
    }
}

// A later start, on a thread of its own: handOver waits for the running instance's answer,
// which this thread gives.
struct LaterStart {
    std::unique_ptr<QThread> thread;
    std::atomic<int> result{-1};
    void run(const QString& path, const HandOver& message)
    {
        thread.reset(QThread::create([this, path, message] {
            result = InstanceChannel::handOver(path, message, 3000) ? 1 : 0;
        }));
        thread->start();
    }
    bool done() const { return result >= 0; }
    ~LaterStart()
    {
        if (thread)
            thread->wait();
    }
};

// Sends raw bytes as a stranger would; true when the instance closed the connection on it.
bool closedOn(const QString& path, const QByteArray& bytes)
{
    QLocalSocket stranger;
    stranger.connectToServer(path);
    if (!stranger.waitForConnected(2000))
        return false;
    stranger.write(bytes);
    stranger.flush();
    return QTest::qWaitFor([&] { return stranger.state() == QLocalSocket::UnconnectedState; },
                           3000);
}

TEST(InstanceChannel, HandsTheRequestAndTokenOverAndRefusesStrangers)
{
    TempAppFolder runtime;
    const QString path = runtime.file(QStringLiteral("Keldara.lock.socket"));
    EXPECT_FALSE(InstanceChannel::handOver(path, kRequest, 200)); // nobody listens

    runtime.write(QStringLiteral("Keldara.lock.socket"), "left by a killed instance");
    QList<HandOver> received;
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.listen([&](const HandOver& h) { received.append(h); }));

    EXPECT_TRUE(closedOn(path, "KELDARA 2 SOMETHING ELSE\n"));
    EXPECT_TRUE(closedOn(path, "KELDARA 2\n" + QByteArray(10 << 20, 'F')));
    QTest::qWait(50);
    EXPECT_TRUE(received.isEmpty());

    LaterStart later;
    later.run(path, kRequest);
    ASSERT_TRUE(QTest::qWaitFor([&] { return later.done() && !received.isEmpty(); }, 5000));
    EXPECT_EQ(later.result, 1);
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.first(), kRequest);

    // Closing removes the socket only while it is ours: a next instance may have made its own.
    InstanceChannel next(path);
    ASSERT_TRUE(next.listen([](const HandOver&) {}));
    channel.close();
    EXPECT_TRUE(QFileInfo::exists(path));
    next.close();
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(InstanceChannel, ASenderThatStopsHalfWayIsNotWaitedFor)
{
    TempAppFolder runtime;
    const QString path = runtime.file(QStringLiteral("s"));
    int received = 0;
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.listen([&](const HandOver&) { ++received; }));
    const QByteArray bytes = kRequest.encode();
    const int patience = std::exchange(InstanceChannel::senderPatienceMs(), 300);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(closedOn(path, bytes.left(bytes.size() - 1)));
    EXPECT_GE(clock.elapsed(), 250);
    InstanceChannel::senderPatienceMs() = patience;
    EXPECT_EQ(received, 0);
}

// The instance lock and the channel live only in a folder that is the user's own: where one
// is another user's, open to others or a link, the next place is taken, and a place that is
// missing is made for the user alone.
TEST(InstanceFolder, OnlyAFolderOfTheUsersOwnHoldsTheLock)
{
    const uint me = LockFileInstanceGuard::currentUser();
    const bool root = me == 0;
    TempAppFolder dir;
    const QByteArray base = QFile::encodeName(dir.path());
    // How a folder is found; "theirs" is owned by another user where the test may say so (as
    // root), else open to all, which is refused the same way.
    enum class Is { Missing, Own, Theirs, Open, Link, File };
    int made = 0;
    const auto place = [&](Is is) {
        const QByteArray folder = base + "/f" + QByteArray::number(++made);
        switch (is) {
        case Is::Missing:
            break;
        case Is::Own:
            ::mkdir(folder.constData(), 0700);
            break;
        case Is::Theirs:
            ::mkdir(folder.constData(), 0700);
            if (!root || ::chown(folder.constData(), 65534, 65534) != 0)
                ::chmod(folder.constData(), 0777);
            break;
        case Is::Open:
            ::mkdir(folder.constData(), 0700);
            ::chmod(folder.constData(), 01777);
            break;
        case Is::Link:
            ::mkdir(folder + "-target", 0700);
            EXPECT_EQ(::symlink(folder + "-target", folder.constData()), 0);
            break;
        case Is::File:
            dir.write(QFile::decodeName(folder).mid(dir.path().size() + 1), "x");
            break;
        }
        return QFile::decodeName(folder);
    };
    // The runtime folder, then the one in /tmp, then the cache's; the latter two are made.
    const struct {
        const char* what;
        Is runtime, shared, cache;
        int chosen; // 0, 1, 2; -1: none
    } cases[] = {
        {"the runtime folder", Is::Own, Is::Missing, Is::Missing, 0},
        {"no runtime folder", Is::Missing, Is::Missing, Is::Missing, 1},
        {"another user's runtime folder (su)", Is::Theirs, Is::Own, Is::Missing, 1},
        {"a runtime folder open to others", Is::Open, Is::Missing, Is::Missing, 1},
        {"the shared name taken by another user", Is::Missing, Is::Theirs, Is::Missing, 2},
        {"the shared name a link to a folder of ours", Is::Missing, Is::Link, Is::Own, 2},
        {"the shared name a file", Is::Missing, Is::File, Is::Missing, 2},
        {"nothing of the user's own", Is::Link, Is::Theirs, Is::Open, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<LockFileInstanceGuard::Place> places = {
            {place(c.runtime), false}, {place(c.shared), true}, {place(c.cache), true}};
        LockFileInstanceGuard guard(places, me, QStringLiteral("Keldara.lock"));
        EXPECT_TRUE(guard.tryAcquire());
        if (c.chosen < 0) {
            EXPECT_EQ(guard.channelPath(), QString());
            EXPECT_TRUE(guard.problem().contains(QStringLiteral("no folder of your own")));
            continue;
        }
        const QString folder = places[c.chosen].folder;
        EXPECT_EQ(guard.problem(), QString());
        EXPECT_EQ(guard.lockPath(), folder + QStringLiteral("/Keldara.lock"));
        EXPECT_EQ(guard.channelPath(), folder + QStringLiteral("/Keldara.lock.socket"));
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        EXPECT_EQ(st.st_uid, me);
        // Looked at again at each use: a folder since opened to others takes nothing more.
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(guard.channelPath(), QString());
    }
    // The owner is what counts, whoever asks.
    EXPECT_EQ(LockFileInstanceGuard::notOwnFolder(place(Is::Own), me), QString());
    EXPECT_EQ(LockFileInstanceGuard::notOwnFolder(place(Is::Own), me + 1),
              QStringLiteral("another user owns it"));

    // Without a runtime folder, every session of the user's meets at the same name in /tmp.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const QList<LockFileInstanceGuard::Place> places = LockFileInstanceGuard::userPlaces();
    if (!runtime.isNull())
        qputenv("XDG_RUNTIME_DIR", runtime);
    ASSERT_GE(places.size(), 2);
    EXPECT_EQ(places[0].folder, QStringLiteral("/tmp/keldara-%1").arg(me));
}

// A client of the channel as another program would be, without Qt: a forked child (of another
// user where asked) that keeps `idle` connections open without a word, then hands `message` over
// and tells through `report` whether it was taken ('T' or 'N') and in how many milliseconds, then
// waits to be killed.
pid_t floodThenHandOver(const QString& path, int idle, const QByteArray& message, int report,
                        bool otherUser = false)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (otherUser && !becomeOrdinaryUser())
        _exit(5);
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    const auto connected = [&address] {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            _exit(3);
        return fd;
    };
    for (int i = 0; i < idle; ++i)
        connected();
    timespec begun{};
    clock_gettime(CLOCK_MONOTONIC, &begun);
    const int fd = connected();
    char answer[16] = {};
    size_t got = 0;
    if (send(fd, message.constData(), size_t(message.size()), MSG_NOSIGNAL) == message.size()) {
        pollfd p{fd, POLLIN, 0};
        while (got < 6 && poll(&p, 1, 3000) > 0) {
            const ssize_t n = read(fd, answer + got, sizeof answer - 1 - got);
            if (n <= 0)
                break;
            got += size_t(n);
        }
    }
    timespec ended{};
    clock_gettime(CLOCK_MONOTONIC, &ended);
    const int ms =
        int((ended.tv_sec - begun.tv_sec) * 1000 + (ended.tv_nsec - begun.tv_nsec) / 1000000);
    char line[32] = {};
    line[0] = std::strcmp(answer, InstanceChannel::kTaken) == 0 ? 'T' : 'N';
    const int length = 1 + std::snprintf(line + 1, sizeof line - 1, "%d\n", ms);
    if (write(report, line, size_t(length)) != length)
        _exit(4);
    for (;;)
        pause();
}

// Reads what floodThenHandOver reported, running the event loop meanwhile.
QByteArray reported(int fd)
{
    QByteArray line;
    (void)QTest::qWaitFor(
        [&] {
            char c = 0;
            while (read(fd, &c, 1) == 1)
                line.append(c);
            return line.endsWith('\n');
        },
        20000);
    return line.trimmed();
}

// However many connections a client leaves idle, and when accepting fails for want of
// descriptors, the channel stays open and the next hand-over is taken within a second.
TEST(InstanceChannel, OutlivesFloodsOfIdleConnectionsAndFailingAccepts)
{
    TempAppFolder runtime;
    const QString path = runtime.file(QStringLiteral("Keldara.lock.socket"));
    QList<HandOver> received;
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.listen([&](const HandOver& h) { received.append(h); }));
    const struct {
        const char* what;
        int idle;
        int headroom; // descriptors this process may still open; 0: as many as it may
    } cases[] = {
        {"1,100 idle connections", 1100, 0},
        {"accepts failing for want of descriptors", 60, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        received.clear();
        rlimit limit{};
        ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
        const rlimit unchanged = limit;
        int report[2];
        ASSERT_EQ(pipe2(report, O_NONBLOCK | O_CLOEXEC), 0);
        // The descriptors free below the highest one in use are taken, so that only
        // `headroom` more are left.
        QList<int> fillers;
        if (c.headroom > 0) {
            int highest = report[1];
            for (const QString& n : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files))
                highest = std::max(highest, n.toInt());
            limit.rlim_cur = rlim_t(highest + 1);
            ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
            for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
                fillers.append(fd);
            limit.rlim_cur += rlim_t(c.headroom);
            qWarning("fillers %d limit %d", int(fillers.size()), int(limit.rlim_cur));
            ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
        }
        const pid_t child = floodThenHandOver(path, c.idle, kRequest.encode(), report[1]);
        const QByteArray line = reported(report[0]);
        for (const int fd : fillers)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &unchanged);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        ::close(report[0]);
        ::close(report[1]);
        ASSERT_TRUE(line.startsWith('T')) << line.constData();
        EXPECT_LT(line.mid(1).toInt(), 1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 1000));
        EXPECT_EQ(received.first(), kRequest);
        EXPECT_LE(channel.peers(), InstanceChannel::kMaxPeers);
        EXPECT_TRUE(QFileInfo::exists(path));
        // The connections of a client that has gone are let go of.
        EXPECT_TRUE(QTest::qWaitFor([&] { return channel.peers() == 0; }, 2000));
    }
    // Once the flood has gone, the channel serves as before.
    LaterStart later;
    later.run(path, kRequest);
    EXPECT_TRUE(QTest::qWaitFor([&] { return later.done(); }, 5000));
    EXPECT_EQ(later.result, 1);
}

// Both ends serve only their own user: a channel refuses another user's connection, and a
// later start hands nothing to a channel that another user listens on.
TEST(InstanceChannel, NothingPassesBetweenUsers)
{
    const uint me = LockFileInstanceGuard::currentUser();
    TempAppFolder runtime;
    const QString path = runtime.file(QStringLiteral("s"));
    QList<HandOver> received;
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.listen([&](const HandOver& h) { received.append(h); }));
    const struct {
        const char* what;
        uint served, listenerExpected;
    } cases[] = {
        {"the channel serves another user", me + 1, me},
        {"the later start expects another user", me, me + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        channel.setPeerUser(c.served);
        std::atomic<int> taken = -1;
        std::unique_ptr<QThread> start(QThread::create([&] {
            taken = InstanceChannel::handOver(path, kRequest, 2000, c.listenerExpected) ? 1 : 0;
        }));
        start->start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return taken >= 0; }, 5000));
        start->wait();
        EXPECT_EQ(taken, 0);
        QTest::qWait(50);
        EXPECT_TRUE(received.isEmpty());
    }
    channel.setPeerUser(me);

    // For real: a child that has become another user, through a socket it may reach.
    if (me != 0)
        GTEST_SKIP() << "another user's connection needs root to make";
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0755);
    ::chmod(QFile::encodeName(path).constData(), 0777);
    int report[2];
    ASSERT_EQ(pipe2(report, O_NONBLOCK | O_CLOEXEC), 0);
    const pid_t child = floodThenHandOver(path, 0, kRequest.encode(), report[1], true);
    const QByteArray line = reported(report[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ::close(report[0]);
    ::close(report[1]);
    EXPECT_TRUE(line.startsWith('N')) << line.constData();
    EXPECT_TRUE(received.isEmpty());
}

} // namespace
