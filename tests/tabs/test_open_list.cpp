#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "support/TempAppFolder.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QThread>
#include <QTreeView>

namespace {

struct OpenTab : ::testing::Test, FakeHub {
    std::unique_ptr<frmQEL> window;
    QelListView* list = nullptr;

    void SetUp() override
    {
        window = makeWindow();
        list = window->lstQEL[1];
    }
    QString p(const QString& rel) const { return app.path() + QLatin1Char('/') + rel; }
    void writeList(const QList<QStringList>& recs)
    {
        app.writeRecords(QStringLiteral("QELFileList.txt"), recs);
    }
    void load()
    {
        window->openTab().openList().LoadOpenList();
        ASSERT_TRUE(settle());
    }
    void tick()
    {
        window->openTab().openList().tmrFileUpdate_Timer();
        ASSERT_TRUE(settle());
    }
    QStringList column(int c) const
    {
        QStringList r;
        for (int i = 0; i < list->count(); ++i)
            r << (c == 0 ? list->text(i) : list->subItem(i, c));
        return r;
    }
};

TEST_F(OpenTab, RowsCarryNameDateKindFolderCodeAndIcons)
{
    writeList({{QStringLiteral("fpl"), QStringLiteral("/f/zeta.fpl"), QStringLiteral("d1")},
               {QStringLiteral("CRN"), QStringLiteral("/f/CRNexample.crn"), QStringLiteral("d2")},
               {QStringLiteral("phs"), QStringLiteral("/g/beta.phs"), QStringLiteral("d3")},
               {QStringLiteral("xyz"), QStringLiteral("/g/odd.xyz"), QStringLiteral("d4")},
               {QStringLiteral("pli"), QStringLiteral("/f/zeta.fpl"), QStringLiteral("d5")},
               {QStringLiteral("pli"), QStringLiteral("noseparator.pli"), QStringLiteral("d6")},
               {QStringLiteral("pli"), QStringLiteral("/ends/in/"), QStringLiteral("d7")}});
    load();
    // Sorted by name, ignoring case; the skipped records stay in the file.
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("beta.phs"), QStringLiteral("CRNexample.crn"),
                                      QStringLiteral("odd.xyz"), QStringLiteral("zeta.fpl"),
                                      QStringLiteral("zeta.fpl")}));
    EXPECT_EQ(column(1),
              (QStringList{QStringLiteral("d3"), QStringLiteral("d2"), QStringLiteral("d4"),
                           QStringLiteral("d1"), QStringLiteral("d5")}));
    EXPECT_EQ(column(2), (QStringList{QStringLiteral("Photo Series Inventory"),
                                      QStringLiteral("Crown Mass Inventory"), QString(),
                                      QStringLiteral("Fuel Profile"),
                                      QStringLiteral("Planar Intercept Inventory")}));
    EXPECT_EQ(column(3),
              (QStringList{QStringLiteral("/g/"), QStringLiteral("/f/"), QStringLiteral("/g/"),
                           QStringLiteral("/f/"), QStringLiteral("/f/")}));
    EXPECT_EQ(column(4),
              (QStringList{QStringLiteral("phs"), QStringLiteral("CRN"), QStringLiteral("xyz"),
                           QStringLiteral("fpl"), QStringLiteral("pli")}));
    EXPECT_EQ(list->entry(1).largeIcon, QStringLiteral("Crn"));
    EXPECT_EQ(list->entry(0).smallIcon, QStringLiteral("LGT"));
    EXPECT_EQ(list->entry(2).largeIcon, QString());
    EXPECT_EQ(list->entry(3).smallIcon, QStringLiteral("PRV"));
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")).count('\n'), 7);
}

TEST_F(OpenTab, MissingListIsBuiltFromTheDataFolder)
{
    app.write(QStringLiteral("data/one.fpl"), "x");
    app.write(QStringLiteral("data/two.crn"), "x");
    load();
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("one.fpl"), QStringLiteral("two.crn")}));
    EXPECT_TRUE(app.exists(QStringLiteral("QELFileList.txt")));
}

