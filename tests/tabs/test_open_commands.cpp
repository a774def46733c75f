// Rename and Delete on the "Open" tab, through the window's Edit menu, with scripted answers and
// real files: the data file follows the command, and a list that cannot follow stops it.
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "support/Faults.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>

#include <functional>
#include <optional>

namespace {

struct OpenCommands : ::testing::Test, FakeHub {
    TempAppFolder elsewhere;
    std::unique_ptr<frmQEL> window;
    QelListView* list = nullptr;

    void SetUp() override
    {
        window = makeWindow();
        list = window->lstQEL[1];
        window->TabMain->setCurrTab(1);
    }
    QString data(const QString& name) const { return app.file(QStringLiteral("data/") + name); }
    // The list file with one record per path, each with its own date, and the list loaded.
    void load(const QStringList& paths)
    {
        QByteArray text;
        for (const QString& p : paths)
            text += records::encode({QStringLiteral("fpl"), p, QStringLiteral("date of ") + p});
        app.write(QStringLiteral("QELFileList.txt"), text);
        window->openTab().openList().LoadOpenList();
        ASSERT_TRUE(settle());
    }
    void select(const QString& name)
    {
        for (int row = 0; row < list->count(); ++row) {
            if (list->text(row) == name)
                list->setSelectedRow(row);
        }
        ASSERT_EQ(list->text(list->selectedRow()), name);
    }
};

TEST_F(OpenCommands, RenameAsksWithTheNameAndKindAndRenamesTheFile)
{
    app.write(QStringLiteral("data/plot7.fpl"), "plot");
    load({data(QStringLiteral("plot7.fpl"))});

    list->setSelectedRow(-1);
    window->mnuRename->trigger(); // nothing selected: nothing asked
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.inputs.isEmpty());

    select(QStringLiteral("plot7.fpl"));
    window->mnuRename->trigger(); // cancelled: nothing changes
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.inputs.size(), 1);
    EXPECT_EQ(prompter.inputs[0].prompt,
              QStringLiteral("Rename file  PLOT7.FPL\rType: Fuel Profile"));
    EXPECT_EQ(prompter.inputs[0].title, QStringLiteral("  "));
    EXPECT_EQ(prompter.inputs[0].defaultText, QStringLiteral(" "));
    EXPECT_TRUE(app.exists(QStringLiteral("data/plot7.fpl")));

    prompter.inputAnswers = {QStringLiteral("ridge")};
    window->barMain_ButtonClick(QStringLiteral("Rename"));
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.messages.isEmpty()) << lastMessage().toStdString();
    EXPECT_EQ(app.read(QStringLiteral("data/ridge.FPL")), "plot");
    EXPECT_FALSE(app.exists(QStringLiteral("data/plot7.fpl")));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->text(0), QStringLiteral("ridge.FPL"));
}

TEST_F(OpenCommands, DeleteAsksThenTakesTheEntryAndTheFileToTheTrash)
{
    app.write(QStringLiteral("data/plot7.fpl"), "plot");
    app.write(QStringLiteral("data/keep.fpl"), "keep");
    load({data(QStringLiteral("plot7.fpl")), data(QStringLiteral("keep.fpl"))});
    select(QStringLiteral("plot7.fpl"));

    window->mnuDelete->trigger(); // No
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Are your sure you want to delete PLOT7.FPL"));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Keldara"));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(recordedPaths().size(), 2);
    EXPECT_TRUE(app.exists(QStringLiteral("data/plot7.fpl")));

    prompter.answers = {MsgAnswer::Yes};
    window->barMain_ButtonClick(QStringLiteral("Delete"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages.size(), 2);
    EXPECT_FALSE(app.exists(QStringLiteral("data/plot7.fpl")));
    EXPECT_EQ(trash.trashed(), QStringList{data(QStringLiteral("plot7.fpl"))});
    EXPECT_EQ(recordedPaths(), QStringList{data(QStringLiteral("keep.fpl"))});
    ASSERT_EQ(list->count(), 1); // reloaded at once
    EXPECT_EQ(list->text(0), QStringLiteral("keep.fpl"));
}

// Where the trash cannot take the file, nothing is lost without the user's word.
TEST_F(OpenCommands, AFileTheTrashCannotTakeIsDeletedForGoodOnlyOnYes)
{
    trash.failTrashWith(FileResult::fromErrno(EROFS));
    app.write(QStringLiteral("data/plot7.fpl"), "plot");
    load({data(QStringLiteral("plot7.fpl"))});
    select(QStringLiteral("plot7.fpl"));
    const QString ask =
        QStringLiteral("PLOT7.FPL cannot be moved to the trash. Delete it permanently?");

    prompter.answers = {MsgAnswer::Yes, MsgAnswer::No};
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].text, ask);
    EXPECT_EQ(prompter.messages[1].buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(prompter.messages[1].title, QStringLiteral("Keldara"));
    EXPECT_EQ(app.read(QStringLiteral("data/plot7.fpl")), "plot");
    EXPECT_EQ(recordedPaths().size(), 1);

    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages.size(), 4) << lastMessage();
    EXPECT_FALSE(app.exists(QStringLiteral("data/plot7.fpl")));
    EXPECT_TRUE(recordedPaths().isEmpty());
    EXPECT_EQ(list->count(), 0);
}

