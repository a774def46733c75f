// The "Open" tab's commands on the files they change, each step failing in turn: nothing lost,
// nothing half done, and what the user is told.
#include "commands/OpenEdits.h"
#include "lists/ListFile.h"
#include "support/CommandRig.h"
#include "support/Settle.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cerrno>
#include <sys/stat.h>

namespace {

using openedits::Outcome;

// The file system, except that a deletion or a rename fails when asked to (`beforeChange` runs
// as either begins), and a drive's server may have gone away.
struct FailingChanges : LocalFileSystem {
    bool failRemove = false;
    bool failRename = false;
    bool serverGone = false;
    std::function<void()> beforeChange;
    FileResult remove(const QString& path) override
    {
        if (beforeChange)
            beforeChange();
        return failRemove ? FileResult::fromErrno(EBUSY) : LocalFileSystem::remove(path);
    }
    FileResult rename(const QString& from, const QString& to) override
    {
        if (beforeChange)
            beforeChange();
        return failRename ? FileResult::fromErrno(EIO) : LocalFileSystem::rename(from, to);
    }
    Presence presence(const QString& path) override
    {
        return serverGone ? Presence::NotAnswering : LocalFileSystem::presence(path);
    }
};

// A trash whose drive is pulled out as it is asked to take the file.
struct PulledStickTrash : FakeTrash {
    std::function<void()> pull;
    FileResult moveToTrash(const QString&, TrashedFile*) override
    {
        pull();
        return FileResult::fromErrno(EIO);
    }
};

// An application folder whose list holds two records of a data file among others.
struct Folder {
    TempAppFolder app;
    CommandRig rig;
    FailingChanges files;
    PulledStickTrash pulledStick;
    openedits::Seams seams = rig.seams(app.path());
    QString plot = app.file(QStringLiteral("data/plot.fpl"));
    QByteArray before; // the list as written

