// Opening entries with real processes: a stand-in companion tool records what it receives.
#include "formats/LaunchTable.h"
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "platform/linux/PosixLauncher.h"
#include "support/FakeHub.h"
#include "support/StandinRecord.h"
#include "support/TempAppFolder.h"
#include "tabs/new/NewTab.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

namespace {

struct OpenItems : ::testing::Test, FakeHub {
    TempAppFolder scratch;
    PosixLauncher realLauncher;
    std::unique_ptr<frmQEL> window;
    QString recordFile;

    void SetUp() override
    {
        // The launch table names "ltpc.exe"; the tool is installed as "LTPC.exe".
        for (const char* tool : {"prv.exe", "LTPC.exe", "cnl.exe"}) {
            const QString target = app.file(QString::fromLatin1(tool));
            QFile::copy(QStringLiteral(STANDIN_EXE), target);
        }
        recordFile = scratch.file(QStringLiteral("starts.txt"));
        qputenv("KELDARA_STANDIN_RECORD", QFile::encodeName(recordFile));
        services.launcher = &realLauncher;
        window = makeWindow();
        window->newTab().LoadNewList();
    }
    void TearDown() override { qunsetenv("KELDARA_STANDIN_RECORD"); }

    // The stand-in's records: "tool<TAB>arg<TAB>arg", one line per start.
    QStringList starts(int expected) { return standinStarts(recordFile, expected); }
    void open(int list, int row)
    {
        window->lstQEL[size_t(list)]->setSelectedRow(row);
        window->lstQEL_DblClick(list);
        ASSERT_TRUE(settle());
    }
    void writeList(const QList<QStringList>& recs)
    {
        app.writeRecords(QStringLiteral("QELFileList.txt"), recs);
        window->openTab().openList().LoadOpenList();
        ASSERT_TRUE(settle());
    }
    int rowOf(const QString& name) const
    {
        for (int i = 0; i < window->lstQEL[1]->count(); ++i) {
            if (window->lstQEL[1]->text(i) == name)
                return i;
        }
        return -1;
    }
};

TEST_F(OpenItems, NewEntriesStartTheirToolsWithTheNewFileSwitch)
{
    for (int row = 0; row < 4; ++row) {
        open(0, row);
        ASSERT_TRUE(settle());
        starts(row + 1); // one at a time, so the records come in this order
    }
    const QStringList lines = starts(4);
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("prv.exe\t#NEW#"), QStringLiteral("LTPC.exe\tPLI"),
                           QStringLiteral("LTPC.exe\tPHS"), QStringLiteral("cnl.exe\t#NEW#")}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(OpenItems, OpenEntriesPassTheFileWithQuestionMarksForBlanks)
{
    scratch.write(QStringLiteral("My Data/plot 1.pli"), "x");
    scratch.write(QStringLiteral("My Data/ridge top.fpl"), "x");
    scratch.write(QStringLiteral("My Data/c.crn"), "x");
    const QString folder = scratch.path() + QStringLiteral("/My Data/");
    writeList(
        {{QStringLiteral("pli"), folder + QStringLiteral("plot 1.pli"), QStringLiteral("d")},
         {QStringLiteral("FPL"), folder + QStringLiteral("ridge top.fpl"), QStringLiteral("d")},
         {QStringLiteral("crn"), folder + QStringLiteral("c.crn"), QStringLiteral("d")}});
    const QString q = SpacesToQuestionMarks(folder);
    open(1, rowOf(QStringLiteral("plot 1.pli")));
    ASSERT_TRUE(settle());
    starts(1);
    open(1, rowOf(QStringLiteral("ridge top.fpl")));
    ASSERT_TRUE(settle());
    starts(2);
    open(1, rowOf(QStringLiteral("c.crn")));
    ASSERT_TRUE(settle());
    EXPECT_EQ(starts(3),
              (QStringList{QStringLiteral("LTPC.exe\tpli\t") + q + QStringLiteral("plot?1.pli"),
                           QStringLiteral("prv.exe\t") + q + QStringLiteral("ridge?top.fpl"),
                           QStringLiteral("cnl.exe\t") + q + QStringLiteral("c.crn")}));
}

TEST_F(OpenItems, BrowseStartsByExtensionOrRefuses)
{
    prompter.dialogAnswers = {scratch.path() + QStringLiteral("/A B/x.PHS"),
                              scratch.path() + QStringLiteral("/notes.txt"), QString()};
    window->openTab().cmdBrowse_Click();
    ASSERT_TRUE(settle());
    window->openTab().cmdBrowse_Click();
    ASSERT_TRUE(settle());
    window->openTab().cmdBrowse_Click(); // cancelled: nothing at all
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.dialogs.size(), 3);
    const OpenFileRequest& d = prompter.dialogs[0];
    EXPECT_EQ(d.title, QStringLiteral("Open File"));
    EXPECT_EQ(d.filter, QStringLiteral("Profile View Fuel Profile(*.fpl)|*.fpl|LogTally Planar "
                                       "Intercept(*.pli)|*.pli|LogTally Plot Pictures(*.phs)|*.phs|"
                                       "Canopy Load(*.crn)|*.crn"));
    EXPECT_EQ(d.filterIndex, 1);
    EXPECT_EQ(d.initialFolder, app.path() + QLatin1Char('/')); // no data folder yet
    EXPECT_EQ(d.initialName, QString());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("The file can not be opened"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::None);
    EXPECT_EQ(starts(1),
              QStringList{QStringLiteral("LTPC.exe\tphs\t") +
                          SpacesToQuestionMarks(scratch.path()) + QStringLiteral("/A?B/x.PHS")});