TEST_F(OpenTab, HeaderClicksFlipOneSharedOrderAndAReloadResetsIt)
{
    writeList({{QStringLiteral("fpl"), QStringLiteral("/f/b.fpl"), QStringLiteral("2")},
               {QStringLiteral("pli"), QStringLiteral("/f/a.pli"), QStringLiteral("3")},
               {QStringLiteral("crn"), QStringLiteral("/f/c.crn"), QStringLiteral("1")}});
    load();
    window->lstQEL_ColumnClick(1, 1); // "Recently Used Files": descending first
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("c.crn"), QStringLiteral("b.fpl"),
                                      QStringLiteral("a.pli")}));
    window->lstQEL_ColumnClick(1, 1);
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("a.pli"), QStringLiteral("b.fpl"),
                                      QStringLiteral("c.crn")}));
    window->lstQEL_ColumnClick(1, 2); // "Last Modified", the order flips again: descending
    EXPECT_EQ(column(1),
              (QStringList{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1")}));
    window->lstQEL_ColumnClick(1, 3); // "Type": ascending
    EXPECT_EQ(column(2).first(), QStringLiteral("Crown Mass Inventory"));

    window->mnuIcon_Click(); // current tab is "New": the Open list keeps its mode
    window->TabMain->setCurrTab(1);
    window->mnuIcon_Click();
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Icon);
    load();
    EXPECT_EQ(list->viewMode(), QelListView::ViewMode::Report);
    EXPECT_EQ(list->sortKey(), 0);
    EXPECT_EQ(list->sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(column(0).first(), QStringLiteral("a.pli"));
    EXPECT_TRUE(window->mnuIcon->isChecked()); // the display keeps the user's last choice
}

TEST_F(OpenTab, NewestFirstOrdersByTheMomentsTheDatesNameUntilTheNextLoad)
{
    // The tools' form and undated texts; by text "9/30" would stand before "12/31" and "3/14".
    writeList({{QStringLiteral("fpl"), QStringLiteral("/f/a.fpl"),
                QStringLiteral("9/30/2025 8:00:00 AM")},
               {QStringLiteral("pli"), QStringLiteral("/f/b.pli"), QStringLiteral("copied")},
               {QStringLiteral("crn"), QStringLiteral("/f/c.crn"),
                QStringLiteral("3/14/2026 3:09:26 PM")},
               {QStringLiteral("fpl"), QStringLiteral("/f/d.fpl"),
                QStringLiteral("12/31/2025 11:59:59 PM")}});
    load();
    window->TabMain->setCurrTab(1);
    ASSERT_TRUE(window->mnuNewestFirst->isEnabled());
    window->mnuNewestFirst->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("c.crn"), QStringLiteral("d.fpl"),
                                      QStringLiteral("a.fpl"), QStringLiteral("b.pli")}));
    EXPECT_EQ(column(1).last(), QStringLiteral("copied")); // the texts shown as they stand
    load();
    EXPECT_EQ(column(0).first(), QStringLiteral("a.fpl"));
    window->TabMain->setCurrTab(2);
    EXPECT_FALSE(window->mnuNewestFirst->isEnabled());
}

TEST_F(OpenTab, APinnedEntryStandsFirstIsKeptInTheHubsOwnStateAndComesBackAfterARestart)
{
    writeList({{QStringLiteral("fpl"), QStringLiteral("/f/a.fpl"), QStringLiteral("1")},
               {QStringLiteral("pli"), QStringLiteral("/f/b.pli"), QStringLiteral("2")},
               {QStringLiteral("crn"), QStringLiteral("/f/c.crn"), QStringLiteral("3")}});
    const QByteArray listBefore = app.read(QStringLiteral("QELFileList.txt"));
    services.stateFolder = app.file(QStringLiteral("state"));
    const auto pinned = [&](frmQEL& w) {
        w.openTab().openList().LoadOpenList();
        EXPECT_TRUE(settle());
        QStringList names;
        for (int i = 0; i < w.lstQEL[1]->count(); ++i)
            names << w.lstQEL[1]->text(i);
        return names;
    };
    {
        auto w = makeWindow();
        pinned(*w);
        w->TabMain->setCurrTab(1);
        w->lstQEL[1]->setSelectedKey(QStringLiteral("/f/c.crn"));
        w->findChild<QAction*>(QStringLiteral("mnuPinToTop"))->trigger();
        ASSERT_TRUE(settle());
        EXPECT_EQ(w->lstQEL[1]->text(0), QStringLiteral("c.crn"));
        EXPECT_TRUE(w->lstQEL[1]->isPinned(QStringLiteral("/f/c.crn")));
        w->lstQEL_ColumnClick(1, 1); // descending by name: the pin stays first
        EXPECT_EQ(w->lstQEL[1]->text(0), QStringLiteral("c.crn"));
        EXPECT_EQ(w->lstQEL[1]->text(1), QStringLiteral("b.pli"));
    }
    EXPECT_EQ(app.read(QStringLiteral("QELFileList.txt")), listBefore); // not a byte of the list
    EXPECT_TRUE(app.read(QStringLiteral("state/state.txt")).contains(R"("pin-open","/f/c.crn")"));
    // A restart finds it pinned; Unpin puts the list back in its order.
    auto w = makeWindow();
    EXPECT_EQ(pinned(*w), (QStringList{QStringLiteral("c.crn"), QStringLiteral("a.fpl"),
                                       QStringLiteral("b.pli")}));
    w->TabMain->setCurrTab(1);
    w->lstQEL[1]->setSelectedKey(QStringLiteral("/f/c.crn"));
    w->findChild<QAction*>(QStringLiteral("mnuUnpin"))->trigger();
    ASSERT_TRUE(settle());
    EXPECT_EQ(w->lstQEL[1]->text(0), QStringLiteral("a.fpl"));
}

