#include "ui/ImageList.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
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

ListEntry row(const QString& text, const QString& date = {}, const QString& code = {})
{
    ListEntry e;
    e.key = text;
    e.text = text;
    e.subItems = {date, code};
    e.largeIcon = QStringLiteral("Prv");
    e.smallIcon = QStringLiteral("PRV");
    return e;
}

struct ListFixture : ::testing::Test {
    QelListView list{1};
    ImageList large, small;
    std::vector<ListEntry> entries; // what the tab holds
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
        entries.push_back(
            row(QString::fromUtf8(text), QString::fromUtf8(date), QString::fromUtf8(code)));
        list.setEntries(entries);
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

TEST_F(ListFixture, EntriesAreShownInTheListsOrder)
{
    list.setSorted(true);
    for (int i = 999; i >= 0; --i)
        entries.push_back(
            row(QStringLiteral("f%1").arg(i, 4, 10, QLatin1Char('0')), QString::number(i)));
    list.setEntries(entries);
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
    entries[0].smallIcon = QStringLiteral("Nope");
    list.setEntries(entries);
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
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.text(0), QStringLiteral("Plot7.fpl"));
    EXPECT_EQ(list.selectedRow(), -1); // a hidden entry is never the one commands act on

    list.setFilter(QStringLiteral("pli"), {2});
    list.setEntries({row(QStringLiteral("a.fpl"), QStringLiteral("d"), QStringLiteral("fpl")),
                     row(QStringLiteral("b.fpl"), QStringLiteral("d"), QStringLiteral("pli"))});
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.text(0), QStringLiteral("b.fpl"));
    list.setSelectedRow(0);
    list.setFilter(QString());
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.selectedKey(), QStringLiteral("b.fpl")); // kept through the filter
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

