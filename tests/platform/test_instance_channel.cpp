#include "platform/qt/InstanceChannel.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QTest>

namespace {

TEST(InstanceChannel, OnlyOurMessageRaisesAndAStaleSocketIsTakenOver)
{
    TempAppFolder runtime;
    const QString path = runtime.file(QStringLiteral("Keldara.lock.socket"));
    EXPECT_FALSE(InstanceChannel::askToRaise(path, 200)); // nobody listens

    runtime.write(QStringLiteral("Keldara.lock.socket"), "left by a killed instance");
    int raised = 0;
    InstanceChannel channel(path);
    ASSERT_TRUE(channel.listen([&] { ++raised; }));

    QLocalSocket stranger;
    stranger.connectToServer(path);
    ASSERT_TRUE(stranger.waitForConnected(2000));
    stranger.write("KELDARA 2 SOMETHING ELSE\n");
    stranger.waitForBytesWritten(2000);
    QTest::qWait(100);
    EXPECT_EQ(raised, 0);

    EXPECT_TRUE(InstanceChannel::askToRaise(path));
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 2000));
}

} // namespace
