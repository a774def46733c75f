// The window as the user left it, over a real settings file, and the "Open" list's columns
// fitted to what it holds while the user has not sized them.
#include "lists/RecordCodec.h"
#include "mainwindow/frmQEL.h"
#include "mainwindow/WindowPlace.h"
#include "platform/QSettingsStore.h"
#include "support/FakeHub.h"
#include "tabs/open/OpenTab.h"
#include "ui/QelListView.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

const QString kApp = QStringLiteral("Keldara");

struct WindowState : ::testing::Test, FakeHub {
    QTemporaryDir configHome;
    QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    std::unique_ptr<QSettingsStore> store;

    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        store = std::make_unique<QSettingsStore>(); // as the program makes it
        services.settings = store.get();
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", oldConfigHome); }

    // A window as the program starts it: prepared, then as the user left it.
    std::unique_ptr<frmQEL> start() const
    {
        auto window = makeWindow();
        window->restoreWindowState();
        return window;
    }
    void quit(frmQEL& window, MsgAnswer answer)
    {
        prompter.answers = {answer};
        window.close();
    }
    static QHeaderView* header(const frmQEL& window, Tab tab)
    {
        return window.lstQEL[size_t(tab)]->reportView()->header();
    }
};

TEST_F(WindowState, PlaceSizeAndColumnWidthsSurviveARestart)
{
    store->write(kApp, QStringLiteral("General"), QStringLiteral("CRNExample"),
                 QStringLiteral("True"));
    {
        const auto window = start();
        window->show();
        window->setGeometry(QRect(60, 40, 640, 480));
        header(*window, Tab::Open)->resizeSection(0, 222); // as the user drags them
        header(*window, Tab::Web)->resizeSection(1, 250);
        quit(*window, MsgAnswer::No);
        EXPECT_EQ(store->read(kApp, QStringLiteral("Window"), QStringLiteral("Geometry"), {}),
                  QString()); // nothing is written while the window stays
        quit(*window, MsgAnswer::Yes);
        ASSERT_FALSE(window->isVisible());
    }
    const auto window = start();
    window->openTab().openList().LoadOpenList(); // a fill does not fit columns the user sized
    ASSERT_TRUE(settle());
    window->show();
    EXPECT_EQ(window->geometry(), QRect(60, 40, 640, 480));
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(header(*window, Tab::Open)->sectionSize(0), 222);
    EXPECT_EQ(header(*window, Tab::Open)->sectionSize(1), 2000 / 15);
    EXPECT_EQ(header(*window, Tab::Web)->sectionSize(1), 250);
    EXPECT_EQ(store->read(kApp, QStringLiteral("General"), QStringLiteral("CRNExample"), QString()),
              QStringLiteral("True"));

    window->showMaximized();
    quit(*window, MsgAnswer::Yes);
    const auto maximised = start();
    maximised->show();
    EXPECT_TRUE(maximised->isMaximized());
    maximised->showNormal();
    EXPECT_EQ(maximised->geometry(), QRect(60, 40, 640, 480));
}

