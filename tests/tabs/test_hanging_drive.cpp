// A data file on a drive that stops answering: the window keeps answering, the command finishes
// when the drive does, and a drive that stays silent is named, never taken for a missing file.
#include "actions/DriveWait.h"
#include "formats/ShortcutHelper.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/BlockingFileSystem.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "tabs/tools/ToolsTab.h"
#include "tabs/web/WebTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
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
        window->openTab().openList().LoadOpenList();
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
    EXPECT_EQ(window->openTab().openList().store().read().records.size(), 1);
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
    EXPECT_EQ(window->openTab().openList().store().read().records.value(0).path,
              share.file(QStringLiteral("ridge.FPL")));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// While a Delete waits on the share that hangs, the commands of every tab on other drives go
// through at once: a web link created, a local data file renamed, a shortcut deleted.
TEST_F(HangingDrive, ADriveThatHangsHoldsUpOnlyItsOwnEntries)
{
    DriveWait::patienceMs() = 5000;
    app.write(QStringLiteral("data/local.fpl"), "local");
    const QString local = app.file(QStringLiteral("data/local.fpl"));
    app.writeRecords(QStringLiteral("QELFileList.txt"),
                     {{QStringLiteral("fpl"), path(), QStringLiteral("d")},
                      {QStringLiteral("fpl"), local, QStringLiteral("d")}});
    QString f = app.file(QStringLiteral("ShortCuts/Mine.lnk")), t = QStringLiteral("/opt/mine"),
            w = QStringLiteral("/opt/"), a = QStringLiteral(" "), i = t;
    qint32 n1 = 0, n2 = 0;
    ASSERT_TRUE(ShortcutHelper().CreateShortcut(f, t, w, a, i, n1, n2).ok);
    window->openTab().reload(); // the lists as they now are
    window->toolsTab().reload();
    drive.release();
    ASSERT_TRUE(settle());
    drive.block(share.path());

    list->setSelectedKey(path());
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    window->mnuDelete->trigger(); // waits on the share
    QElapsedTimer clock;
    clock.start();

    window->TabMain->setCurrTab(3);
    window->webTab().AppendWebLink(QStringLiteral("Fire Lab"), QStringLiteral("http://lab"));
    window->TabMain->setCurrTab(1);
    list->setSelectedKey(local);
    prompter.inputAnswers = {QStringLiteral("ridge")};
    window->mnuRename->trigger();
    window->TabMain->setCurrTab(2);
    window->lstQEL[2]->setSelectedKey(f);
    window->mnuDelete->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return app.read(QStringLiteral("QELWebList.txt")).contains("Fire Lab") &&
                   app.exists(QStringLiteral("data/ridge.FPL")) && !QFile::exists(f) &&
                   window->lstQEL[3]->count() == 1;
        },
        1000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(share.exists(QStringLiteral("plot.fpl")));                     // still waiting
    EXPECT_TRUE(prompter.messages.size() <= 2) << lastMessage().toStdString(); // the questions

    drive.release();
    ASSERT_TRUE(settle());
    EXPECT_FALSE(share.exists(QStringLiteral("plot.fpl")));
}

// A wait names what it waits on: the data file for its drive's work, the list file when the list
// is what does not answer.
TEST_F(HangingDrive, AWaitNamesTheFileWhoseDriveDoesNotAnswer)
{
    list->setSelectedKey(path());
    prompter.answers = {MsgAnswer::Yes};
    window->mnuDelete->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.messages.size() == 2; }, 3000));
    EXPECT_EQ(lastMessage(),
              QStringLiteral("The drive of ") + path() + QStringLiteral(" is not answering."));
    drive.release();
    ASSERT_TRUE(settle());

    const QString here = app.file(QStringLiteral("data/here.fpl"));
    app.write(QStringLiteral("data/here.fpl"), "x");
    app.writeRecords(QStringLiteral("QELFileList.txt"),
                     {{QStringLiteral("fpl"), here, QStringLiteral("d")}});
    window->openTab().reload();
    ASSERT_TRUE(settle());
    auto hold = std::make_shared<std::atomic<bool>>(true); // the list's drive stops answering
    window->openTab().openList().store().file().beforeRead = [hold] {
        while (*hold)
            QThread::msleep(1);
    };
    list->setSelectedKey(here);
    prompter.messages.clear();
    prompter.answers = {MsgAnswer::Yes};
    window->mnuDelete->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.messages.size() == 2; }, 3000));
    EXPECT_EQ(lastMessage(), QStringLiteral("The drive of ") +
                                 app.file(QStringLiteral("QELFileList.txt")) +
                                 QStringLiteral(" is not answering."));
    *hold = false;
    window->openTab().openList().store().file().beforeRead = {};
    ASSERT_TRUE(settle());
}

} // namespace
