// What the "Open" tab shows of each command's outcome, and when its refresh reads the list: the
// decisions the tab only carries out.
#include "commands/OpenRefresh.h"
#include "commands/OpenReplies.h"

#include <gtest/gtest.h>

namespace {

using openedits::Outcome;
using openedits::Result;
using openreply::Reply;

const OpenEntry kEntry{
    QStringLiteral("fpl"), QStringLiteral("/d/"), QStringLiteral("a.fpl"), QStringLiteral("1"), {}};

Result result(Outcome outcome, bool listing = false, bool partly = false)
{
    Result r;
    r.outcome = outcome;
    r.partly = partly;
    if (listing)
        r.listing = OpenListing();
    return r;
}

Result renamed(const QString& finalName)
{
    Result r = result(Outcome::Done, true);
    r.renamed = openedits::RenamedEntry{kEntry, finalName, QStringLiteral("/d/a.fpl"),
                                        QStringLiteral("/d/") + finalName,
                                        QStringLiteral("/d/") + finalName};
    return r;
}

Result deleted(bool trashed)
{
    Result r = result(Outcome::Done, true);
    if (trashed)
        r.deleted = openedits::DeletedEntry{kEntry, TrashedFile{}, {}};
    return r;
}

// The reply in short: what is told (N notice, C critical, F file failure, with the text),
// and each step the tab takes.
QString summary(const Reply& r)
{
    QStringList s;
    if (!r.told.failure.isEmpty())
        s << QStringLiteral("F:") + r.told.failure;
    else if (!r.told.notice.isEmpty())
        s << (r.told.critical ? QStringLiteral("C:") : QStringLiteral("N:")) + r.told.notice;
    if (r.toldFirst)
        s << QStringLiteral("first");
    if (r.pins)
        s << QStringLiteral("pins ") + r.pins->from + u'>' + r.pins->to +
                 (r.pins->folder ? QStringLiteral("/") : QString());
    if (r.listing)
        s << QStringLiteral("show ") + r.select;
    if (r.undo)
        s << openundo::text(*r.undo);
    if (r.clearUndo)
        s << QStringLiteral("clear");
    if (r.reload)
        s << QStringLiteral("reload");
    if (r.drop)
        s << QStringLiteral("drop");
    if (!r.forGood.isEmpty())
        s << QStringLiteral("ask for good");
    if (!r.locate.isEmpty())
        s << QStringLiteral("ask locate ") + r.browseTag;
    return s.join(QStringLiteral(" | "));
}

TEST(OpenReplies, EachOutcomeIsShownAsTheTabShowsIt)
{
    const QString app = QStringLiteral("/app/");
    const drivefollow::Moved moved{
        QStringLiteral("STICK"), QStringLiteral("/m/old"), QStringLiteral("/m/new"), {}};
    const struct {
        const char* what;
        Reply reply;
        const char* shown;
    } rows[] = {
        {"open, not a full path", openreply::afterOpen(app, kEntry, result(Outcome::NotFullPath)),
         "N:The file can not be opened\r/d/a.fpl is not a full path."},
        {"open, gone", openreply::afterOpen(app, kEntry, result(Outcome::Missing)),
         "drop | ask locate a.fpl"},
        {"rename, gone from the list", openreply::afterRename(kEntry, result(Outcome::Gone)),
         "N:/d/a.fpl is no longer in the list. Nothing was changed. | reload"},
        {"rename, file gone", openreply::afterRename(kEntry, result(Outcome::Missing)),
         "C:File does not exists, removing entry | drop"},
        {"rename, not connected", openreply::afterRename(kEntry, result(Outcome::NotConnected)),
         "N:/d/a.fpl is on a drive that is not connected."},
        {"rename", openreply::afterRename(kEntry, renamed(QStringLiteral("b.fpl"))),
         "pins /d/a.fpl>/d/b.fpl | show /d/b.fpl | Undo Rename of b.fpl"},
        {"rename to the same name",
         openreply::afterRename(kEntry, renamed(QStringLiteral("a.fpl"))),
         "pins /d/a.fpl>/d/a.fpl | show /d/a.fpl"},
        {"rename, list failed", openreply::afterRename(kEntry, result(Outcome::Failed)),
         "F:Problem saving to QEL list"},
        {"delete, drive went", openreply::afterDelete(kEntry, result(Outcome::NotConnected, true)),
         "N:/d/a.fpl is on a drive that is not connected. Connect it to delete the file, or use "
         "Remove from List. | show "},
        {"delete, not answering", openreply::afterDelete(kEntry, result(Outcome::NotAnswering)),
         "N:/d/a.fpl is on a drive that is not answering. Nothing was changed; try again when it "
         "answers."},
        {"delete, trash refused", openreply::afterDelete(kEntry, result(Outcome::TrashRefused)),
         "ask for good"},
        {"delete", openreply::afterDelete(kEntry, deleted(true)), "show  | Undo Delete of a.fpl"},
        {"delete for good", openreply::afterDelete(kEntry, deleted(false)), "show  | clear"},
        {"delete, list failed", openreply::afterDelete(kEntry, result(Outcome::Failed)),
         "F:Problem saving to QEL list, A.FPL was not deleted"},
        {"delete for good, file stayed",
         openreply::afterDelete(kEntry, result(Outcome::Failed, true, true)),
         "F:A.FPL was removed from the list, but the file could not be deleted | show  | clear"},
        {"remove, gone", openreply::afterRemove(kEntry, result(Outcome::Gone, true)),
         "N:/d/a.fpl is no longer in the list. Nothing was changed. | first | show "},
        {"remove", openreply::afterRemove(kEntry, deleted(true)), "show  | Undo Remove of a.fpl"},
        {"clean up, nothing left", openreply::afterCleanUp(result(Outcome::Gone, true)), "show "},
        {"follow", openreply::afterFollow(result(Outcome::Done, true), moved),
         "pins /m/old>/m/new/ | show  | Undo Move of STICK"},
        {"follow, list failed", openreply::afterFollow(result(Outcome::Failed), moved),
         "F:Problem saving to QEL list"},
        {"undo of a rename",
         openreply::afterUndo(
             {result(Outcome::Done, true),
              moved,
              QStringLiteral("/d/a.fpl"),
              openundo::PinMove{QStringLiteral("/d/b.fpl"), QStringLiteral("/d/a.fpl"), false},
              {}}),
         "pins /d/b.fpl>/d/a.fpl | show /d/a.fpl"},
        {"undo that changed nothing",
         openreply::afterUndo({result(Outcome::Taken), moved, {}, {}, {}}), "reload"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(summary(row.reply), QString::fromLatin1(row.shown)) << row.what;
}

// The refresh timer never joins a read under way or a list still being laid out; a sync that
// meets a busy list is tried again on the ticks after, and its failure is shown only once
// another program has kept the list busy for kSyncTicks of them.
TEST(OpenRefresh, ReadsAndSyncsFollowTheTicks)
{
    using Tick = OpenRefresh::Tick;
    OpenRefresh refresh;
    EXPECT_EQ(refresh.tick(true), Tick::Nothing);
    EXPECT_EQ(refresh.tick(false), Tick::Read);
    refresh.readPosted();
    EXPECT_EQ(refresh.tick(false), Tick::Nothing);
    RecentFileList::Refreshed read;
    EXPECT_FALSE(refresh.readAnswered(read)); // unchanged: nothing shown
    read.read = true;
    read.identity.exists = true;
    refresh.readPosted();
    EXPECT_TRUE(refresh.readAnswered(read));
    EXPECT_EQ(refresh.readPosted(), read.identity); // the next read compares with it
    refresh.readAnswered({});

    RecentFileList::Synced busy{FileResult::failure(EBUSY, QStringLiteral("busy")), {}, {}, {}};
    busy.sync.busy = true;
    for (int i = 0; i < OpenRefresh::kSyncTicks; ++i) {
        refresh.syncPosted();
        EXPECT_EQ(refresh.tick(false), Tick::Nothing);
        ASSERT_EQ(refresh.syncAnswered(busy), OpenRefresh::Synced::Later);
        ASSERT_EQ(refresh.tick(false), Tick::Sync);
    }
    refresh.syncPosted();
    EXPECT_EQ(refresh.syncAnswered(busy), OpenRefresh::Synced::Failed);
    EXPECT_EQ(refresh.tick(false), Tick::Read);
    // A sync that wrote the list shows it, and the timer takes its version as seen; one that
    // kept the list reads it again only when it is not the version shown.
    RecentFileList::Synced wrote{};
    wrote.version = {true, 1, 2, 7, 9, 9};
    refresh.syncPosted();
    EXPECT_EQ(refresh.syncAnswered(wrote), OpenRefresh::Synced::Show);
    EXPECT_EQ(refresh.LastListFileTime, wrote.version);
    RecentFileList::Synced kept{};
    kept.kept = wrote.version;
    refresh.syncPosted();
    EXPECT_EQ(refresh.syncAnswered(kept), OpenRefresh::Synced::Nothing);
    kept.kept.size = 8;
    refresh.syncPosted();
    EXPECT_EQ(refresh.syncAnswered(kept), OpenRefresh::Synced::Reload);
}

} // namespace
