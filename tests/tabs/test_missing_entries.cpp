// Entries whose file has gone are greyed, and finding that out never holds up the list; entries
// on a drive that is not connected are no missing files: they are shown as such and kept.
#include "base/Columns.h"
#include "lists/RecordCodec.h"
#include "support/BlockingFileSystem.h"
#include "support/TabRig.h"
#include "tabs/open/OpenTab.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTreeView>

namespace {

struct MissingEntries : ::testing::Test, TabRig {
    BlockingFileSystem drive;
    std::unique_ptr<OpenTab> tab;
    MissingEntries()
        : TabRig(Tab::Open)
    {}
    void TearDown() override
    {
        drive.release();
        ASSERT_TRUE(settle());
    }
    void SetUp() override
    {
        // The data folder is a drive of its own here, so that it can hang.
        services.files = &drive;
        drives.setMounts({QStringLiteral("/"), app.file(QStringLiteral("data"))});
        hub = std::make_unique<HubContext>(services);
        launching = std::make_unique<Launching>(*hub);
        app.write(QStringLiteral("data/here.fpl"), "x");
        QByteArray lines;
        for (const char* name : {"data/here.fpl", "data/gone.fpl", "data/.hidden.fpl"})
            lines += records::encode(
                {QStringLiteral("fpl"), app.file(QString::fromLatin1(name)), QStringLiteral("d")});
        app.write(QStringLiteral("data/.hidden.fpl"), "x");
        app.write(QStringLiteral("QELFileList.txt"), lines);
        tab = std::make_unique<OpenTab>(*hub, list, large, small, *launching);
    }
    QString noteOf(const QString& name) const
    {
        for (int row = 0; row < list.count(); ++row) {
            if (list.text(row) == name)
                return list.reportView()->model()->index(row, 0).data(Qt::ToolTipRole).toString();
        }
        return QStringLiteral("(no such row)");
    }
};

TEST_F(MissingEntries, GoneAndHiddenFilesAreGreyedOnceTheAnswerArrives)
{
    tab->openList().LoadOpenList();
    ASSERT_TRUE(settle());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return noteOf(QStringLiteral("gone.fpl")) == QStringLiteral("missing"); }, 5000));
    EXPECT_EQ(noteOf(QStringLiteral("gone.fpl")), QStringLiteral("missing"));
    EXPECT_EQ(noteOf(QStringLiteral(".hidden.fpl")), QStringLiteral("missing"));
    EXPECT_EQ(noteOf(QStringLiteral("here.fpl")), QString());
}

TEST_F(MissingEntries, AFolderThatHangsDoesNotHoldUpTheList)
{
    drive.block(app.file(QStringLiteral("data"))); // an unreachable network folder
    QElapsedTimer t;
    t.start();
    tab->openList().LoadOpenList();
    // The list shows while the check of the folder that hangs is still under way.
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 3; }, 1000));
    EXPECT_LT(t.elapsed(), 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return drive.blockedCalls() == 1; }, 1000));
    EXPECT_TRUE(tab->openList().missingCheckBusy());
    // Reloads meanwhile: the drive is not asked again while it hangs.
    for (int i = 0; i < 3; ++i)
        tab->openList().LoadOpenList();
    QTest::qWait(100);
    EXPECT_EQ(drive.blockedCalls(), 1);
    drive.release();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return noteOf(QStringLiteral("gone.fpl")) == QStringLiteral("missing"); }, 10000));
}

// The answers come for the rows as they were when the check began; a sort meanwhile must not
// grey the entries that now stand in those places.
TEST_F(MissingEntries, ASortWhileTheAnswersAreOnTheirWayGreysTheRightEntries)
{
    drive.block(app.file(QStringLiteral("data")));
    tab->openList().LoadOpenList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 3; }, 5000));
    const QString first = list.text(0);
    list.setSorted(true);
    list.setSortKey(0);
    list.setSortOrder(Qt::DescendingOrder);
    drive.release();
    ASSERT_NE(list.text(0), first) << "the sort did not move the rows";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tab->openList().missingCheckBusy(); }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(noteOf(QStringLiteral("here.fpl")), QString());
    EXPECT_EQ(noteOf(QStringLiteral("gone.fpl")), QStringLiteral("missing"));
    EXPECT_EQ(noteOf(QStringLiteral(".hidden.fpl")), QStringLiteral("missing"));
}

