#include "platform/InstanceChannel.h"
#include "support/Settle.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

using What = HandOver::What;

const HandOver kRequest{{{What::File, QStringLiteral("/srv/crew a/plot 7.fpl")},
                         {What::New, QStringLiteral("PLI")},
                         {What::File, QStringLiteral("/home/ana/Ränder.crn")}},
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

} // namespace
