// The "Web" tab's commands on the web-link list: a link that has left the list changes nothing,
// and Undo never doubles a link of the old name.
#include "commands/WebEdits.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

namespace {

using webedits::Outcome;

struct WebEdits : ::testing::Test {
    TempAppFolder app;
    WebLinkList store{app.path()};
    const WebLinkRecord lab{QStringLiteral("Fire Lab"), QStringLiteral("http://lab")};
    QByteArray before;

    void SetUp() override
    {
        before = records::encode({lab.name, lab.url}) + "stray line\r\n" +
                 records::encode({QStringLiteral("Maps"), QStringLiteral("http://maps")});
        app.write(QStringLiteral("QELWebList.txt"), before);
    }
    QByteArray file() const { return app.read(QStringLiteral("QELWebList.txt")); }
};

TEST_F(WebEdits, ALinkThatHasLeftTheListOrCannotBeStoredChangesNothing)
{
    const WebLinkRecord gone{QStringLiteral("Gone"), QStringLiteral("http://gone")};
    EXPECT_EQ(webedits::RewriteWebList(store, gone, QStringLiteral("X"), {}, {}).outcome,
              Outcome::Gone);
    EXPECT_EQ(webedits::RemoveWebLink(store, gone.name).outcome, Outcome::Gone);
    const webedits::Result refused =
        webedits::AppendWebLink(store, {QStringLiteral("say \"hi\""), QStringLiteral("http://")});
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    EXPECT_EQ(refused.refusal, QStringLiteral("A name or address can not contain a double quote "
                                              "(\") or a line break. Nothing was saved."));
    EXPECT_EQ(file(), before);
}

TEST_F(WebEdits, UndoPutsTheLinesBackAndNeverDoublesALinkOfTheOldName)
{
    const webedits::Result removed = webedits::RemoveWebLink(store, lab.name);
    ASSERT_TRUE(removed.deleted && removed.links);
    EXPECT_EQ(removed.links->records.size(), 1); // the list as written, stray line reported
    EXPECT_FALSE(removed.links->result.ok);
    ASSERT_EQ(webedits::AppendWebLink(store, lab).outcome, Outcome::Done);
    EXPECT_EQ(webedits::undoDelete(store, *removed.deleted).outcome, Outcome::Taken);
    ASSERT_TRUE(store.remove(lab.name).ok);
    EXPECT_EQ(webedits::undoDelete(store, *removed.deleted).outcome, Outcome::Done);
    EXPECT_EQ(file(), before);

    const webedits::Result renamed =
        webedits::RewriteWebList(store, lab, QStringLiteral("Lab"), std::nullopt, {});
    ASSERT_TRUE(renamed.renamed);
    EXPECT_EQ(renamed.renamed->after.url, lab.url); // no address typed: the file's stays
    ASSERT_EQ(webedits::AppendWebLink(store, lab).outcome, Outcome::Done);
    EXPECT_EQ(webedits::undoRename(store, *renamed.renamed, {}).outcome, Outcome::Taken);
    ASSERT_TRUE(store.remove(lab.name).ok);
    EXPECT_EQ(webedits::undoRename(store, *renamed.renamed, {}).outcome, Outcome::Done);
    EXPECT_EQ(file(), before);
    EXPECT_EQ(webedits::undoRename(store, *renamed.renamed, {}).outcome, Outcome::Gone);
}

} // namespace
