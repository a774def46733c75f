// The "Tools" list at 200 shortcuts whose programs are Windows programs with icons (bitmaps at
// 16, 32 and 48 pixels and a 256-pixel PNG): the whole load with the real icon source, next to
// the floor of listing and reading the 200 shortcut files alone. Both are timed to completion.
#include "BenchSupport.h"

#include "base/Paths.h"
#include "formats/ShortcutHelper.h"
#include "mainwindow/frmQEL.h"
#include "platform/QtIconSource.h"
#include "support/FakeHub.h"
#include "support/PeBuilder.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/QelListView.h"
#include "ui/TabStrip.h"

#include <QDirIterator>

namespace {

struct Hub : FakeHub {
    QtIconSource realIcons;
    std::unique_ptr<frmQEL> window;

    explicit Hub(int shortcuts)
    {
        services.icons = &realIcons;
        app.mkdir(QStringLiteral("ShortCuts"));
        for (int i = 0; i < shortcuts; ++i) {
            const QColor c = QColor::fromHsv(i * 360 / shortcuts, 180, 200);
            const QString name = QStringLiteral("tool%1.exe").arg(i);
            app.write(QStringLiteral("tools/") + name,
                      pe::build({{{16, c}, {32, c}, {48, c}, {256, c, true}}}).file);
            QString file = app.file(QStringLiteral("ShortCuts/Shortcut to %1.lnk").arg(name));
            QString target = app.file(QStringLiteral("tools/") + name);
            QString folder = app.file(QStringLiteral("tools/"));
            QString arguments = QStringLiteral(" ");
            QString icon = target;
            qint32 n1 = 0, n2 = 0;
            ShortcutHelper().CreateShortcut(file, target, folder, arguments, icon, n1, n2);
        }
        window = makeWindow();
        window->TabMain->setCurrTab(2);
        window->show();
    }
};

// How many of the picture's pixels are not wholly transparent.
int drawnPixels(const QIcon& icon, int size)
{
    const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    }
    return drawn;
}

// The floor: listing and reading the shortcut files alone, on the list queue where the tab reads
// them.
void BM_ReadShortcutFilesOnly(benchmark::State& state)
{
    const int shortcuts = int(state.range(0));
    Hub hub(shortcuts);
    const QString folder = paths::resolveIgnoringCase(hub.app.path(), QStringLiteral("ShortCuts"));
    for (auto _ : state) {
        const auto read = bench::timedOnListQueue(state, "the shortcut files", [folder] {
            int read = 0;
            QDirIterator it(folder, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
            while (it.hasNext()) {
                QString file = it.next();
                QString target, working, arguments, program;
                qint32 n1 = 0, n2 = 0;
                read += ShortcutHelper()
                            .ReadShortcut(file, target, working, arguments, program, n1, n2)
                            .ok;
                benchmark::DoNotOptimize(program);
            }
            return read;
        });
        if (!read || !bench::expect(state, *read == shortcuts,
                                    "read " + std::to_string(*read) + " shortcuts, not " +
                                        std::to_string(shortcuts)))
            return;
    }
}

// The whole load: from LoadShortcutList until the list shows every shortcut with its program's
// icon, every icon read and drawn.
void BM_LoadShortcutList(benchmark::State& state)
{
    const int shortcuts = int(state.range(0));
    Hub hub(shortcuts);
    QelListView& list = *hub.window->lstQEL[2];
    for (auto _ : state) {
        hub.window->toolsTab().LoadShortcutList();
        if (!bench::settleUntil(state, "the shortcuts and their icons",
                                [&] { return list.count() == shortcuts; }))
            return;
        QCoreApplication::processEvents();
    }
    // The programs' own pictures, not blanks: each covers its square at both sizes.
    int drawn = 0;
    ToolsTab& tab = hub.window->toolsTab();
    for (const ToolsTab::ShortcutEntry& e : tab.entries()) {
        drawn += drawnPixels(tab.imgShortCut[0].icon(e.fileName), 32) >= 32 * 32 * 3 / 4 &&
                 drawnPixels(tab.imgShortCut[1].icon(e.fileName), 16) >= 16 * 16 * 3 / 4;
    }
    state.counters["rows"] = list.count();
    state.counters["icons"] = drawn;
    bench::expect(state, list.count() == shortcuts && drawn == shortcuts,
                  std::to_string(list.count()) + " rows and " + std::to_string(drawn) +
                      " drawn icons for " + std::to_string(shortcuts) + " shortcuts");
}

} // namespace

void bench::registerBenchmarks()
{
    add("BM_ReadShortcutFilesOnly", BM_ReadShortcutFilesOnly,
        {.sizes = {200}, .smokeSize = 20, .argName = "shortcuts", .manualTime = true});
    add("BM_LoadShortcutList", BM_LoadShortcutList,
        {.sizes = {200}, .smokeSize = 20, .argName = "shortcuts"});
}