// A stick that is not plugged in: every command says so and keeps the entry, and plugging it in
// is noticed without the user.
TEST_F(MissingEntries, AnEntryOnADriveThatIsNotConnectedIsKeptAndComesBackWithTheDrive)
{
    TempAppFolder stick;
    const QString plot = stick.file(QStringLiteral("plots/a.fpl"));
    drives.setNotConnected(stick.path());
    const QByteArray before = records::encode({QStringLiteral("fpl"), plot, QStringLiteral("d")}) +
                              app.read(QStringLiteral("QELFileList.txt"));
    app.write(QStringLiteral("QELFileList.txt"), before);
    tab->openList().LoadOpenList();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return noteOf(QStringLiteral("a.fpl")) == QStringLiteral("not connected"); }, 5000));
    const int row = list.rowOfKey(plot);
    EXPECT_EQ(list.reportView()->model()->index(row, 0).data(Qt::AccessibleDescriptionRole),
              plot + QStringLiteral(", not connected"));

    const QString away = plot + QStringLiteral(" is on a drive that is not connected.");
    prompter.inputAnswers = {QStringLiteral("ridge")};
    prompter.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    for (const auto& command : {&OpenTab::open, &OpenTab::rename, &OpenTab::remove}) {
        list.setSelectedKey(plot);
        ((*tab).*command)();
        ASSERT_TRUE(settle());
    }
    ASSERT_EQ(prompter.messages.size(), 4); // three notices and the Delete's question
    EXPECT_EQ(prompter.messages[0].text, away);
    EXPECT_EQ(prompter.messages[1].text, away);
    EXPECT_EQ(prompter.messages[3].text,
              away + QStringLiteral(" Connect it to delete the file, or use Remove from List."));
    EXPECT_TRUE(launcher.starts.isEmpty());
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);

    stick.write(QStringLiteral("plots/a.fpl"), "plot"); // plugged in
    drives.setNotConnected(stick.path(), false);
    drives.changed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return noteOf(QStringLiteral("a.fpl")).isEmpty(); }, 2000));
}

// Clean Up Missing on 1,000 entries: the 100 whose files are gone go, in one change that Undo
// takes back byte for byte; those on a drive that is away or not answering stay, and so does
// every file.
TEST_F(MissingEntries, CleanUpMissingTakesOnlyTheGoneAndUndoPutsThemBack)
{
    TempAppFolder stick, share;
    drives.setNotConnected(stick.path());
    drive.serverGone(share.path());
    QByteArray before;
    const auto add = [&](const QString& path) {
        before += records::encode({QStringLiteral("fpl"), path, QStringLiteral("d")});
    };
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("p%1.fpl").arg(i);
        if (i % 10 == 1) {
            add(app.file(QStringLiteral("data/gone") + name)); // 100 missing
        } else if (i % 10 == 2) {
            add(stick.file(name)); // 100 not connected
        } else if (i % 100 == 3) {
            add(share.file(name)); // 10 not answering
        } else {
            app.write(QStringLiteral("data/") + name, "x");
            add(app.file(QStringLiteral("data/") + name));
        }
    }
    add(QStringLiteral("relative/gone.fpl")); // no full path: its drive is not known
    app.write(QStringLiteral("QELFileList.txt"), before);
    tab->openList().LoadOpenList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 1001; }, 5000));
    prompter.answers = {MsgAnswer::No, MsgAnswer::Yes};
    QElapsedTimer t;
    for (int ask = 0; ask < 2; ++ask) {
        t.start();
        tab->cleanUpMissing();
        ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.messages.size() == ask + 1; }, 5000));
    }
    ASSERT_TRUE(settle());
    const qint64 ms = t.elapsed();
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Remove the 100 entries whose files are gone from the list? Entries "
                             "on drives that are not connected are kept."));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Exclamation);
    QByteArray expected;
    for (const QByteArray& line : before.split('\n')) {
        if (!line.contains("/gone") && !line.isEmpty())
            expected += line + '\n';
    }
    expected += records::encode(
        {QStringLiteral("fpl"), QStringLiteral("relative/gone.fpl"), QStringLiteral("d")});
    const QByteArray after = app.read(QStringLiteral("QELFileList.txt"));
    EXPECT_EQ(after.count('\n'), 901);
    EXPECT_EQ(list.count(), 901);
    EXPECT_EQ(noteOf(share.file(QStringLiteral("p3.fpl")).section(u'/', -1)),
              QStringLiteral("not answering"));
    std::printf("Clean Up Missing, 1,000 entries: %lld ms from the command to the list shown; "
                "%lld records remain\n",
                ms, qlonglong(after.count('\n')));
    ASSERT_EQ(tab->undoText(), QStringLiteral("Undo Clean Up Missing"));
    tab->undo();
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);

    // Nothing gone: said so, with nothing asked.
    app.write(QStringLiteral("QELFileList.txt"), after);
    tab->openList().LoadOpenList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 901; }, 5000));
    tab->cleanUpMissing();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.messages.size() == 3; }, 5000));
    EXPECT_EQ(prompter.messages[2].text, QStringLiteral("No entries are missing."));
    EXPECT_EQ(prompter.messages[2].buttons, MsgButtons::Ok);
    EXPECT_EQ(prompter.messages[2].icon, MsgIcon::None);
}

