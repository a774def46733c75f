// The user's pins in the hub's own state file: set, renamed, seen and forgotten after 90 days,
// beside the other records of the file, which stay as they are.
#include "lists/Pins.h"

#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

TEST(Pins, KeptBesideOtherStateRenamedWithTheirEntryAndForgottenNinetyDaysAfterItLeft)
{
    TempAppFolder folder;
    HubState state(folder.path());
    const QDate day(2026, 3, 1);
    const QString kind = QStringLiteral("pin-open");
    ASSERT_TRUE(state
                    .update({QStringLiteral("drive")},
                            [](QList<StateRecord>& r) {
                                r.append({QStringLiteral("drive"),
                                          QStringLiteral("uuid:1"),
                                          QStringLiteral("STICK"),
                                          {},
                                          {}});
                            })
                    .ok);
    ASSERT_TRUE(
        pins::set(state, kind, QStringLiteral("/d/a.fpl"), QStringLiteral("a.fpl"), true, day).ok);
    ASSERT_TRUE(
        pins::set(state, kind, QStringLiteral("/d/b.fpl"), QStringLiteral("b.fpl"), true, day).ok);
    ASSERT_TRUE(pins::set(state, QStringLiteral("pin-web"), QStringLiteral("x\thttp://x"),
                          QStringLiteral("x"), true, day)
                    .ok);
    ASSERT_TRUE(
        pins::set(state, kind, QStringLiteral("/d/b.fpl"), QStringLiteral("b.fpl"), false, day).ok);
    EXPECT_EQ(pins::read(state, kind), (QSet<QString>{QStringLiteral("/d/a.fpl")}));

    ASSERT_TRUE(
        pins::rename(state, kind, QStringLiteral("/d/a.fpl"), QStringLiteral("/d/A2.fpl")).ok);
    EXPECT_EQ(pins::read(state, kind), (QSet<QString>{QStringLiteral("/d/A2.fpl")}));

    // Not in the list: kept for 90 days after it was last seen, then forgotten.
    ASSERT_TRUE(pins::seen(state, kind, {}, day.addDays(pins::kKeptDays)).ok);
    EXPECT_EQ(pins::read(state, kind).size(), 1);
    ASSERT_TRUE(pins::seen(state, kind, {}, day.addDays(pins::kKeptDays + 1)).ok);
    EXPECT_TRUE(pins::read(state, kind).isEmpty());
    // The other kinds' records are as they were.
    EXPECT_EQ(pins::read(state, QStringLiteral("pin-web")).size(), 1);
    EXPECT_EQ(state.read().records.first().key, QStringLiteral("uuid:1"));
}
