// A log's runs in and out as CSV (run_cells.h has the columns and their units).
#pragma once

#include <istream>
#include <ostream>

#include "moravik/raceday/units.h"
#include "moravik/runlog/run_cells.h"
#include "moravik/runlog/run_import.h"
#include "moravik/runlog/run_log.h"

namespace moravik::runlog {

// Writes the runs the filter lets through, oldest first, each cell as `shown`
// gives it (runCsvLine).
LogStatus exportRunsCsv(RunLog& log, const RunFilter& filter, raceday::UnitSystem system,
                        std::ostream& out, CellShown shown = nullptr);

// importRunsInto as one change: only a header that cannot be read or a full
// disk stops the import, and then nothing is added.
LogResult<CsvImport> importRunsCsv(RunLog& log, std::istream& in,
                                   const ImportProgress& progress = {},
                                   std::optional<Moment> now = std::nullopt);

}  // namespace moravik::runlog
