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
    // Imported, but with an ET far from the vehicle's runs on its jet in the log, by the
    // rule predictions leave runs out by (farFromLoggedRuns): a typo, or a real outlier;
    // at most maxCsvProblems.
    std::vector<CsvProblem> outliers;
    std::vector<std::string>
        newVehicles;  // named in the file and added with the window's initial texts
    // Rows that repeat a run logged already, or earlier in the file, value for
    // value: not added again, and no error, so an import can be run twice.
    std::int64_t repeats = 0;
    // How the file was read where it differs from export's CSV: another
    // spelling of a column, decimal commas.
    std::vector<std::string> notes;
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
    // The vehicle's newest `count` runs on the jet (none: without nitrous), newest first.
    virtual LogResult<std::vector<Run>> recentRuns(VehicleId vehicle,
                                                   std::optional<double> jetInches, int count) = 0;
    // The vehicle's run logged at that moment, if any.
    virtual LogResult<std::optional<Run>> runAt(VehicleId vehicle, Moment when) = 0;
    virtual LogStatus addRuns(std::span<const Run> runs) = 0;
};

// Reads the header, then adds every readable row. A row that cannot be read,
// is dated later than tomorrow by `now` (the machine's clock when not given),
// or whose vehicle has another run at that moment, is left out and reported
// by its line; a repeat is counted; the others are added. Only a header that
// cannot be read or a failure of the target ends the import: the caller makes
// the additions one change, so that then nothing is added.
LogResult<CsvImport> importRunsInto(ImportTarget& target, std::istream& in,
                                    const ImportProgress& progress = {},
                                    std::optional<Moment> now = std::nullopt);

// Why a run dated `when` cannot have been run yet, with the clock's reading;
// nothing for a date up to the end of the day after `now` (UTC).
std::optional<std::string> futureDateProblem(Moment when, Moment now);

// The report's notes, and a sentence on the repeats if there were any.
std::vector<std::string> importNotes(const CsvImport& report);

// The CSV keys of the values in which two runs differ, "et, notes"; empty when
// they are alike.
std::string differingColumns(const Run& logged, const Run& other);

}  // namespace moravik::runlog
