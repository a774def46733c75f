// A data file on a drive that stops answering: the window keeps answering, the command finishes
// when the drive does, and a drive that stays silent is named, never taken for a missing file.
#include "actions/DriveWait.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/BlockingFileSystem.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>

namespace {

struct HangingDrive : ::testing::Test, FakeHub {
    BlockingFileSystem drive;
    TempAppFolder share;
    std::unique_ptr<frmQEL> window;
    QelListView* list = nullptr;
    int patience = DriveWait::patienceMs();

    void SetUp() override
    {
        services.files = &drive;
        drives.setMounts({QStringLiteral("/"), share.path()}); // the share is a drive of its own
        window = makeWindow();
        window->TabMain->setCurrTab(1);
        list = window->lstQEL[1];
        share.write(QStringLiteral("plot.fpl"), "plot");
        app.writeRecords(QStringLiteral("QELFileList.txt"),
                         {{QStringLiteral("fpl"), path(), QStringLiteral("d")}});
        window->openTab().LoadOpenList();
        ASSERT_TRUE(settle());
        list->setSelectedRow(0);
        DriveWait::patienceMs() = 300;
        drive.block(share.path());
    }
    void TearDown() override
    {
        drive.release();
        settle();
        DriveWait::patienceMs() = patience;
    }
    QString path() const { return share.file(QStringLiteral("plot.fpl")); }
    // Runs the window's events for `ms` and gives the longest pause between the ticks of a
    // 20 ms timer: how long the window did not answer.
    qint64 longestPause(int ms)
    {
        QElapsedTimer clock, sinceTick;
        qint64 longest = 0;
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout,
                         [&] { longest = std::max(longest, sinceTick.restart()); });
        clock.start();
        sinceTick.start();
        timer.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return std::max(longest, sinceTick.elapsed());
    }
    bool busy() const { return list->reportView()->viewport()->cursor().shape() == Qt::BusyCursor; }
};

TEST_F(HangingDrive, OpeningWaitsWithoutFreezingAndStartsWhenTheDriveAnswers)
{
    DriveWait::patienceMs() = 5000;
    window->lstQEL_DblClick(1);
    EXPECT_LT(longestPause(200), 100);
    EXPECT_TRUE(busy());
    EXPECT_TRUE(launcher.starts.isEmpty());
    window->lstQEL_DblClick(1); // again: it only shows that it waits
    EXPECT_LT(longestPause(50), 100);
    EXPECT_EQ(drive.blockedCalls(), 1);

    drive.release();
    ASSERT_TRUE(settle());
    ASSERT_EQ(launcher.starts.size(), 1);
    EXPECT_TRUE(launcher.starts[0].arguments.endsWith(QStringLiteral("plot.fpl")));
    EXPECT_FALSE(busy());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(HangingDrive, ADriveThatStaysSilentIsNamedOnceAndNothingStartsLater)
{
    window->lstQEL_DblClick(1);
    EXPECT_LT(longestPause(600), 250);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("The drive of ") + path() + QStringLiteral(" is not answering."));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Keldara"));
    EXPECT_FALSE(busy());

    drive.release();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(launcher.starts.isEmpty());
    EXPECT_EQ(prompter.messages.size(), 1); // not "does not exist"
    EXPECT_EQ(window->openTab().store().read().records.size(), 1);
}

TEST_F(HangingDrive, RenameFinishesWhenTheDriveAnswers)
{
    DriveWait::patienceMs() = 5000;
    prompter.inputAnswers = {QStringLiteral("ridge")};
    window->mnuRename->trigger();
    EXPECT_LT(longestPause(200), 100);
    EXPECT_TRUE(share.exists(QStringLiteral("plot.fpl")));

    drive.release();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(share.exists(QStringLiteral("ridge.FPL")));
    EXPECT_EQ(window->openTab().store().read().records.value(0).path,
              share.file(QStringLiteral("ridge.FPL")));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