// A known stick mounted at a new place: asked once for that mount, within moments; Yes points
// its records there, Edit > Undo points them back, and No changes nothing.
TEST_F(MissingEntries, AStickAtANewPlaceIsFollowedWithTheUsersWord)
{
    TempAppFolder state;
    services.stateFolder = state.path();
    hub = std::make_unique<HubContext>(services);
    tab = std::make_unique<OpenTab>(*hub, list, large, small, *launching);
    const QString old = QStringLiteral("/media/u/FIELDSTICK"), now = old + u'1';
    const QByteArray before =
        records::encode(
            {QStringLiteral("fpl"), old + QStringLiteral("/a.fpl"), QStringLiteral("d")}) +
        app.read(QStringLiteral("QELFileList.txt"));
    app.write(QStringLiteral("QELFileList.txt"), before);
    const DriveIdentity first{QStringLiteral("1111"), QStringLiteral("FIELDSTICK"), old,
                              QStringLiteral("1")};
    drives.setMounted({first});
    tab->openList().LoadOpenList();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.messages.isEmpty());
    tab->openList().pins().set(old + QStringLiteral("/a.fpl"), QStringLiteral("a.fpl"), true);

    prompter.answers = {MsgAnswer::No, MsgAnswer::Yes};
    for (const QString& mount : {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("3")}) {
        drives.setMounted({{first.uuid, first.label, now, mount}});
        QElapsedTimer t;
        t.start();
        drives.changed();
        ASSERT_TRUE(settle());
        EXPECT_LT(t.elapsed(), 2000);
    }
    ASSERT_EQ(prompter.messages.size(), 2); // once per mount
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Point the 1 entries on FIELDSTICK to /media/u/FIELDSTICK1?"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Exclamation);
    QByteArray moved = before;
    moved.replace("/media/u/FIELDSTICK/", "/media/u/FIELDSTICK1/");
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), moved);
    EXPECT_EQ(list.rowOfKey(now + QStringLiteral("/a.fpl")) >= 0, true);
    EXPECT_TRUE(list.isPinned(now + QStringLiteral("/a.fpl"))); // the pin went with it
    ASSERT_EQ(tab->undoText(), QStringLiteral("Undo Move of FIELDSTICK"));
    tab->undo();
    ASSERT_TRUE(settle());
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), before);
    EXPECT_TRUE(list.isPinned(old + QStringLiteral("/a.fpl")));
}

} // namespace
