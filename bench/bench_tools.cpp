// The "Tools" list at 200 shortcuts whose programs are Windows programs with icons (bitmaps at
// 16, 32 and 48 pixels and a 256-pixel PNG): the whole load with the real icon source, next to
// the floor of listing and reading the 200 shortcut files alone.
#include "base/Paths.h"
#include "formats/ShortcutHelper.h"
#include "mainwindow/frmQEL.h"
#include "platform/qt/QtIconSource.h"
#include "support/FakeHub.h"
#include "support/PeBuilder.h"
#include "tabs/tools/ToolsTab.h"
#include "ui/QelListView.h"

#include <benchmark/benchmark.h>

#include <QDirIterator>

namespace {

constexpr int kShortcuts = 200;

struct Hub : FakeHub {
    QtIconSource realIcons;
    std::unique_ptr<frmQEL> window;

    Hub()
    {
        services.icons = &realIcons;
        for (int i = 0; i < kShortcuts; ++i) {
            const QColor c = QColor::fromHsv(i * 360 / kShortcuts, 180, 200);
            const QString name = QStringLiteral("tool%1.exe").arg(i);
            app.write(QStringLiteral("tools/") + name,
                      pe::build({{{16, c}, {32, c}, {48, c}, {256, c, true}}}).file);
            app.mkdir(QStringLiteral("ShortCuts"));
            QString file = app.file(QStringLiteral("ShortCuts/Shortcut to %1.lnk").arg(name));
            QString target = app.file(QStringLiteral("tools/") + name);
            QString folder = app.file(QStringLiteral("tools/"));
            QString arguments = QStringLiteral(" ");
            QString icon = target;
            qint32 n1 = 0, n2 = 0;
            ShortcutHelper().CreateShortcut(file, target, folder, arguments, icon, n1, n2);
        }
        window = makeWindow();
    }
};

void BM_ReadShortcutFilesOnly(benchmark::State& state)
{
    Hub hub;
    const QString folder = paths::resolveIgnoringCase(hub.app.path(), QStringLiteral("ShortCuts"));
    int read = 0;
    for (auto _ : state) {
        read = 0;
        QDirIterator it(folder, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
        while (it.hasNext()) {
            QString file = it.next();
            QString target, working, arguments, program;
            qint32 n1 = 0, n2 = 0;
            read +=
                ShortcutHelper().ReadShortcut(file, target, working, arguments, program, n1, n2).ok;
            benchmark::DoNotOptimize(program);
        }
    }
    state.counters["shortcuts"] = read;
}

void BM_LoadShortcutList(benchmark::State& state)
{
    Hub hub;
    for (auto _ : state)
        hub.window->toolsTab().LoadShortcutList();
    // The programs' own pictures, not blanks: their centres are opaque.
    int drawn = 0;
    const ImageList& large = hub.window->toolsTab().imgShortCut[0];
    for (const QString& key :
         QDir(hub.app.file(QStringLiteral("ShortCuts"))).entryList(QDir::Files))
        drawn += large.icon(key).pixmap(32).toImage().pixelColor(16, 16).alpha() == 255;
    state.counters["rows"] = hub.window->lstQEL[2]->count();
    state.counters["icons"] = drawn;
}

BENCHMARK(BM_ReadShortcutFilesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShortcutList)->Unit(benchmark::kMillisecond);

} // namespace
