#include "moravik/runlog/run_csv.h"

#include <map>

namespace moravik::runlog {
namespace {

// The import's questions answered from the SQLite file.
class LogTarget final : public ImportTarget {
public:
    explicit LogTarget(RunLog& log) : log_(log) {}

    LogResult<Vehicle> vehicleNamed(const std::string& name) override {
        return log_.vehicleNamed(name);
    }
    LogResult<VehicleId> addVehicle(const Vehicle& vehicle) override {
        return log_.addVehicle(vehicle);
    }
    LogResult<std::vector<Run>> recentRuns(VehicleId vehicle, std::optional<double> jetInches,
                                           int count) override {
        return log_.recentRuns(vehicle, jetInches, count);
    }
    LogResult<std::optional<Run>> runAt(VehicleId vehicle, Moment when) override {
        auto logged = log_.runs({.vehicleId = vehicle, .from = when, .to = when});
        if (const LogError* error = logErrorOf(logged)) return *error;
        const auto& runs = std::get<std::vector<Run>>(logged);
        if (runs.empty()) return std::optional<Run>();
        return std::optional<Run>(runs.front());
    }
    LogStatus addRuns(std::span<const Run> runs) override {
        const auto added = log_.addRuns(runs);
        if (const LogError* error = logErrorOf(added)) return *error;
        return std::nullopt;
    }

private:
    RunLog& log_;
};

}  // namespace

LogStatus exportRunsCsv(RunLog& log, const RunFilter& filter, raceday::UnitSystem system,
                        std::ostream& out, CellShown shown) {
    auto vehicles = log.vehicles();
    if (const LogError* error = logErrorOf(vehicles)) return *error;
    std::map<VehicleId, std::string> names;
    for (const Vehicle& vehicle : std::get<std::vector<Vehicle>>(vehicles)) {
        names.emplace(vehicle.id, vehicle.name);
    }
    out << runCsvHeaderLine(system);
    if (auto failed = log.eachRun(filter, [&](const Run& run) {
            const auto name = names.find(run.vehicleId);
            out << runCsvLine(run, name != names.end() ? name->second : std::string(), system,
                              shown);
            return static_cast<bool>(out);
        }))
        return failed;
    if (out.flush()) return std::nullopt;
    return LogError{Problem::Failed, "The runs could not be written."};
}

LogResult<CsvImport> importRunsCsv(RunLog& log, std::istream& in, const ImportProgress& progress,
                                   std::optional<Moment> now) {
    LogTarget target(log);
    LogResult<CsvImport> result = CsvImport{};
    const LogStatus failed = log.asOneChange([&]() -> LogStatus {
        result = importRunsInto(target, in, progress, now);
        if (const LogError* error = logErrorOf(result)) return *error;
        return std::nullopt;
    });
    // A large import, kept or undone, leaves a write-ahead file of its size.
    log.shrinkJournal();
    if (failed) return *failed;
    return result;
}

}  // namespace moravik::runlog
