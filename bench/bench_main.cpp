// The benchmark programs run the real widgets, headless. `--smoke` runs every benchmark once at a
// small size (the test command's check); the program ends with a non-zero code when a benchmark
// failed or none ran.
#include "BenchSupport.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {
bool smokeRun = false;
int failures = 0;
} // namespace

namespace bench {

bool smoke()
{
    return smokeRun;
}

int waitLimitMs()
{
    // A full run at 300,000 records may take long on a slow build; none may take forever.
    return smokeRun ? 30000 : 300000;
}

void add(const char* name, void (*run)(benchmark::State&), const Options& options)
{
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name, run);
    if (options.argName)
        b->ArgName(options.argName);
    if (options.manualTime)
        b->UseManualTime();
    b->Unit(options.unit);
    if (smokeRun) {
        if (options.smokeSize || !options.sizes.empty())
            b->Arg(options.smokeSize ? options.smokeSize : options.sizes.front());
        b->Iterations(1);
        return;
    }
    for (std::int64_t size : options.sizes)
        b->Arg(size);
    if (options.iterations)
        b->Iterations(options.iterations);
    if (options.repetitions)
        b->Repetitions(options.repetitions)->ReportAggregatesOnly(true);
}

void fail(benchmark::State& state, const std::string& why)
{
    ++failures;
    state.SkipWithError(why.c_str());
}

} // namespace bench

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            smokeRun = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    QApplication app(argc, argv);
    bench::registerBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    const size_t ran = benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ran == 0) {
        std::fprintf(stderr, "No benchmark ran.\n");
        return 1;
    }
    if (failures > 0) {
        std::fprintf(stderr, "%d benchmark run(s) failed.\n", failures);
        return 1;
    }
    return 0;
}
