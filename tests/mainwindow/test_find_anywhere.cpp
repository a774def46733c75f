// Edit > Find Anywhere as the user types in it: the matches it shows and the entry it opens.
#include "mainwindow/FindAnywhere.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

TEST(FindAnywhere, ShowsMatchesAsTheUserTypesAndOpensTheChosenOneWithTheKeyboard)
{
    std::vector<SearchEntry> entries{
        {Tab::Open, QStringLiteral("Ridge plot.fpl"), QStringLiteral("/data/"),
         QStringLiteral("/data/Ridge plot.fpl")},
        {Tab::Tools,
         QStringLiteral("Plot Pictures"),
         {},
         QStringLiteral("/app/ShortCuts/Plot Pictures.lnk")},
        {Tab::Web,
         QStringLiteral("Fire weather"),
         {},
         QStringLiteral("Fire weather\nhttps://example.org")},
    };
    std::optional<SearchEntry> opened;
    FindAnywhere dialog(
        entries, {}, [&](const SearchEntry& e) { opened = e; }, nullptr);
    dialog.show();

    QTest::keyClicks(dialog.queryBox(), QStringLiteral("PLOT"));
    EXPECT_EQ(dialog.shownNames(),
              (QStringList{QStringLiteral("Plot Pictures"), QStringLiteral("Ridge plot.fpl")}));
    QTest::keyClicks(dialog.queryBox(), QStringLiteral(" wiki"));
    EXPECT_TRUE(dialog.shownNames().isEmpty());
    QTest::keyClick(dialog.queryBox(), Qt::Key_Return); // nothing chosen: nothing opens
    EXPECT_FALSE(opened);

    dialog.queryBox()->setText(QStringLiteral("plot"));
    QTest::keyClick(dialog.queryBox(), Qt::Key_Down); // the second match, from the box
    QTest::keyClick(dialog.queryBox(), Qt::Key_Return);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->tab, Tab::Open);
    EXPECT_EQ(opened->key, QStringLiteral("/data/Ridge plot.fpl"));
    EXPECT_FALSE(dialog.isVisible());
}