    Folder()
    {
        seams.files = &files;
        app.write(QStringLiteral("data/plot.fpl"), "plot");
        // Two records of the plot among others, one line that is no record, no line end last.
        before = records::encode(
                     {QStringLiteral("pli"), QStringLiteral("/x/a.pli"), QStringLiteral("1")}) +
                 records::encode({QStringLiteral("fpl"), plot, QStringLiteral("2")}) +
                 "not a record\r\n" +
                 records::encode({QStringLiteral("fpl"), plot, QStringLiteral("3")}) +
                 "\"crn\",\"/x/b.crn\",\"4\"";
        app.write(QStringLiteral("QELFileList.txt"), before);
    }
    QByteArray list() const { return app.read(QStringLiteral("QELFileList.txt")); }
    QString listPath() const { return app.file(QStringLiteral("QELFileList.txt")); }
    bool plotThere() const { return app.read(QStringLiteral("data/plot.fpl")) == "plot"; }
    void makeListReadOnly() const { ::chmod(listPath().toLocal8Bit().constData(), 0444); }
    void pullStick() { rig.drives.setNotConnected(app.file(QStringLiteral("data"))); }
    // The list turns into something that cannot be read, as a drive going away does.
    void breakList() const
    {
        QFile::rename(listPath(), app.file(QStringLiteral("list.aside")));
        QDir().mkdir(listPath());
    }
    openedits::Result remove(openedits::Removal how = openedits::Removal::ToTrash)
    {
        return openedits::DeleteFileEntry(seams, entryOf(plot), how, rig.waiting);
    }
};

struct OpenEdits : ::testing::Test, Folder {};

TEST_F(OpenEdits, EachStepOfADeleteThatFailsLeavesTheFileAndTheListAsTheyWere)
{
    struct Case {
        const char* what;
        std::function<void(Folder&)> fault;
        Outcome outcome;
        openedits::Removal how = openedits::Removal::ToTrash;
    };
    const Case cases[] = {
        {"the list cannot be read", [](Folder& t) { t.breakList(); }, Outcome::Failed},
        {"the entry has left the list",
         [](Folder& t) {
             t.before = records::encode(
                 {QStringLiteral("pli"), QStringLiteral("/x/a.pli"), QStringLiteral("1")});
             t.app.write(QStringLiteral("QELFileList.txt"), t.before);
         },
         Outcome::Gone},
        {"the drive is not connected",
         [](Folder& t) { t.rig.drives.setNotConnected(t.app.file(QStringLiteral("data"))); },
         Outcome::NotConnected},
        {"the drive's server has gone away", [](Folder& t) { t.files.serverGone = true; },
         Outcome::NotAnswering},
        {"the trash refuses the file",
         [](Folder& t) { t.rig.trash.failTrashWith(FileResult::fromErrno(EROFS)); },
         Outcome::TrashRefused},
        {"the list cannot take the change after the trash took the file",
         [](Folder& t) { t.makeListReadOnly(); }, Outcome::Failed},
        // Never the question whether to delete it for good, about a drive that is not there.
        {"the drive goes as the trash is asked",
         [](Folder& t) {
             t.pulledStick.pull = [&t] { t.pullStick(); };
             t.seams.trash = &t.pulledStick;
         },
         Outcome::NotConnected},
        {"the drive goes as the file is deleted for good, after its records",
         [](Folder& t) {
             t.files.failRemove = true;
             t.files.beforeChange = [&t] { t.pullStick(); };
         },
         Outcome::NotConnected, openedits::Removal::ForGood},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder t;
        c.fault(t);
        const openedits::Result r = t.remove(c.how);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(r.partly);
        EXPECT_TRUE(t.plotThere());
        if (QFileInfo(t.listPath()).isFile()) {
            EXPECT_EQ(t.list(), t.before);
        }
        EXPECT_FALSE(t.app.exists(QStringLiteral("qellist.tmp")));
    }
}

TEST_F(OpenEdits, ADeleteTakesTheFileToTheTrashAndItsRecordsOffAndUndoPutsBothBack)
{
    const openedits::Result r = remove();
    ASSERT_EQ(r.outcome, Outcome::Done);
    EXPECT_FALSE(app.exists(QStringLiteral("data/plot.fpl")));
    EXPECT_FALSE(list().contains(plot.toUtf8()));
    ASSERT_TRUE(r.listing && r.deleted && r.deleted->trashed);
    EXPECT_EQ(r.listing->size(), 2u); // shown from what was written
    EXPECT_EQ(r.deleted->records.size(), 2);

    const openedits::Result undone = openedits::undoDelete(seams, *r.deleted, rig.waiting);
    ASSERT_EQ(undone.outcome, Outcome::Done);
    EXPECT_TRUE(plotThere());
    EXPECT_EQ(list(), before); // byte for byte, in their places
}

TEST_F(OpenEdits, AnUndoOfADeleteThatCannotGoThroughChangesNothing)
{
    struct Case {
        const char* what;
        std::function<void(Folder&)> fault;
        Outcome outcome;
        bool fileBack;    // the file is at its place afterwards
        bool canTryAgain; // the answer holds a step to try again with
    };
    const Case cases[] = {
        {"a file stands at the path",
         [](Folder& t) { t.app.write(QStringLiteral("data/plot.fpl"), "new"); }, Outcome::Taken,
         false, false},
        {"the list lists the path again",
         [](Folder& t) {
             t.app.write(QStringLiteral("QELFileList.txt"),
                         records::encode({QStringLiteral("fpl"), t.plot, QStringLiteral("9")}));
         },
         Outcome::Taken, false, false},
        {"the trash no longer holds the file",
         [](Folder& t) { t.rig.trash.failRestoreWith(FileResult::fromErrno(ENOENT)); },
         Outcome::NotInTrash, false, false},
        {"the trash cannot give it back",
         [](Folder& t) { t.rig.trash.failRestoreWith(FileResult::fromErrno(EIO)); },
         Outcome::Failed, false, false},
        {"the list cannot take the records back: the file goes back to the trash",
         [](Folder& t) { t.makeListReadOnly(); }, Outcome::Failed, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder t;
        const openedits::Result deleted = t.remove();
        ASSERT_EQ(deleted.outcome, Outcome::Done);
        c.fault(t);
        const QByteArray listBefore = t.list();
        const bool otherFile = t.app.exists(QStringLiteral("data/plot.fpl"));
        const openedits::Result r = openedits::undoDelete(t.seams, *deleted.deleted, t.rig.waiting);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(r.partly);
        EXPECT_EQ(t.plotThere(), c.fileBack);
        if (otherFile) {
            EXPECT_EQ(t.app.read(QStringLiteral("data/plot.fpl")), QByteArray("new"));
        }
        EXPECT_EQ(t.list(), listBefore);
        EXPECT_EQ(r.deleted.has_value(), c.canTryAgain);
    }
}

// The file came back, but neither the list nor the trash will take it: it stays, and the user is
// told it is back unlisted.
TEST_F(OpenEdits, AFileBackWithoutItsRecordsIsToldAsSuch)
{
    const openedits::Result deleted = remove();
    makeListReadOnly();
    rig.trash.failTrashWith(FileResult::fromErrno(EROFS));
    const openedits::Result r = openedits::undoDelete(seams, *deleted.deleted, rig.waiting);
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_TRUE(r.partly);
    EXPECT_TRUE(plotThere());
}

TEST_F(OpenEdits, ADeleteForGoodTakesTheRecordsFirstAndSaysWhenTheFileStays)
{
    files.failRemove = true;
    openedits::Result r = remove(openedits::Removal::ForGood);
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_TRUE(r.partly);
    EXPECT_TRUE(plotThere());
    EXPECT_FALSE(list().contains(plot.toUtf8()));

    files.failRemove = false;
    app.write(QStringLiteral("QELFileList.txt"), before);
    r = remove(openedits::Removal::ForGood);
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_FALSE(r.deleted); // nothing to undo
    EXPECT_FALSE(app.exists(QStringLiteral("data/plot.fpl")));
    EXPECT_TRUE(rig.trash.trashed().isEmpty());
}

TEST_F(OpenEdits, ARenameThatCannotGoThroughLeavesTheFileAndTheListAsTheyWere)
{
    struct Case {
        const char* what;
        QString finalName;
        std::function<void(Folder&)> fault;
        Outcome outcome;
    };
    const Case cases[] = {
        {"a file of the new name", QStringLiteral("taken.fpl"),
         [](Folder& t) { t.app.write(QStringLiteral("data/taken.fpl"), "other"); },
         Outcome::Failed},
        {"a name the list cannot hold", QStringLiteral("say \"hi\".fpl"), {}, Outcome::Failed},
        {"the list goes away after the file was renamed", QStringLiteral("ridge.fpl"),
         [](Folder& t) { t.seams.store.file().beforeRead = [&t] { t.breakList(); }; },
         Outcome::Failed},
        {"a read-only list", QStringLiteral("ridge.fpl"), [](Folder& t) { t.makeListReadOnly(); },
         Outcome::Failed},
        {"the drive is not connected", QStringLiteral("ridge.fpl"),
         [](Folder& t) { t.rig.drives.setNotConnected(t.app.file(QStringLiteral("data"))); },
         Outcome::NotConnected},
        {"the drive's server has gone away", QStringLiteral("ridge.fpl"),
         [](Folder& t) { t.files.serverGone = true; }, Outcome::NotAnswering},
        {"the file has gone", QStringLiteral("ridge.fpl"),
         [](Folder& t) { QFile::rename(t.plot, t.plot + QStringLiteral(".aside")); },
         Outcome::Missing},
        {"the drive goes as the file is renamed", QStringLiteral("ridge.fpl"),
         [](Folder& t) {
             t.files.failRename = true;
             t.files.beforeChange = [&t] { t.pullStick(); };
         },
         Outcome::NotConnected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder t;
        if (c.fault)
            c.fault(t);
        const openedits::Result r =
            openedits::RenameFileEntry(t.seams, entryOf(t.plot), c.finalName, t.rig.waiting);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_FALSE(t.app.exists(QStringLiteral("data/ridge.fpl")));
        if (QFileInfo(t.listPath()).isDir()) {
            QDir().rmdir(t.listPath());
            QFile::rename(t.app.file(QStringLiteral("list.aside")), t.listPath());
        }
        if (c.outcome != Outcome::Missing) {
            EXPECT_TRUE(t.plotThere());
        }
        EXPECT_EQ(t.list(), t.before);
    }
}

TEST_F(OpenEdits, ARenameMovesFileAndRecordsTogetherAndUndoTakesBothBack)
{
    openedits::Result r =
        openedits::RenameFileEntry(seams, entryOf(plot), QStringLiteral("ridge.FPL"), rig.waiting);
    ASSERT_EQ(r.outcome, Outcome::Done);
    const QString ridge = app.file(QStringLiteral("data/ridge.FPL"));
    EXPECT_EQ(app.read(QStringLiteral("data/ridge.FPL")), QByteArray("plot"));
    QByteArray expected = before;
    expected.replace(plot.toUtf8(), ridge.toUtf8()); // both records, dates and places kept
    EXPECT_EQ(list(), expected);
    ASSERT_TRUE(r.renamed);
    const openedits::RenamedEntry step = *r.renamed;
    EXPECT_EQ(step.newPath, ridge);

    // Undo, refused while something stands at the old name.
    app.write(QStringLiteral("data/plot.fpl"), "new");
    EXPECT_EQ(openedits::undoRename(seams, step, rig.waiting).outcome, Outcome::Taken);
    QFile::remove(plot);
    EXPECT_EQ(openedits::undoRename(seams, step, rig.waiting).outcome, Outcome::Done);
    EXPECT_TRUE(plotThere());
    EXPECT_EQ(list(), before);
    EXPECT_EQ(openedits::undoRename(seams, step, rig.waiting).outcome, Outcome::Gone);
}

TEST_F(OpenEdits, RemoveFromListLeavesTheFileAndUndoPutsTheRecordsBackByteForByte)
{
    const openedits::Result r = openedits::removeFromList(seams, entryOf(plot));
    ASSERT_EQ(r.outcome, Outcome::Done);
    EXPECT_TRUE(plotThere());
    EXPECT_FALSE(list().contains(plot.toUtf8()));
    EXPECT_EQ(openedits::removeFromList(seams, entryOf(plot)).outcome, Outcome::Gone);
    EXPECT_EQ(openedits::undoDelete(seams, *r.deleted, rig.waiting).outcome, Outcome::Done);
    EXPECT_EQ(list(), before);
}

TEST_F(OpenEdits, OpenOnADriveWhoseServerHasGoneIsNotAMissingFile)
{
    EXPECT_EQ(openedits::checkForOpen(seams, entryOf(plot), rig.waiting).outcome, Outcome::Done);
    files.serverGone = true;
    EXPECT_EQ(openedits::checkForOpen(seams, entryOf(plot), rig.waiting).outcome,
              Outcome::NotAnswering);
}

// Clean Up Missing takes every record of the entries it is given in one change, both of a path
// listed twice, never a file, and its Undo puts each back at its line.
TEST_F(OpenEdits, CleanUpMissingTakesOnlyRecordsAndUndoPutsEachBackAtItsLine)
{
    const OpenEntry gone = entryOf(QStringLiteral("/x/b.crn"));
    const openedits::Result r = openedits::cleanUpMissing(
        seams, {entryOf(plot), gone, entryOf(QStringLiteral("relative/c.fpl"))});
    ASSERT_EQ(r.outcome, Outcome::Done);
    ASSERT_TRUE(r.cleaned);
    EXPECT_EQ(r.cleaned->records.size(), 3);
    EXPECT_TRUE(plotThere());
    EXPECT_EQ(list(), records::encode({QStringLiteral("pli"), QStringLiteral("/x/a.pli"),
                                       QStringLiteral("1")}) +
                          "not a record\r\n");
    EXPECT_EQ(openedits::cleanUpMissing(seams, {gone}).outcome, Outcome::Gone);
    ASSERT_EQ(openedits::undoCleanUp(seams, *r.cleaned).outcome, Outcome::Done);
    EXPECT_EQ(list(), before);
    makeListReadOnly();
    const openedits::Result refused = openedits::cleanUpMissing(seams, {entryOf(plot)});
    EXPECT_EQ(refused.outcome, Outcome::Failed);
    EXPECT_EQ(list(), before);
}

// A command reads the list file at most twice: once to look, once in its rewrite, which hands
// on what it wrote for the list to show.
TEST_F(OpenEdits, ACommandReadsTheListAtMostTwice)
{
    int reads = 0;
    setListReadObserver([&reads](const QString&) { ++reads; });
    ASSERT_EQ(remove().outcome, Outcome::Done);
    EXPECT_EQ(reads, 2);
    app.write(QStringLiteral("data/plot.fpl"), "plot");
    app.write(QStringLiteral("QELFileList.txt"), before);
    reads = 0;
    ASSERT_EQ(openedits::RenameFileEntry(seams, entryOf(plot), QStringLiteral("r.fpl"), rig.waiting)
                  .outcome,
              Outcome::Done);
    EXPECT_EQ(reads, 2);
    setListReadObserver({});
}

// A line another program wrote in Windows-1252 names a file by those bytes: the entry shows the
// decoded name, and its commands reach the file that is there.
TEST_F(OpenEdits, AFileNamedInOtherBytesIsOpenedRenamedAndDeleted)
{
    const QByteArray rawName = "Caf\xe9 \x93plot\x94.fpl";
    const QByteArray raw = QFile::encodeName(app.file(QStringLiteral("data/"))) + rawName;
    FILE* out = std::fopen(raw.constData(), "w");
    ASSERT_TRUE(out);
    std::fclose(out);
    app.write(QStringLiteral("QELFileList.txt"), "\"fpl\",\"" + raw + "\",\"d\"\r\n");
    const OpenListing listing = openListingOf(list());
    ASSERT_EQ(listing.size(), 1u);
    const OpenEntry entry = listing.at(0);
    EXPECT_EQ(entry.name, QStringLiteral("Caf\u00e9 \u201cplot\u201d.fpl"));

    EXPECT_EQ(openedits::checkForOpen(seams, entry, rig.waiting).outcome, Outcome::Done);
    const openedits::Result renamed =
        openedits::RenameFileEntry(seams, entry, QStringLiteral("ridge.fpl"), rig.waiting);
    ASSERT_EQ(renamed.outcome, Outcome::Done);
    EXPECT_TRUE(app.exists(QStringLiteral("data/ridge.fpl")));
    EXPECT_EQ(list(), "\"fpl\",\"" + QFile::encodeName(app.file(QStringLiteral("data/ridge.fpl"))) +
                          "\",\"d\"\r\n");
    const openedits::Result undone = openedits::undoRename(seams, *renamed.renamed, rig.waiting);
    ASSERT_EQ(undone.outcome, Outcome::Done);
    struct stat st {};
    EXPECT_EQ(::stat(raw.constData(), &st), 0); // back under its own bytes
    EXPECT_EQ(list(), "\"fpl\",\"" + raw + "\",\"d\"\r\n");

    ASSERT_EQ(remove().outcome, Outcome::Gone); // not this entry
    const openedits::Result deleted = openedits::DeleteFileEntry(
        seams, openListingOf(list()).at(0), openedits::Removal::ToTrash, rig.waiting);
    ASSERT_EQ(deleted.outcome, Outcome::Done);
    EXPECT_NE(::stat(raw.constData(), &st), 0);
    ASSERT_EQ(rig.trash.trashed().size(), 1);
}

} // namespace