TEST_F(OpenTab, WebHeaderClickSortsTheWebList)
{
    QelListView* web = window->lstQEL[3];
    web->setSorted(true);
    ListEntry a, b;
    a.key = a.text = QStringLiteral("a");
    b.key = b.text = QStringLiteral("b");
    web->setEntries({b, a});
    window->lstQEL_ColumnClick(3, 1);
    EXPECT_EQ(web->text(0), QStringLiteral("b"));
    EXPECT_EQ(web->sortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(list->sortOrder(), Qt::AscendingOrder);
}

TEST_F(OpenTab, TimerReloadsOnlyAfterTheFileChanges)
{
    // While the list file is missing the timer neither loads nor creates it.
    tick();
    EXPECT_FALSE(app.exists(QStringLiteral("QELFileList.txt")));

    writeList({{QStringLiteral("fpl"), QStringLiteral("/f/a.fpl"), QStringLiteral("d")}});
    tick(); // the first tick always loads
    EXPECT_EQ(list->count(), 1);

    QSignalSpy reloads(list->reportView()->model(), &QAbstractItemModel::rowsInserted);
    tick();
    EXPECT_EQ(reloads.count(), 0); // unchanged: not read again

    // Nor after a load, whose version is the one shown, nor after a sync that found nothing to
    // change (which lists nothing again) or wrote the list.
    int reads = 0;
    setListReadObserver([&](const QString&) { ++reads; });
    const auto syncThenTick = [&] {
        window->openTab().openList().SyncDataFolderEntries();
        ASSERT_TRUE(settle());
        tick();
    };
    load();
    tick();
    const SharedRows loaded = window->openTab().shownRows();
    syncThenTick();
    EXPECT_EQ(reads, 2); // the load's and the sync's own
    EXPECT_EQ(window->openTab().shownRows(), loaded);
    app.write(QStringLiteral("data/new.fpl"), "x");
    syncThenTick();
    EXPECT_EQ(reads, 3);
    EXPECT_EQ(list->count(), 2);
    QFile::remove(app.file(QStringLiteral("data/new.fpl")));
    syncThenTick();
    setListReadObserver({});
    EXPECT_EQ(reads, 5); // a look for records to drop, then the rewrite that drops them
    EXPECT_EQ(list->count(), 1);

    // Another program appends within the same second: size and fine time tell.
    QFile f(window->openTab().openList().store().listPath());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(
        records::encode({QStringLiteral("pli"), QStringLiteral("/f/b.pli"), QStringLiteral("d")}));
    f.close();
    tick();
    EXPECT_EQ(list->count(), 2);

    // Replaced by rename with the same size and time: the file's identity tells.
    list->clear();
    ASSERT_EQ(list->count(), 0);
    const QByteArray same = app.read(QStringLiteral("QELFileList.txt"));
    const QDateTime mtime = QFileInfo(f).lastModified();
    app.write(QStringLiteral("other.txt"), same);
    QFile other(app.file(QStringLiteral("other.txt")));
    other.open(QIODevice::ReadWrite);
    other.setFileTime(mtime, QFileDevice::FileModificationTime);
    other.close();
    ASSERT_EQ(::rename(QFile::encodeName(other.fileName()).constData(),
                       QFile::encodeName(f.fileName()).constData()),
              0);
    tick();
    EXPECT_EQ(list->count(), 2);
}

// A line too long to be a record is not shown; the load of the start and F5 say which it is,
// the refresh timer and the reloads after commands say nothing.
TEST_F(OpenTab, ALineTooLongForARecordIsToldOfByTheLoadsTheUserSees)
{
    const QByteArray longLine =
        "\"fpl\",\"/f/" + QByteArray(records::kMaxRecordLine, 'n') + ".fpl\",\"d\"\r\n";
    app.write(
        QStringLiteral("QELFileList.txt"),
        records::encode({QStringLiteral("fpl"), QStringLiteral("/f/a.fpl"), QStringLiteral("d")}) +
            longLine);
    const auto told = [&](void (*how)(frmQEL&)) {
        prompter.messages.clear();
        how(*window);
        EXPECT_TRUE(settle());
        EXPECT_EQ(column(0), QStringList{QStringLiteral("a.fpl")});
        return prompter.messages.size() == 1 ? prompter.messages[0].text
                                             : QString::number(prompter.messages.size());
    };
    const QString text =
        QStringLiteral("Problem reading QEL list\r22-Line 2 is too long to be a record");
    EXPECT_EQ(
        told([](frmQEL& w) { w.openTab().openList().LoadOpenList(OpenList::Damage::Report); }),
        text);
    EXPECT_EQ(told([](frmQEL& w) { w.openTab().reload(); }), text);
    EXPECT_EQ(told([](frmQEL& w) { w.openTab().openList().tmrFileUpdate_Timer(); }),
              QStringLiteral("0"));
    EXPECT_EQ(told([](frmQEL& w) { w.openTab().openList().LoadOpenList(); }), QStringLiteral("0"));
    EXPECT_EQ(told([](frmQEL& w) { w.openTab().openList().SyncDataFolderEntries(); }),
              QStringLiteral("0"));
    EXPECT_TRUE(app.read(QStringLiteral("QELFileList.txt")).endsWith(longLine));
}

// A companion tool rewriting the list all through the start-up sync: no message, the sync is
// done again on a later refresh tick, and nothing of the tool's is lost.
TEST_F(OpenTab, ASyncThatMeetsABusyListIsDoneOnALaterTick)
{
    app.write(QStringLiteral("data/new.fpl"), "x");
    writeList({{QStringLiteral("fpl"), QStringLiteral("/f/a.fpl"), QStringLiteral("d")}});
    bool busy = true;
    int theirs = 0;
    window->openTab().openList().store().setBeforeReplaceHook([&] {
        if (busy)
            writeList({{QStringLiteral("pli"), QStringLiteral("/f/%1.pli").arg(++theirs),
                        QStringLiteral("d")}});
    });
    window->openTab().openList().SyncDataFolderEntries();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_FALSE(app.read(QStringLiteral("QELFileList.txt")).contains("new.fpl"));

    busy = false;
    tick();
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(column(0),
              (QStringList{QStringLiteral("%1.pli").arg(theirs), QStringLiteral("new.fpl")}));
}

TEST_F(OpenTab, RenameOfTheChosenEntry)
{
    app.write(QStringLiteral("data/plot7.fpl"), "x");
    writeList({{QStringLiteral("pli"), QStringLiteral("/f/b.pli"), QStringLiteral("d1")},
               {QStringLiteral("fpl"), p(QStringLiteral("data/plot7.fpl")), QStringLiteral("d2")}});
    load();
    const auto rename = [&](const QString& key, const QString& answer) {
        list->setSelectedKey(key);
        prompter.inputAnswers.push_back(answer);
        window->openTab().rename();
        ASSERT_TRUE(settle());
    };
    const QString plot7 = p(QStringLiteral("data/plot7.fpl"));

    // Names that would leave the folder or hide the file: refused, nothing renamed.
    rename(plot7, QStringLiteral("../escape"));
    rename(plot7, QStringLiteral(".plot7"));
    ASSERT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(prompter.messages[1].text,
              QStringLiteral("\".plot7\" can not be used as a file name."));
    EXPECT_EQ(QDir(app.file(QStringLiteral("data"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("plot7.fpl")});
    prompter.messages.clear();

    rename(plot7, QStringLiteral("ridge"));
    EXPECT_EQ(prompter.messages.size(), 0);
    EXPECT_TRUE(app.exists(QStringLiteral("data/ridge.FPL")));
    EXPECT_EQ(
        window->openTab().openList().store().read().records,
        (QList<FileListRecord>{
            {QStringLiteral("pli"), QStringLiteral("/f/b.pli"), QStringLiteral("d1")},
            {QStringLiteral("fpl"), p(QStringLiteral("data/ridge.FPL")), QStringLiteral("d2")}}));
    EXPECT_EQ(list->selectedKey(), p(QStringLiteral("data/ridge.FPL"))); // it follows the name

    // An entry whose file has gone: the message, then only its entry goes.
    rename(QStringLiteral("/f/b.pli"), QStringLiteral("c"));
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("File does not exists, removing entry"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(window->openTab().openList().store().read().records.size(), 1);
}

} // namespace