    app.mkdir(QStringLiteral("Data"));
    window->openTab().cmdBrowse_Click();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.dialogs.last().initialFolder, app.path() + QStringLiteral("/Data"));
}

TEST_F(OpenItems, MissingFileIsOfferedForLocatingAndOnlyItsEntryGoes)
{
    const QString folder = scratch.path() + QStringLiteral("/gone dir/");
    writeList(
        {{QStringLiteral("fpl"), folder + QStringLiteral("plot 9.fpl"), QStringLiteral("d")},
         {QStringLiteral("fpl"), folder + QStringLiteral("other.fpl"), QStringLiteral("d")},
         {QStringLiteral("fpl"), folder + QStringLiteral(".hidden.fpl"), QStringLiteral("d")}});
    const QString q = SpacesToQuestionMarks(folder);

    // No: the question, then the entry is dropped; nothing starts.
    prompter.answers = {MsgAnswer::No};
    open(1, rowOf(QStringLiteral("plot 9.fpl")));
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("File does not exist: ") + q +
                  QStringLiteral("plot?9.fpl\rIt may have been moved or deleted. Do you wish to "
                                 "locate the file yourself? "));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Keldara"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(prompter.dialogs.isEmpty());
    auto paths = [&] {
        QStringList r;
        for (const auto& rec : window->openTab().openList().store().read().records)
            r << rec.path;
        return r;
    };
    EXPECT_EQ(paths(), (QStringList{folder + QStringLiteral("other.fpl"),
                                    folder + QStringLiteral(".hidden.fpl")}));

    // Yes: the dialog opens on the missing name; after it the entry goes, whatever was chosen.
    // The file hidden from the existence test is there all along and must survive.
    scratch.write(QStringLiteral("gone dir/.hidden.fpl"), "precious");
    window->openTab().openList().LoadOpenList();
    ASSERT_TRUE(settle());
    prompter.answers = {MsgAnswer::Yes};
    open(1, rowOf(QStringLiteral(".hidden.fpl")));
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.dialogs.size(), 1);
    EXPECT_EQ(prompter.dialogs[0].initialName, QStringLiteral(".hidden.fpl"));
    EXPECT_EQ(window->openTab().cmdBrowseTag, QString());
    EXPECT_EQ(paths(), QStringList{folder + QStringLiteral("other.fpl")});
    EXPECT_EQ(scratch.read(QStringLiteral("gone dir/.hidden.fpl")), QByteArray("precious"));

    // A second double-click while the question is on screen is ignored.
    window->openTab().openList().LoadOpenList();
    ASSERT_TRUE(settle());
    prompter.messages.clear();
    prompter.answers = {MsgAnswer::No};
    prompter.whileShowing = [&] { window->lstQEL_DblClick(1); };
    open(1, rowOf(QStringLiteral("other.fpl")));
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages.size(), 1);
}

// Any program may write the list. A path that is not a full path would be looked up in the
// folder the hub happens to run in and reach the tool as an option: it is never handed on.
TEST_F(OpenItems, ARecordedPathThatIsNotAFullPathIsNeverHandedToATool)
{
    scratch.write(QStringLiteral("--output=evil/y.pli"), "x");
    const QString before = QDir::currentPath();
    QDir::setCurrent(scratch.path());
    writeList(
        {{QStringLiteral("pli"), QStringLiteral("--output=evil/y.pli"), QStringLiteral("d")}});
    open(1, rowOf(QStringLiteral("y.pli")));
    ASSERT_TRUE(settle());
    QDir::setCurrent(before);

    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("The file can not be opened")));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    QThread::msleep(300); // a start would have reached the stand-in by now
    EXPECT_TRUE(starts(0).isEmpty());
    EXPECT_EQ(window->openTab().openList().store().read().records.size(), 1);
}

TEST_F(OpenItems, AToolThatCannotStartIsReportedWithTheSystemsReason)
{
    QFile::remove(app.file(QStringLiteral("cnl.exe")));
    writeList({});
    const int before = window->lstQEL[1]->count();
    open(0, 3);
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Can't start application\r2-No such file or directory"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Keldara"));
    EXPECT_EQ(window->lstQEL[1]->count(), before);

    // A Windows program with no wine to run it: the system's exec format error.
    app.write(QStringLiteral("cnl.exe"), "MZ\x90\x00 not really a program");
    QFile::setPermissions(app.file(QStringLiteral("cnl.exe")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
        GTEST_SKIP() << "wine is installed here";
    open(0, 3);
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].text,
              QStringLiteral("Can't start application\r8-Exec format error"));
}

} // namespace
