#include "ui/ImageList.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

QStringList texts(const QelListView& l, int column = 0)
{
    QStringList r;
    for (int i = 0; i < l.count(); ++i)
        r << (column == 0 ? l.text(i) : l.subItem(i, column));
    return r;
}

struct ListFixture : ::testing::Test {
    QelListView list{1};
    ImageList large, small;
    void SetUp() override
    {
        list.addColumn(QStringLiteral("Name"), 1500);
        list.addColumn(QStringLiteral("Date"), 2000);
        list.addColumn(QStringLiteral("Code"), 0);
        fillListIcons(large, small);
        list.setLargeImageList(&large);
        list.setSmallImageList(&small);
    }
    void add(const char* text, const char* date, const char* code)
    {
        const int row =
            list.addEntry(QString::fromUtf8(text), QStringLiteral("Prv"), QStringLiteral("PRV"));
        list.setSubItem(row, 1, QString::fromUtf8(date));
        list.setSubItem(row, 2, QString::fromUtf8(code));
    }
};

TEST_F(ListFixture, ZeroWidthColumnHoldsSubItemsButNeverShows)
{
    add("a.fpl", "1/2/2026", "fpl");
    EXPECT_FALSE(list.isColumnShown(2));
    EXPECT_TRUE(list.isColumnShown(1));
    EXPECT_EQ(list.subItem(0, 2), QStringLiteral("fpl"));
    EXPECT_EQ(list.subItem(0, 7), QString()); // never set
    list.setHeadersVisible(false);
    EXPECT_TRUE(list.reportView()->isHeaderHidden());
    list.setHeadersVisible(true);
    EXPECT_FALSE(list.reportView()->isHeaderHidden());
}

TEST_F(ListFixture, SortsByColumnTextIgnoringCaseBothWays)
{
    add("beta.fpl", "3", "x");
    add("Alpha.fpl", "1", "y");
    add("alpha2.fpl", "2", "z");
    list.setSortKey(0);
    list.setSortOrder(Qt::AscendingOrder);
    list.setSorted(true);
    EXPECT_EQ(texts(list), (QStringList{QStringLiteral("Alpha.fpl"), QStringLiteral("alpha2.fpl"),
                                        QStringLiteral("beta.fpl")}));
    // Sub-items travel with their entry.
    EXPECT_EQ(texts(list, 1),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    list.setSortOrder(Qt::DescendingOrder);
    EXPECT_EQ(texts(list, 0).first(), QStringLiteral("beta.fpl"));
    list.setSortKey(2);
    EXPECT_EQ(texts(list, 2),
              (QStringList{QStringLiteral("z"), QStringLiteral("y"), QStringLiteral("x")}));
    // A new entry goes to its sorted place at once.
    list.setSortKey(0);
    list.setSortOrder(Qt::AscendingOrder);
    add("Aardvark.fpl", "0", "w");
    EXPECT_EQ(list.text(0), QStringLiteral("Aardvark.fpl"));
    EXPECT_EQ(list.subItem(0, 2), QStringLiteral("w"));
}

TEST_F(ListFixture, SelectionFollowsItsEntryThroughASort)
{
    add("c", "", "");
    add("a", "", "");
    add("b", "", "");
    list.setSelectedRow(0); // "c"
    list.setSorted(true);
    EXPECT_EQ(list.text(list.selectedRow()), QStringLiteral("c"));
    list.clear();
    EXPECT_EQ(list.selectedRow(), -1);
}

TEST_F(ListFixture, FillSortsOnceAtTheEnd)
{
    list.setSorted(true);
    list.beginFill();
    for (int i = 999; i >= 0; --i) {
        const int row = list.addEntry(QStringLiteral("f%1").arg(i, 4, 10, QLatin1Char('0')));
        EXPECT_EQ(row, 999 - i); // appended while filling, not placed
        list.setSubItem(row, 1, QString::number(i));
    }
    list.endFill();
    EXPECT_EQ(list.text(0), QStringLiteral("f0000"));
    EXPECT_EQ(list.subItem(0, 1), QStringLiteral("0"));
    EXPECT_EQ(list.text(999), QStringLiteral("f0999"));
}

TEST_F(ListFixture, IconViewShowsLargeIconsAndWrapsLabels)
{
    add("New Photo Series Inventory", "", "");
    list.setLabelWrap(true);
    list.setViewMode(QelListView::ViewMode::Icon);
    EXPECT_TRUE(list.iconView()->isVisibleTo(&list));
    EXPECT_FALSE(list.reportView()->isVisibleTo(&list));
    EXPECT_EQ(list.iconView()->viewMode(), QListView::IconMode);
    EXPECT_TRUE(list.iconView()->wordWrap());
    const QVariant icon = list.iconView()->model()->index(0, 0).data(Qt::DecorationRole);
    EXPECT_TRUE(icon.isValid());
    list.setViewMode(QelListView::ViewMode::Report);
    EXPECT_EQ(list.reportView()->model()->index(0, 0).data(Qt::DecorationRole).isValid(), true);
    // An unknown key shows no icon rather than failing.
    list.setIcons(0, QStringLiteral("Nope"), QStringLiteral("Nope"));
    EXPECT_FALSE(list.reportView()->model()->index(0, 0).data(Qt::DecorationRole).isValid());
}

TEST_F(ListFixture, DoubleClickEnterAndHeaderClickCarryTheListIndex)
{
    add("a", "", "");
    list.show();
    QSignalSpy dbl(&list, &QelListView::dblClick);
    QSignalSpy col(&list, &QelListView::columnClick);

    // Enter with nothing selected does nothing.
    QTest::keyClick(list.reportView(), Qt::Key_Return);
    EXPECT_EQ(dbl.count(), 0);
    list.setSelectedRow(0);
    QTest::keyClick(list.reportView(), Qt::Key_Return);
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl[0][0].toInt(), 1);

    list.setViewMode(QelListView::ViewMode::Icon);
    QTest::keyClick(list.iconView(), Qt::Key_Enter);
    EXPECT_EQ(dbl.count(), 2);

    list.setViewMode(QelListView::ViewMode::Report);
    QHeaderView* header = list.reportView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    ASSERT_EQ(col.count(), 1);
    EXPECT_EQ(col[0][0].toInt(), 1);
    EXPECT_EQ(col[0][1].toInt(), 2);
}

} // namespace