// Saved places the window could not be used at (another screen's, damaged numbers, the top left
// corner where no title bar shows): the window comes up centred on the screen at the saved size,
// cut to the screen, and such a place is never saved back; its size is. The offscreen screen is
// 800 pixels wide.
TEST_F(WindowState, AnUnusablePlaceIsCentredAndNeverSavedBack)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.topLeft(), QPoint(0, 0));
    ASSERT_EQ(screen.width(), 800);
    const struct {
        const char* saved;
        QSize size; // empty: the window's own size
    } cases[] = {
        {"700 500 600 450", {600, 450}},
        {"5000 4000 600 450", {600, 450}},
        {"2147483647 2147483647 600 450", {600, 450}},
        {"99999999999999 10 600 450", {600, 450}},
        {"10 40 3000 2000", screen.size()}, // cut to the screen (and its title bar)
        {"10 40 2147483647 450", {}},
        {"10 40 0 450", {}},
        {"0 0 640 480", {640, 480}}, // no window manager: the title bar would be off the screen
        {"640 480", {640, 480}},     // only the size was saved
        {"640", {}},
    };
    const QSize usual = makeWindow()->size();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        store->write(kApp, QStringLiteral("Window"), QStringLiteral("Geometry"),
                     QString::fromLatin1(c.saved));
        const auto window = start();
        window->show();
        const QRect g = window->geometry();
        if (c.size.isEmpty()) {
            EXPECT_EQ(g.size(), usual);
        } else {
            EXPECT_EQ(g.width(), c.size.width());
            EXPECT_LE(g.height(), c.size.height());
            EXPECT_GE(g.height(), c.size.height() - 60);
            EXPECT_LE(std::abs(g.center().x() - screen.center().x()), 1);
        }
        EXPECT_TRUE(screen.contains(g));
        // A place the window cannot be used at is not saved at the exit; its size is.
        window->move(-g.width() + 10, 200);
        quit(*window, MsgAnswer::Yes);
        const QString saved =
            store->read(kApp, QStringLiteral("Window"), QStringLiteral("Geometry"), {});
        EXPECT_EQ(saved, QStringLiteral("%1 %2").arg(g.width()).arg(g.height()));
    }
}

TEST(WindowPlace, UsedOnlyWithTheWholeTitleBarAndAThirdOnOneScreen)
{
    const QList<QRect> two{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const struct {
        QRect window;
        bool usable;
    } cases[] = {
        {{100, 40, 800, 600}, true},    {{100, 10, 800, 600}, false}, // title bar above the screen
        {{1500, 40, 800, 600}, false},  // title bar across two screens
        {{2000, 40, 800, 600}, true},   // on the second screen
        {{-500, 40, 800, 600}, false},  // title bar partly off
        {{1000, 900, 800, 600}, false}, // title bar seen, too little of the window
        {{3000, 900, 800, 600}, false}, // off every screen
        {{100, 500, 800, 1500}, true},  // 580 of its 1,500 rows on the screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowplace::usable(c.window, two, 30), c.usable)
            << c.window.x() << "," << c.window.y();
    // A third of the window, not less.
    EXPECT_TRUE(windowplace::usable({0, 30, 300, 3150}, two, 30));
    EXPECT_FALSE(windowplace::usable({0, 30, 300, 3153}, two, 30));
    const struct {
        QList<qint64> saved;
        std::optional<QRect> place;
    } places[] = {
        {{2000, 40, 800, 600}, QRect(2000, 40, 800, 600)},
        {{5000, 40, 800, 600}, QRect(560, 255, 800, 600)}, // centred on the primary screen
        {{800, 600}, QRect(560, 255, 800, 600)},           // no place saved
        {{100, 40, 800, 2000}, QRect(100, 40, 800, 1050)}, // usable there, cut to the screen
        {{2000, 40, 800, 2000}, QRect(2000, 40, 800, 994)},
        {{0, 0, 4000, 3000}, QRect(0, 30, 1920, 1050)},
        {{1, 2, 3}, std::nullopt},
        {{800}, std::nullopt},
    };
    for (const auto& p : places)
        EXPECT_EQ(windowplace::place(p.saved, two, 30), p.place) << p.saved.size();
}

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
    window->openTab().openList().SyncDataFolderEntries();
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
    window->openTab().openList().LoadOpenList();
    ASSERT_TRUE(settle());
    const int chars = view->fontMetrics().averageCharWidth();
    EXPECT_GT(columns->sectionSize(0), 40 * chars);
    EXPECT_LT(columns->sectionSize(0), 50 * chars);

    // A wider window gives the room to the last column (room enough for any date's width).
    window->resize(window->width() + 300, window->height());
    EXPECT_EQ(columns->length(), view->viewport()->width());

    // Once the user sizes a column, fills and resizes leave every column as it is.
    columns->resizeSection(1, 90);
    const int name = columns->sectionSize(0), last = columns->sectionSize(3);
    window->openTab().openList().SyncDataFolderEntries();
    ASSERT_TRUE(settle());
    window->resize(window->width() + 100, window->height());
    EXPECT_EQ(columns->sectionSize(0), name);
    EXPECT_EQ(columns->sectionSize(3), last);
}

} // namespace
