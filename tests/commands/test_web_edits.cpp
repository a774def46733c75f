// The "Web" tab's commands on the web-link list: a link that has left the list changes nothing,
// Undo never doubles a link of the old name, and each outcome is shown as the command needs.
#include "commands/WebOutcomes.h"
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

// What the window does with each outcome: a refused name keeps the dialog; a change that went
// through closes it and shows the list it left; a failed delete leaves the list on screen.
TEST(WebOutcomes, EachOutcomeTellsClosesReloadsOrShowsAsTheCommandNeeds)
{
    using webedits::Edit;
    const QString gone = webedits::goneText(QStringLiteral("Lab"));
    const QString unsaved = QStringLiteral("Problem saving to QEL list");
    const struct {
        Edit edit;
        Outcome outcome;
        QString notice, failure;
        bool closeDialog, reload, done;
    } table[] = {
        {Edit::Create, Outcome::Refused, QStringLiteral("no"), {}, false, false, false},
        {Edit::Rename, Outcome::Gone, gone, {}, true, true, false},
        {Edit::Delete, Outcome::Gone, gone, {}, false, true, false},
        {Edit::Create, Outcome::Failed, {}, unsaved, false, true, false},
        {Edit::Delete,
         Outcome::Failed,
         {},
         QStringLiteral("The web shortcut was not deleted"),
         false,
         false,
         false},
        {Edit::Rename, Outcome::Done, {}, {}, true, false, true},
        {Edit::Delete, Outcome::Done, {}, {}, false, false, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(int(row.edit) * 100 + int(row.outcome));
        webedits::Result r;
        r.outcome = row.outcome;
        r.refusal = QStringLiteral("no");
        const webedits::Reaction a = webedits::reactionTo(row.edit, r, QStringLiteral("Lab"));
        EXPECT_EQ(a.told.notice, row.notice);
        EXPECT_EQ(a.told.failure, row.failure);
        EXPECT_EQ(std::tuple(a.closeDialog, a.reload, a.done),
                  std::tuple(row.closeDialog, row.reload, row.done));
    }
}

} // namespace