TEST_F(ListFixture, NotesGreyAnEntryAndAreToldToScreenReaders)
{
    entries = {row(QStringLiteral("a.fpl")), row(QStringLiteral("b.fpl"))};
    entries[0].description = QStringLiteral("/data/a.fpl");
    list.setEntries(entries);
    list.applyNotes({{QStringLiteral("a.fpl"), Note::Missing}});
    const QModelIndex a = list.reportView()->model()->index(0, 0);
    EXPECT_EQ(a.data(Qt::ToolTipRole).toString(), QStringLiteral("missing"));
    EXPECT_EQ(a.data(Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("/data/a.fpl, missing"));
    EXPECT_TRUE(a.data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(list.reportView()->model()->index(1, 0).data(Qt::ForegroundRole).isValid());
    list.applyNotes({{QStringLiteral("a.fpl"), Note::None}});
    EXPECT_FALSE(a.data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(a.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("/data/a.fpl"));
}

// Another program keeps changing what the list shows: the user's place in it stays.
TEST_F(ListFixture, AReloadKeepsSelectionCurrentEntryAndTopRowByIdentity)
{
    list.setSorted(true);
    for (int i = 0; i < 200; i += 2)
        entries.push_back(row(QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0'))));
    list.setEntries(entries);
    list.resize(300, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QTreeView* view = list.reportView();
    view->scrollTo(view->model()->index(50, 0), QAbstractItemView::PositionAtTop);
    list.setSelectedKey(QStringLiteral("f104"));
    const QString topBefore = list.text(view->indexAt(QPoint(1, 1)).row());

    // Entries come before, after and between; one changes its date in place.
    QSignalSpy changed(view->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(view->model(), &QAbstractItemModel::modelReset);
    for (int i = 1; i < 200; i += 40)
        entries.push_back(row(QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0'))));
    entries[52].subItems[0] = QStringLiteral("changed"); // f104
    list.setEntries(entries);

    EXPECT_EQ(list.selectedKey(), QStringLiteral("f104"));
    EXPECT_EQ(list.text(view->currentIndex().row()), QStringLiteral("f104"));
    EXPECT_EQ(list.text(view->indexAt(QPoint(1, 1)).row()), topBefore);
    EXPECT_EQ(list.subItem(list.rowOfKey(QStringLiteral("f104")), 1), QStringLiteral("changed"));
    EXPECT_EQ(changed.count(), 1); // only the row that changed is redrawn
    EXPECT_EQ(reset.count(), 0);

    // The chosen entry gone for real: nothing is selected.
    entries.erase(entries.begin() + 52);
    list.setEntries(entries);
    EXPECT_EQ(list.selectedRow(), -1);
    EXPECT_EQ(list.rowOfKey(QStringLiteral("f104")), -1);
}

// Two rows may share a key (the same file twice in a list): each stays a row of its own.
TEST_F(ListFixture, RowsOfOneKeyStayApartThroughAReload)
{
    entries = {row(QStringLiteral("a")), row(QStringLiteral("a")), row(QStringLiteral("b"))};
    entries[1].subItems[0] = QStringLiteral("second");
    list.setEntries(entries);
    list.setSelectedRow(1);
    entries.insert(entries.begin(), row(QStringLiteral("0")));
    list.setEntries(entries);
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.subItem(list.selectedRow(), 1), QStringLiteral("second"));
}

} // namespace

namespace {
TEST_F(ListFixture, AKeyChosenWhileALargeListIsLaidOutIsChosenAmongItsRows)
{
    for (int i = 0; i < 6000; ++i)
        entries.push_back(row(QStringLiteral("plot%1.fpl").arg(i, 5, 10, QLatin1Char('0'))));
    list.setEntries(entries); // laid out away from the window's thread
    list.setSelectedKey(QStringLiteral("plot04321.fpl"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.isSettled(); }, 10000));
    EXPECT_EQ(list.selectedKey(), QStringLiteral("plot04321.fpl"));
}
} // namespace

namespace {
std::vector<ListEntry> plots(int n, const QString& tag = {})
{
    std::vector<ListEntry> rows;
    for (int i = 0; i < n; ++i) {
        rows.push_back(row(QStringLiteral("plot%1.fpl").arg(i, 5, 10, QLatin1Char('0')),
                           tag + QString::number(i % 7)));
    }
    return rows;
}

// Qt's own checks of the model through every way it changes: runs, resets, a sort, a filter,
// notes, and large lists laid out away.
TEST_F(ListFixture, TheModelKeepsQtsRulesThroughEveryChange)
{
    QAbstractItemModelTester tester(list.reportView()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester names(list.iconView()->model(),
                                   QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<ListEntry> rows = plots(50);
    list.setEntries(rows);
    rows.erase(rows.begin() + 3, rows.begin() + 9);
    rows[20].subItems[0] = QStringLiteral("changed");
    rows.push_back(row(QStringLiteral("zz.fpl")));
    list.setEntries(rows);
    list.setSorted(true);
    list.setSortOrder(Qt::DescendingOrder);
    list.setFilter(QStringLiteral("plot0001"));
    list.applyNotes({{QStringLiteral("plot00012.fpl"), Note::Missing}});
    list.setFilter({});
    list.setEntries(plots(9000));
    list.setFilter(QStringLiteral("3"), {1});
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.isSettled(); }, 10000));
    list.setEntries(plots(9000, QStringLiteral("d")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.isSettled(); }, 10000));
    ASSERT_GT(list.count(), 0);
    for (int r = 0; r < list.count(); ++r)
        ASSERT_TRUE(list.text(r).contains(u'3') || list.subItem(r, 1).contains(u'3')) << r;
}

// What is asked for while a large list is laid out starts that layout again: only the last ask
// shows, once, and what waits for it runs then, unless its context is gone.
TEST_F(ListFixture, ALayoutAskedForMeanwhileRestartsAndOnlyTheLastShows)
{
    QSignalSpy resets(list.reportView()->model(), &QAbstractItemModel::modelReset);
    QObject context;
    auto gone = std::make_unique<QObject>();
    int ran = 0, ranGone = 0;
    list.setEntries(plots(6000));
    list.whenShown(&context, [&] { ++ran; });
    list.whenShown(gone.get(), [&] { ++ranGone; });
    gone.reset();
    list.setFilter(QStringLiteral("plot0000")); // plot00000 to plot00009
    list.setEntries(plots(7000));
    EXPECT_FALSE(list.isSettled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.isSettled(); }, 10000));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(texts(list).size(), 10);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(ranGone, 0);
    list.whenShown(&context, [&] { ++ran; }); // settled: at once
    EXPECT_EQ(ran, 2);
}
} // namespace
