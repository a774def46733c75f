// A drive is known by what it is: its entries are remembered by its identity, a known drive at
// a new place is offered to them, and their records follow it and come back byte for byte.
#include "commands/DriveFollow.h"
#include "lists/RecordCodec.h"
#include "support/CommandRig.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 6, 1);

DriveIdentity stick(const QString& uuid, const QString& point, const QString& mountId = {})
{
    return {uuid, QStringLiteral("FIELDSTICK"), point, mountId.isEmpty() ? point : mountId};
}

struct DriveFollow : ::testing::Test {
    TempAppFolder app, stateFolder;
    CommandRig rig;
    openedits::Seams seams = rig.seams(app.path());
    HubState state{stateFolder.path()};
    const QString place = QStringLiteral("/media/u/FIELDSTICK");
    const QString newPlace = QStringLiteral("/media/u/FIELDSTICK1");
    QByteArray before;

    DriveFollow()
    {
        // Two records of the stick around a local one, a line that is no record, no end last.
        before = records::encode({QStringLiteral("fpl"), place + QStringLiteral("/plots/a.fpl"),
                                  QStringLiteral("1/5/2026 10:00:00")}) +
                 records::encode({QStringLiteral("pli"), QStringLiteral("/home/u/b.pli"),
                                  QStringLiteral("2")}) +
                 "not a record\r\n" + "\"crn\",\"" + place.toUtf8() + "/c.crn\",\"3\"";
        app.write(QStringLiteral("QELFileList.txt"), before);
    }
    QStringList paths() const
    {
        QStringList p;
        for (const FileListRecord& r : seams.store.read().records)
            p << r.path;
        return p;
    }
    QList<drivefollow::Offer> remember(const QList<DriveIdentity>& mounted, QDate day = kToday)
    {
        FileResult r;
        const auto offers = drivefollow::remember(state, mounted, paths(), day, &r);
        EXPECT_TRUE(r.ok) << r.message(QString()).toStdString();
        return offers;
    }
    QByteArray list() const { return app.read(QStringLiteral("QELFileList.txt")); }
};

TEST_F(DriveFollow, AKnownDriveAtANewPlaceIsOfferedAndItsRecordsFollowAndComeBack)
{
    EXPECT_TRUE(remember({stick(QStringLiteral("1111"), place)}).isEmpty());
    // The stick is pulled out and comes back elsewhere: its two entries are offered to it.
    const auto offers = remember({stick(QStringLiteral("1111"), newPlace)});
    ASSERT_EQ(offers.size(), 1);
    EXPECT_EQ(offers[0].count, 2);
    EXPECT_EQ(drivefollow::followQuestion(offers[0]),
              QStringLiteral("Point the 2 entries on FIELDSTICK to /media/u/FIELDSTICK1?"));
    EXPECT_EQ(list(), before) << "asking changes nothing";
    // Each mount is asked about once in a run, whatever the answer.
    drivefollow::Asked asked;
    EXPECT_EQ(asked.fresh(offers).size(), 1);
    EXPECT_TRUE(asked.fresh(offers).isEmpty());
    EXPECT_EQ(asked.fresh(remember({stick(QStringLiteral("1111"), newPlace, QStringLiteral("2"))}))
                  .size(),
              1);

    std::optional<drivefollow::Moved> moved;
    const openedits::Result r = drivefollow::follow(seams, offers[0], &moved);
    ASSERT_EQ(r.outcome, openedits::Outcome::Done);
    ASSERT_TRUE(moved && r.listing);
    QByteArray expected = before;
    expected.replace("/media/u/FIELDSTICK/", "/media/u/FIELDSTICK1/");
    EXPECT_EQ(list(), expected); // only the paths' first bytes
    EXPECT_EQ(drivefollow::undoText(*moved), QStringLiteral("Undo Move of FIELDSTICK"));
    EXPECT_TRUE(remember({stick(QStringLiteral("1111"), newPlace)}).isEmpty());

    ASSERT_EQ(drivefollow::undoFollow(seams, *moved).outcome, openedits::Outcome::Done);
    EXPECT_EQ(list(), before);
}

TEST_F(DriveFollow, WhatIsOfferedAndWhatIsNot)
{
    struct Case {
        const char* what;
        QList<DriveIdentity> first, then; // mounted when the list is looked at, and later
        int offered;
    };
    const QString other = QStringLiteral("/run/media/u/FIELDSTICK");
    const Case cases[] = {
        {"the same stick at a new place",
         {stick(QStringLiteral("1111"), place)},
         {stick(QStringLiteral("1111"), newPlace)},
         1},
        {"the same stick under another root",
         {stick(QStringLiteral("1111"), place)},
         {stick(QStringLiteral("1111"), other)},
         1},
        {"another stick of the same label",
         {stick(QStringLiteral("1111"), place)},
         {stick(QStringLiteral("2222"), newPlace)},
         0},
        {"the stick back at its place",
         {stick(QStringLiteral("1111"), place)},
         {stick(QStringLiteral("1111"), place, QStringLiteral("second mount"))},
         0},
        {"a stick never seen with entries", {}, {stick(QStringLiteral("1111"), newPlace)}, 0},
        {"a share at a new place",
         {{{}, QStringLiteral("//office/fuels"), place, QStringLiteral("1")}},
         {{{}, QStringLiteral("//office/fuels"), newPlace, QStringLiteral("2")}},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(state.path());
        remember(c.first);
        EXPECT_EQ(remember(c.then).size(), c.offered);
    }
}

// Entries gone from the list are forgotten after 90 days, and a drive with them; the state
// file keeps other features' lines as they are.
TEST_F(DriveFollow, WhatIsGoneFromTheListIsForgottenAfterNinetyDays)
{
    remember({stick(QStringLiteral("1111"), place)});
    stateFolder.write(QStringLiteral("state.txt"),
                      stateFolder.read(QStringLiteral("state.txt")) +
                          "\"pin\",\"/home/u/b.pli\",\"\",\"\",\"2026-01-01\"\r\n");
    app.write(QStringLiteral("QELFileList.txt"),
              records::encode(
                  {QStringLiteral("pli"), QStringLiteral("/home/u/b.pli"), QStringLiteral("2")}));
    remember({}, kToday.addDays(drivefollow::kForgetDays));
    EXPECT_TRUE(stateFolder.read(QStringLiteral("state.txt")).contains("\"entry\""));
    remember({}, kToday.addDays(drivefollow::kForgetDays + 1));
    EXPECT_EQ(stateFolder.read(QStringLiteral("state.txt")),
              QByteArray("\"pin\",\"/home/u/b.pli\",\"\",\"\",\"2026-01-01\"\r\n"));
    EXPECT_FALSE(stateFolder.exists(QStringLiteral("state.tmp")));
}

} // namespace