namespace {

TEST_F(ListFixture, FilterNarrowsByTextOrChosenColumnsAndOutlivesAReload)
{
    add("Plot7.fpl", "1/2/2026", "fpl");
    add("ridge.pli", "1/3/2026", "pli");
    add("North.phs", "1/4/2026", "phs");
    list.setSelectedRow(1); // ridge.pli
    list.setFilter(QStringLiteral("PLOT"));
    QStringList shown;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isRowShown(i))
            shown << list.text(i);
    }
    EXPECT_EQ(shown, QStringList{QStringLiteral("Plot7.fpl")});
    EXPECT_EQ(list.selectedRow(), -1); // a hidden entry is never the one commands act on

    list.setFilter(QStringLiteral("pli"), {2});
    list.clear();
    list.beginFill();
    add("a.fpl", "d", "fpl");
    add("b.fpl", "d", "pli");
    list.endFill();
    EXPECT_FALSE(list.isRowShown(0));
    EXPECT_TRUE(list.isRowShown(1));
    list.setFilter(QString());
    EXPECT_TRUE(list.isRowShown(0));
}

TEST_F(ListFixture, ZeroWidthColumnsAreNoColumnsOfTheViewsYetKeepTheirSubItems)
{
    add("a.fpl", "1/2/2026", "fpl");
    const QAbstractItemModel* model = list.reportView()->model();
    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date"));
    EXPECT_EQ(list.subItem(0, 2), QStringLiteral("fpl"));
    QSignalSpy clicks(&list, &QelListView::columnClick);
    list.reportView()->header()->sectionClicked(1);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][1].toInt(), 2); // 1-based position of "Date"
}

// A screen reader reads every column of a view's model as an item of its own: the icon view's
// model holds the names only. Both views keep one selection, through a sort as well.
TEST_F(ListFixture, IconViewHoldsTheNamesOnlyAndSharesTheSelection)
{
    add("b.fpl", "1/3/2026", "fpl");
    add("a.fpl", "1/2/2026", "fpl");
    QListView* icons = list.iconView();
    ASSERT_EQ(icons->model()->columnCount(), 1);
    ASSERT_EQ(icons->model()->rowCount(), 2);
    EXPECT_EQ(icons->model()->index(1, 0).data().toString(), QStringLiteral("a.fpl"));

    list.setSelectedRow(1);
    EXPECT_EQ(icons->currentIndex().row(), 1);
    EXPECT_EQ(icons->selectionModel()->selectedIndexes().size(), 1);

    list.setViewMode(QelListView::ViewMode::Icon);
    list.resize(400, 300);
    list.show();
    const QRect first = icons->visualRect(icons->model()->index(0, 0));
    QTest::mouseClick(icons->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(list.selectedRow(), 0);

    list.setSorted(true); // a.fpl first: the selection goes with b.fpl
    EXPECT_EQ(list.selectedRow(), 1);
    EXPECT_EQ(icons->currentIndex().row(), 1);
    EXPECT_TRUE(icons->selectionModel()->isRowSelected(1, {}));
}

TEST_F(ListFixture, MissingEntriesAreGreyedWithANote)
{
    add("a.fpl", "d", "fpl");
    list.setMissingNote(0, QStringLiteral("missing"));
    const QModelIndex i = list.reportView()->model()->index(0, 0);
    EXPECT_EQ(i.data(Qt::ToolTipRole).toString(), QStringLiteral("missing"));
    EXPECT_TRUE(i.data(Qt::ForegroundRole).isValid());
    list.setMissingNote(0, QString());
    EXPECT_FALSE(i.data(Qt::ForegroundRole).isValid());
}

} // namespace
