// The "Open" list's columns fitted to what it holds while the user has not sized them.
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>

namespace {

struct OpenColumns : ::testing::Test, FakeHub {};

// At the size the window starts with, the "Open" list shows the suite's demo entries whole:
// names and the caption uncut, the folder column taking the rest, no sideways scrolling.
TEST_F(OpenColumns, FitTheirEntriesUntilTheUserSizesOne)
{
    for (const char* name : {"North Slope.phs", "Plot 7 Ridge.fpl", "plot 1.pli", "CRNexample.crn"})
        app.write(QStringLiteral("data/") + QString::fromLatin1(name), "x");
    const QString deep = QStringLiteral("/srv/crews/northern district/2024 season/"
                                        "upper ridge transects/plot photographs and tallies/");
    app.write(QStringLiteral("QELFileList.txt"),
              records::encode({QStringLiteral("fpl"), deep + QStringLiteral("East.fpl"),
                               QStringLiteral("1/2/24 10:11:12 AM")}));
    const auto window = makeWindow(); // no widths saved
    window->TabMain->setCurrTab(int(Tab::Open));
    window->show();
    window->openTab().SyncDataFolderEntries();
    ASSERT_TRUE(settle());

    QelListView* list = window->lstQEL[size_t(Tab::Open)];
    QTreeView* view = list->reportView();
    QHeaderView* columns = view->header();
    ASSERT_EQ(list->count(), 5);
    EXPECT_GE(columns->sectionSize(0), columns->sectionSizeHint(0)); // "Recently Used Files"
    for (int row = 0; row < list->count(); ++row) {
        for (int section : {0, 1, 2}) {
            EXPECT_GE(columns->sectionSize(section),
                      view->sizeHintForIndex(view->model()->index(row, section)).width())
                << list->text(row).toStdString() << " in column " << section;
        }
    }
    EXPECT_EQ(columns->length(), view->viewport()->width());
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    const QModelIndex folder =
        view->model()->index(list->rowOfKey(deep + QStringLiteral("East.fpl")), 3);
    EXPECT_LT(columns->sectionSize(3), view->sizeHintForIndex(folder).width()); // elided...
    EXPECT_EQ(folder.data(Qt::ToolTipRole).toString(), deep);                   // ...told whole

    // A name far longer than 40 characters is cut to about that many.
    const QString longName = QString(80, QLatin1Char('n')) + QStringLiteral(".fpl");
    app.write(QStringLiteral("QELFileList.txt"),
              app.read(QStringLiteral("QELFileList.txt")) +
                  records::encode({QStringLiteral("fpl"), deep + longName, QStringLiteral("d")}));
    window->openTab().LoadOpenList();
    ASSERT_TRUE(settle());
    const int chars = view->fontMetrics().averageCharWidth();
    EXPECT_GT(columns->sectionSize(0), 40 * chars);
    EXPECT_LT(columns->sectionSize(0), 50 * chars);

    // A wider window gives the room to the last column.
    window->resize(window->width() + 100, window->height());
    EXPECT_EQ(columns->length(), view->viewport()->width());

    // Once the user sizes a column, fills and resizes leave every column as it is.
    columns->resizeSection(1, 90);
    const int name = columns->sectionSize(0), last = columns->sectionSize(3);
    window->openTab().SyncDataFolderEntries();
    ASSERT_TRUE(settle());
    window->resize(window->width() + 100, window->height());
    EXPECT_EQ(columns->sectionSize(0), name);
    EXPECT_EQ(columns->sectionSize(3), last);
}

} // namespace
