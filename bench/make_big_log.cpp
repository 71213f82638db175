// make_big_log PATH COUNT: a run log of COUNT runs of 20 vehicles, for
// bench/log_memory.sh. Written a batch at a time, so that making it holds
// no more than a batch.
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "moravik/runlog/run_log.h"

int main(int argc, char** argv) {
    using moravik::runlog::Run;
    using moravik::runlog::RunLog;
    long count = 0;
    if (argc != 3 ||
        std::from_chars(argv[2], argv[2] + std::char_traits<char>::length(argv[2]), count).ec !=
            std::errc() ||
        count < 1) {
        std::cerr << "usage: make_big_log PATH COUNT (a whole number above 0)\n";
        return 2;
    }
    auto opened = RunLog::open(argv[1]);
    if (const auto* error = moravik::runlog::logErrorOf(opened)) {
        std::cerr << error->message << '\n';
        return 3;
    }
    auto& log = *std::get<std::unique_ptr<RunLog>>(opened);
    for (int vehicle = 1; vehicle <= 20; ++vehicle) {
        log.addVehicle({0, "Car " + std::to_string(vehicle), {}, {}});
    }
    constexpr long batch = 50000;
    std::vector<Run> runs;
    for (long n = 0; n < count; ++n) {
        Run run;
        run.vehicleId = 1 + n % 20;
        run.when = moravik::runlog::momentOfMilliseconds(1600000000000 + n * 60000);
        run.strip = "Strip " + std::to_string(n % 40);
        run.stripElevationMetres = static_cast<double>(n % 1800);
        run.lane = n % 2 == 0 ? "left" : "right";
        run.etSeconds = 9 + static_cast<double>(n % 5000) / 1000.0;
        run.speed = 45 + static_cast<double>(n % 3000) / 300.0;
        if (n % 3 != 0) run.sixtyFootSeconds = 1.4 + static_cast<double>(n % 40) / 100.0;
        run.air = {288.15 + static_cast<double>(n % 30),
                   moravik::raceday::StationPressure{90000.0 + static_cast<double>(n % 9000)},
                   moravik::raceday::RelativeHumidity{static_cast<double>(n % 100) / 100.0}};
        run.notes = "pass " + std::to_string(n);
        runs.push_back(std::move(run));
        if (static_cast<long>(runs.size()) == batch || n + 1 == count) {
            const auto added = log.addRuns(runs);
            if (const auto* error = moravik::runlog::logErrorOf(added)) {
                std::cerr << error->message << '\n';
                return 3;
            }
            runs.clear();
        }
    }
    return 0;
}
