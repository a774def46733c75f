// A data file the hub starts a tool on goes on the desktop's recently-used list, with the tool
// as its program; nothing there may stop or hold up the start. "Show in Folder" asks the file
// manager to show the file, and opens its folder when that cannot be done.
#include "actions/Launching.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeFileManager.h"
#include "support/FakeHub.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

struct RecentFiles : ::testing::Test, FakeHub {
    std::unique_ptr<frmQEL> window = makeWindow();

    QStringList recorded() const
    {
        QStringList lines;
        for (const RecentDocuments::Document& d : recent.added())
            lines.append(QStringList{d.path, d.mimeType, d.application, d.command}
                             .join(QLatin1Char('|'))
                             .replace(app.path(), QStringLiteral("<app>")));
        return lines;
    }
};

TEST_F(RecentFiles, OpenEntriesAndBrowsedFilesAreRecordedWithTheirTool)
{
    app.write(QStringLiteral("data/plot 1.pli"), "x");
    app.writeRecords(QStringLiteral("QELFileList.txt"),
                     {{QStringLiteral("pli"), app.file(QStringLiteral("data/plot 1.pli")),
                       QStringLiteral("d")}});
    window->openTab().openList().LoadOpenList();
    window->newTab().LoadNewList();
    ASSERT_TRUE(settle());
    window->lstQEL[1]->setSelectedRow(0);
    window->lstQEL_DblClick(1);
    ASSERT_TRUE(settle());
    prompter.dialogAnswers = {app.file(QStringLiteral("data/X.Crn"))};
    window->openTab().cmdBrowse_Click();
    ASSERT_TRUE(settle());
    window->lstQEL[0]->setSelectedRow(0); // a new file is no file yet
    window->lstQEL_DblClick(0);
    ASSERT_TRUE(settle());

    ASSERT_EQ(launcher.starts.size(), 3);
    EXPECT_EQ(recorded(),
              (QStringList{QStringLiteral("<app>/data/plot 1.pli|application/x-keldara-planar-"
                                          "intercept|LogTallyPC|<app>/ltpc.exe pli "
                                          "<app>/data/plot?1.pli"),
                           QStringLiteral("<app>/data/X.Crn|application/x-keldara-crown-mass|"
                                          "Canopy Load|<app>/cnl.exe <app>/data/X.Crn")}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(RecentFiles, AFailedStartRecordsNothingAndAFailingListStopsNothing)
{
    const QString file = app.file(QStringLiteral("data/a.fpl"));
    launcher.result = FileResult::fromErrno(ENOENT);
    window->launching().openDataFile(file);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(recent.added().isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1); // "Can't start application"

    launcher.result = {};
    recent.answer(FileResult::refused(QStringLiteral("the list can not be read")));
    window->launching().openDataFile(file);
    ASSERT_TRUE(settle());
    EXPECT_EQ(launcher.starts.size(), 2);
    EXPECT_EQ(recent.added().size(), 1);
    EXPECT_EQ(prompter.messages.size(), 1); // nothing more said
}

TEST_F(RecentFiles, ShowInFolderAsksTheFileManagerAndFallsBackToTheFolder)
{
    const QString folder = app.path() + QStringLiteral("/my data/");
    app.writeRecords(
        QStringLiteral("QELFileList.txt"),
        {{QStringLiteral("fpl"), folder + QStringLiteral("a b.fpl"), QStringLiteral("d")}});
    window->openTab().openList().LoadOpenList();
    ASSERT_TRUE(settle());
    window->lstQEL[1]->setSelectedRow(0);
    FakeFileManager files;
    services.fileManager = &files;
    const auto window2 = makeWindow(); // one that has the file manager
    window2->openTab().openList().LoadOpenList();
    ASSERT_TRUE(settle());
    window2->lstQEL[1]->setSelectedRow(0);
    for (const bool shows : {true, false}) {
        files.shows = shows;
        browsers.folderRequests.clear();
        window2->openTab().openContainingFolder();
        ASSERT_TRUE(QTest::qWaitFor([&] { return files.asked.size() == (shows ? 1 : 2); }));
        QTest::qWait(10);
        ASSERT_TRUE(settle());
        EXPECT_EQ(files.asked.last(), folder + QStringLiteral("a b.fpl"));
        EXPECT_EQ(browsers.folderRequests, shows ? QStringList() : QStringList{folder}) << shows;
    }
    // Without one, the folder at once.
    browsers.folderRequests.clear();
    window->openTab().openContainingFolder();
    ASSERT_TRUE(settle());
    EXPECT_EQ(browsers.folderRequests, QStringList{folder});
}

} // namespace
