// A log's runs in and out as CSV (run_cells.h has the columns and their units).
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "moravik/raceday/units.h"
#include "moravik/runlog/run_cells.h"
#include "moravik/runlog/run_log.h"

namespace moravik::runlog {

// Writes the runs the filter lets through, oldest first.
LogStatus exportRunsCsv(RunLog& log, const RunFilter& filter, raceday::UnitSystem system,
                        std::ostream& out);

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

// Adds every readable row as one change. A row that cannot be read, or whose
// vehicle already has a run at that moment, is left out and reported by its
// line; the others are imported. Only a missing column or a full disk stops
// the import, and then nothing is added.
LogResult<CsvImport> importRunsCsv(RunLog& log, std::istream& in,
                                   const ImportProgress& progress = {});

}  // namespace moravik::runlog
