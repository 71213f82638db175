// Runs into a log from CSV: the rules of an import, apart from where the log
// keeps its runs. RunLog brings its SQLite file (run_csv.h); the web app the
// runs it keeps in the browser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "moravik/runlog/log_error.h"
#include "moravik/runlog/records.h"

namespace moravik::runlog {

struct CsvProblem {
    std::int64_t line;
    std::string message;  // "line 12: ET must be a number above 0"
};

struct CsvImport {
    int imported = 0;
    std::vector<CsvProblem> problems;  // at most maxCsvProblems; the rows were left out
    std::int64_t problemsLeftOut = 0;  // beyond that many
    // Imported, but with an ET more than a quarter off the vehicle's median
    // in the log: a typo, or a real outlier; at most maxCsvProblems.
    std::vector<CsvProblem> outliers;
    std::vector<std::string>
        newVehicles;  // named in the file and added with the window's initial texts
};

inline constexpr std::size_t maxCsvProblems = 1000;
// An import adds at most this many vehicles; rows naming more are reported.
inline constexpr std::size_t maxNewVehicles = 100;

// Told now and then how many bytes of the file have been read; false stops
// the import, which then adds nothing (Problem::Failed, "cancelled").
using ImportProgress = std::function<bool(std::int64_t bytesRead)>;

// What an import asks of a log. Any error but Problem::NotFound from
// vehicleNamed ends the import.
class ImportTarget {
public:
    virtual ~ImportTarget() = default;
    virtual LogResult<Vehicle> vehicleNamed(const std::string& name) = 0;  // ignoring (ASCII) case
    virtual LogResult<VehicleId> addVehicle(const Vehicle& vehicle) = 0;
    // The median of the ETs logged for the vehicle (medianEt below).
    virtual LogResult<std::optional<double>> medianEt(VehicleId vehicle) = 0;
    virtual LogResult<bool> hasRunAt(VehicleId vehicle, Moment when) = 0;
    virtual LogStatus addRuns(std::span<const Run> runs) = 0;
};

// Reads the header, then adds every readable row. A row that cannot be read,
// or whose vehicle already has a run at that moment, is left out and reported
// by its line; the others are added. Only a missing column or a failure of
// the target ends the import: the caller makes the additions one change, so
// that then nothing is added.
LogResult<CsvImport> importRunsInto(ImportTarget& target, std::istream& in,
                                    const ImportProgress& progress = {});

// The median of a vehicle's ETs; none while it has fewer than three.
std::optional<double> medianEt(std::vector<double> ets);

}  // namespace moravik::runlog
