#include "app/frmSplash.h"
#include "base/Version.h"
#include "platform/InstanceGuard.h"
#include "platform/LockFileInstanceGuard.h"
#include "support/Fakes.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {

struct FakeInstanceGuard : InstanceGuard {
    bool alone = true;
    bool tryAcquire() override { return alone; }
};

struct Splash : ::testing::Test {
    TempAppFolder app;
    FakeSettingsStore settings;
    FakeDriveTable drives;
    FakePrompter prompter;
    FakeInstanceGuard guard;
    PlatformServices services;
    QWidget mainWindow;
    std::unique_ptr<HubContext> hub;

    void SetUp() override
    {
        services.appFolder = app.path();
        services.settings = &settings;
        services.drives = &drives;
        services.prompter = &prompter;
        services.instance = &guard;
        hub = std::make_unique<HubContext>(services);
    }
};

TEST_F(Splash, SecondInstanceIsRefusedBeforeAnythingIsDone)
{
    guard.alone = false;
    frmSplash splash(*hub, &mainWindow);
    EXPECT_FALSE(splash.Form_Load());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Error: you already have Keldara Running"));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Keldara"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(app.exists(QStringLiteral("DemoImages")));
    EXPECT_FALSE(splash.Timer1->isActive());
}

TEST_F(Splash, LoadDoesTheHousekeepingAndFillsTheTexts)
{
    frmSplash splash(*hub, &mainWindow);
    ASSERT_TRUE(splash.Form_Load());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(app.exists(QStringLiteral("ShortCuts/Measure Swap.lnk")));
    EXPECT_TRUE(app.exists(QStringLiteral("PhotoImages")));
    EXPECT_EQ(splash.lblApp->text(), QStringLiteral("Release %1.%2.%3")
                                         .arg(kVersionMajor)
                                         .arg(kVersionMinor)
                                         .arg(kVersionRevision));
    EXPECT_EQ(splash.lblLegal->text(), QString::fromUtf8(kLegalNotice));
    EXPECT_EQ(splash.lblProduct->text(), QStringLiteral("Keldara"));
    EXPECT_EQ(splash.lblTitle->text(), QStringLiteral("QEL"));
    EXPECT_EQ(splash.lblTrademark->text(), QStringLiteral("TM"));
    EXPECT_GT(splash.lblTrademark->x(), splash.lblTitle->geometry().right());
    EXPECT_TRUE(splash.Timer1->isActive());
    EXPECT_EQ(splash.Timer1->interval(), 5000);
    splash.Form_Activate();
    EXPECT_EQ(splash.Timer1->interval(), 4000);
}

TEST_F(Splash, ClickOnTheMarginKeyOrTimerHandsOverToTheMainWindow)
{
    const std::vector<std::function<void(frmSplash&)>> ways = {
        [](frmSplash& s) { QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(2, 2)); },
        [](frmSplash& s) { QTest::keyClick(&s, Qt::Key_X); },
        [](frmSplash& s) { s.Timer1_Timer(); },
    };
    for (size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        mainWindow.hide();
        frmSplash splash(*hub, &mainWindow);
        ASSERT_TRUE(splash.Form_Load());
        splash.show();
        // A click on the picture itself does nothing.
        QTest::mouseClick(&splash, Qt::LeftButton, {}, splash.rect().center());
        EXPECT_TRUE(splash.isVisible());
        EXPECT_FALSE(mainWindow.isVisible());
        ways[i](splash);
        EXPECT_TRUE(mainWindow.isVisible());
        EXPECT_FALSE(splash.isVisible());
        EXPECT_FALSE(splash.Timer1->isActive());
    }
}

TEST(InstanceLock, HeldByALiveProcessAndTakenOverFromAKilledOne)
{
    TempAppFolder dir;
    const QString lock = dir.file(QStringLiteral("Keldara.lock"));
    QProcess first;
    first.start(QStringLiteral(LOCK_HOLDER_EXE), {lock});
    ASSERT_TRUE(first.waitForReadyRead(10000));
    ASSERT_EQ(first.readAll().trimmed(), QByteArray("locked"));

    LockFileInstanceGuard second(lock);
    EXPECT_FALSE(second.tryAcquire());

    first.kill(); // a crash: the lock file stays behind
    first.waitForFinished();
    EXPECT_TRUE(QFileInfo::exists(lock));
    EXPECT_TRUE(second.tryAcquire());
    EXPECT_TRUE(second.tryAcquire()); // holding it already counts

    LockFileInstanceGuard third(lock);
    EXPECT_FALSE(third.tryAcquire());
}

// Whatever a lock file holds, only a live instance keeps another from starting: an empty file,
// garbage, or the record of a process that has gone are taken over. A folder in its place is
// reported but does not stop the start (and still keeps a second instance out).
TEST(InstanceLock, DamagedLocksAreTakenOverAndAFolderIsReported)
{
    const std::pair<const char*, QByteArray> contents[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("\x00\xff not a lock at all\n\n\n", 24)},
        {"a gone process", QByteArray("999999\nKeldara\nsomehost\n")},
        {"this very process",
         QByteArray::number(QCoreApplication::applicationPid()) + "\nKeldara\n"},
    };
    for (const auto& [what, content] : contents) {
        SCOPED_TRACE(what);
        TempAppFolder dir;
        dir.write(QStringLiteral("Keldara.lock"), content);
        LockFileInstanceGuard guard(dir.file(QStringLiteral("Keldara.lock")));
        EXPECT_TRUE(guard.tryAcquire());
        EXPECT_EQ(guard.problem(), QString());
        EXPECT_FALSE(LockFileInstanceGuard(dir.file(QStringLiteral("Keldara.lock"))).tryAcquire());
    }

    TempAppFolder dir;
    dir.mkdir(QStringLiteral("Keldara.lock"));
    LockFileInstanceGuard guard(dir.file(QStringLiteral("Keldara.lock")));
    EXPECT_TRUE(guard.tryAcquire());
    EXPECT_TRUE(guard.problem().contains(QStringLiteral("folder")));
    EXPECT_FALSE(LockFileInstanceGuard(dir.file(QStringLiteral("Keldara.lock"))).tryAcquire());
}

TEST_F(Splash, ALockProblemIsShownAndTheStartGoesOn)
{
    struct ProblemGuard : InstanceGuard {
        bool tryAcquire() override { return true; }
        QString problem() const override { return QStringLiteral("lock trouble"); }
    } troubled;
    services.instance = &troubled;
    HubContext troubledHub(services);
    frmSplash splash(troubledHub, &mainWindow);
    EXPECT_TRUE(splash.Form_Load());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("lock trouble"));
    EXPECT_TRUE(app.exists(QStringLiteral("DemoImages")));
}

} // namespace