TEST_F(OpenCommands, ADeleteTheListCannotTakeLeavesTheDataFile)
{
    const QString plot = elsewhere.file(QStringLiteral("plot.fpl"));
    elsewhere.write(QStringLiteral("plot.fpl"), "plot");
    const QString listFile = app.file(QStringLiteral("QELFileList.txt"));

    // The list gone, unreadable (a folder in its place), or in a folder that cannot be written.
    const std::function<void()> faults[] = {
        [&] { QFile::remove(listFile); },
        [&] {
            QFile::remove(listFile);
            app.mkdir(QStringLiteral("QELFileList.txt"));
        },
        [] {},
    };
    const char* const reasons[] = {"2-No such file or directory", "21-Is a directory",
                                   "30-Read-only file system"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QDir(listFile).removeRecursively();
        load({plot});
        select(QStringLiteral("plot.fpl"));
        faults[i]();
        const QByteArray before = app.read(QStringLiteral("QELFileList.txt"));
        std::optional<ReadOnlyFolder> readOnly;
        if (i == 2) {
            readOnly.emplace(app.path());
            if (!readOnly->mounted)
                GTEST_SKIP() << "cannot bind-mount a folder read-only here";
        }
        prompter.messages.clear();
        prompter.answers = {MsgAnswer::Yes};
        window->mnuDelete->trigger();
        ASSERT_TRUE(settle());
        ASSERT_EQ(prompter.messages.size(), 2);
        EXPECT_EQ(lastMessage(), QStringLiteral("Problem saving to QEL list, PLOT.FPL was not "
                                                "deleted\r") +
                                     QLatin1String(reasons[i]));
        EXPECT_EQ(elsewhere.read(QStringLiteral("plot.fpl")), "plot"); // back, if it went
        EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
        EXPECT_EQ(QFileInfo(listFile).isFile(), i == 2); // a missing list is not made
        EXPECT_EQ(QFileInfo(listFile).isDir(), i == 1);
        EXPECT_EQ(list->count(), 1); // the list on screen as it was
    }
}

TEST_F(OpenCommands, AFileThatCannotGoIsReportedAfterItsEntryWent)
{
    trash.failTrashWith(FileResult::fromErrno(EROFS));
    elsewhere.write(QStringLiteral("locked/plot.fpl"), "plot");
    load({elsewhere.file(QStringLiteral("locked/plot.fpl"))});
    select(QStringLiteral("plot.fpl"));
    ReadOnlyFolder locked(elsewhere.file(QStringLiteral("locked")));
    if (!locked.mounted)
        GTEST_SKIP() << "cannot bind-mount a folder read-only here";
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes}; // and for good
    window->mnuDelete->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(lastMessage(), QStringLiteral("PLOT.FPL was removed from the list, but the file "
                                            "could not be deleted\r30-Read-only file system"));
    EXPECT_TRUE(elsewhere.exists(QStringLiteral("locked/plot.fpl")));
    EXPECT_TRUE(recordedPaths().isEmpty());
    EXPECT_EQ(list->count(), 0);
}

// Remove from List leaves the file where it is; an entry of the data folder is said to come back
// at the next start. Undo puts the records back byte for byte.
TEST_F(OpenCommands, RemoveFromListAsksAndLeavesTheFile)
{
    app.write(QStringLiteral("data/a.fpl"), "a");
    elsewhere.write(QStringLiteral("b.fpl"), "b");
    load({data(QStringLiteral("a.fpl")), elsewhere.file(QStringLiteral("b.fpl"))});
    const QByteArray before = app.read(QStringLiteral("QELFileList.txt"));
    select(QStringLiteral("b.fpl"));
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::No};
    window->openTab().removeFromList();
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Remove B.FPL from the list? The file stays where it is."));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(list->count(), 1);
    EXPECT_TRUE(elsewhere.exists(QStringLiteral("b.fpl")));
    EXPECT_EQ(window->openTab().undoText(), QStringLiteral("Undo Remove of b.fpl"));

    select(QStringLiteral("a.fpl"));
    window->openTab().removeFromList(); // answered No
    ASSERT_TRUE(settle());
    EXPECT_EQ(prompter.messages[1].text,
              QStringLiteral("Remove A.FPL from the list? The file stays where it is.\rA.FPL will "
                             "be listed again at the next start because it is in the data "
                             "folder."));
    EXPECT_EQ(list->count(), 1);

    window->mnuUndo->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
    EXPECT_EQ(list->count(), 2);
}

} // namespace
