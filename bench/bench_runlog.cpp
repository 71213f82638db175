// The run log's table with 100,000 runs: opening the log and showing the first
// page must take under 300 ms; each further page while scrolling, and the
// first page after sorting by a column without an index or by a figure of each
// run's air worked out in C++, are measured too.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "run_table_model.h"

namespace {

using moravik::runlog::RunLog;
using moravik::runlog::RunTableModel;

constexpr int runCount = 100000;

// A log of 100,000 runs of 20 vehicles, made once for all benchmarks.
const std::string& bigLog() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const std::string file = folder.filePath(QStringLiteral("run-log.sqlite")).toStdString();
        auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(file));
        std::vector<moravik::runlog::Run> runs;
        for (int vehicle = 1; vehicle <= 20; ++vehicle) {
            log->addVehicle({0, "Car " + std::to_string(vehicle), {}, {}});
        }
        for (int n = 0; n < runCount; ++n) {
            moravik::runlog::Run run;
            run.vehicleId = 1 + n % 20;
            run.when = moravik::runlog::momentOfMilliseconds(1600000000000 + qint64{n} * 3600000);
            run.strip = "Strip " + std::to_string(n % 40);
            run.stripElevationMetres = n % 1800;
            run.lane = n % 2 == 0 ? "left" : "right";
            run.etSeconds = 9 + (n % 5000) / 1000.0;
            run.speed = 45 + (n % 3000) / 300.0;
            if (n % 3 != 0) run.sixtyFootSeconds = 1.4 + (n % 40) / 100.0;
            run.air = {288.15 + n % 30, moravik::raceday::StationPressure{90000.0 + n % 9000},
                       moravik::raceday::RelativeHumidity{(n % 100) / 100.0}};
            run.notes = "pass " + std::to_string(n);
            runs.push_back(run);
        }
        log->addRuns(runs);
        return file;
    }();
    return path;
}

// As the Log section does: the quick check is put off until the window is up.
void openLogAndFirstPage(benchmark::State& state) {
    const std::string& path = bigLog();
    for (auto _ : state) {
        auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(path, {.checkLater = true}));
        RunTableModel model(*log);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(openLogAndFirstPage)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void openLogOnly(benchmark::State& state) {
    const std::string& path = bigLog();
    for (auto _ : state) {
        auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(path));
        benchmark::DoNotOptimize(log.get());
    }
}
BENCHMARK(openLogOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void nextPageDeepInTheTable(benchmark::State& state) {
    auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(bigLog()));
    RunTableModel model(*log);
    for (auto _ : state) {
        if (!model.canFetchMore({})) {
            state.PauseTiming();
            model.reload();
            state.ResumeTiming();
        }
        model.fetchMore({});
    }
    state.counters["rows_per_page"] = RunTableModel::pageRows;
}
BENCHMARK(nextPageDeepInTheTable)->Unit(benchmark::kMillisecond);

void firstPageSortedByEt(benchmark::State& state) {
    auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(bigLog()));
    RunTableModel model(*log);
    for (auto _ : state) model.sort(RunTableModel::Et, Qt::AscendingOrder);
}
BENCHMARK(firstPageSortedByEt)->Unit(benchmark::kMillisecond);

void firstPageSortedByCorrectedEt(benchmark::State& state) {
    auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(bigLog()));
    RunTableModel model(*log);
    for (auto _ : state) model.sort(RunTableModel::CorrectedEt, Qt::AscendingOrder);
}
BENCHMARK(firstPageSortedByCorrectedEt)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);  // for the table model
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
