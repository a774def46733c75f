#include "about/frmAbout.h"
#include "about/HelpCommands.h"
#include "about/HelpWindow.h"
#include "base/Version.h"
#include "support/FakeHub.h"
#include "support/FakeMachineRegistry.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

namespace {

struct AboutFixture : ::testing::Test, FakeHub {
    FakeMachineRegistry registry;
    std::unique_ptr<frmQEL> window;

    void SetUp() override
    {
        services.registry = &registry;
        window = makeWindow();
    }
    static int openAboutBoxes()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<frmAbout*>(w) != nullptr && w->isVisible();
        return n;
    }
};

TEST_F(AboutFixture, TheBoxShowsTheBuildsVersionAndTheApplicationFolder)
{
    window->mnuAbout->trigger();
    frmAbout* box = window->helpCommands().aboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About Keldara"));
    EXPECT_EQ(box->lblVersion->text(), QStringLiteral("Version: %1.%2.%3")
                                           .arg(kVersionMajor)
                                           .arg(kVersionMinor)
                                           .arg(kVersionRevision));
    EXPECT_EQ(box->lblPath->text(), QStringLiteral("Application folder: ") + app.path());
    EXPECT_EQ(box->lblTitle->text(), QStringLiteral("QEL"));
    EXPECT_EQ(box->lblTM->x(), box->lblTitle->x() + box->lblTitle->width());
    EXPECT_EQ(box->cmdSysInfo->text(), QStringLiteral("&System Info..."));
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(AboutFixture, ASecondAboutBringsTheSameBoxForwardWithoutLoadingItAgain)
{
    window->mnuAbout_Click();
    frmAbout* first = window->helpCommands().aboutBox();
    first->lblPath->setText(QStringLiteral("changed since the load"));
    window->mnuAbout_Click();
    EXPECT_EQ(window->helpCommands().aboutBox(), first);
    EXPECT_EQ(first->lblPath->text(), QStringLiteral("changed since the load"));
    EXPECT_EQ(openAboutBoxes(), 1);
}

TEST_F(AboutFixture, SystemInfoWithoutAToolLeavesTheBoxOpen)
{
    window->mnuAbout_Click();
    frmAbout* box = window->helpCommands().aboutBox();
    box->cmdSysInfo->click();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_TRUE(box->isVisible());
}

// The about box is a window of its own: closing the main window leaves it on screen and the
// program running, the exit question is asked once, and the program ends when the box closes.
TEST_F(AboutFixture, ClosingTheMainWindowLeavesTheAboutBoxAndTheProgramEndsWithIt)
{
    window->show();
    window->mnuAbout_Click();
    QPointer<frmAbout> box = window->helpCommands().aboutBox();
    prompter.answers.push_back(MsgAnswer::Yes);
    bool ranOnAfterMainClosed = false;
    bool boxShownAfterMainClosed = false;
    QTimer::singleShot(0, [&] {
        window->mnuExit_Click();
        QTimer::singleShot(50, [&] {
            ranOnAfterMainClosed = !window->isVisible();
            boxShownAfterMainClosed = box && box->isVisible();
            if (box)
                box->cmdOK->click();
        });
    });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); }); // a safety net only
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(ranOnAfterMainClosed);
    EXPECT_TRUE(boxShownAfterMainClosed);
    EXPECT_EQ(prompter.messages.size(), 1); // the exit question only
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(box);
}

TEST_F(AboutFixture, HelpContentsF1AndTheToolbarHelpButtonOpenOneHelpWindowAtItsContents)
{
    EXPECT_EQ(window->mnuHelpContents->shortcut(), QKeySequence(Qt::Key_F1));
    window->barMain_ButtonClick(QStringLiteral("Help"));
    HelpWindow* help = window->helpCommands().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->browser->source(), HelpWindow::contentsUrl());

    help->followLink(QUrl(QStringLiteral("files.html")));
    window->mnuHelpContents->trigger();
    EXPECT_EQ(window->helpCommands().helpWindow(), help);
    EXPECT_EQ(help->browser->source(), HelpWindow::contentsUrl());
}

} // namespace
