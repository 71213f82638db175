// Runs as CSV, one run a line under a header whose column names carry their
// units: "et_s", "speed_mph", "temperature_F". Export writes the units of a
// unit system; import reads any unit the race-day library knows for a column
// ("speed_km/h", "temperature_C") and columns in any order. The columns are
// those of log_columns.h that have a CSV key.
//
// A number is written as the fewest digits that read back to the very value
// the log holds, so an export imported again gives the same runs. (A value
// typed in other units than the export's may have no such decimal: converting
// mph to m/s and back can miss the last bit of a double. It then comes back
// within that bit.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/raceday/units.h"
#include "moravik/runlog/csv.h"
#include "moravik/runlog/log_error.h"
#include "moravik/runlog/records.h"

namespace moravik::runlog {

// The header and the fields of one run, as export writes them; also what
// `moravik-calc log runs --json` prints. An absent value is an empty text.
std::vector<std::string> runCsvHeader(raceday::UnitSystem system);
std::vector<std::string> runCsvFields(const Run& run, std::string_view vehicleName,
                                      raceday::UnitSystem system);
// Whether the CSV column at this index holds numbers (or is empty).
bool isNumberColumn(std::size_t column);

// "line 12: ", as a message about a CSV record begins.
std::string lineText(std::int64_t line);

// How a cell's text is shown, such as with its control characters escaped for
// a terminal; null writes it as it is.
using CellShown = std::string (*)(std::string_view text);

// The header line and each run, text cells guarded, as export writes them;
// `shown` is applied to each cell, the line's own end kept.
std::string runCsvHeaderLine(raceday::UnitSystem system);
std::string runCsvLine(const Run& run, std::string_view vehicleName, raceday::UnitSystem system,
                       CellShown shown = nullptr);

// The shortest decimal in `unit` that converts back to exactly `si`.
std::string exactText(double si, const raceday::Unit& unit);

// A file's header: for each field, the log column it names (its row in
// logColumns) and the unit of its numbers; none for an unknown name.
struct CsvHeaderColumn {
    std::size_t row;
    const raceday::Unit* unit;  // nullptr: text, or a number in the column's only unit
};
struct CsvHeader {
    std::vector<std::optional<CsvHeaderColumn>> columns;
    bool decimalComma = false;       // numbers written "11,92"
    std::vector<std::string> notes;  // "line 1: the column \"mph\" is read as speed_mph"
};

// Problem::Invalid ("line 1: the header has no column et; nothing was
// imported.") when a column is missing, named twice or not one of the log's
// (columnSpellings aside): a value dropped unseen could mislead a prediction.
// `separator` ';' reads the numbers with decimal commas.
LogResult<CsvHeader> readCsvHeader(const CsvRecord& record, char separator = ',');

struct CsvRun {
    Run run;  // its vehicle not yet set
    std::string vehicleName;
};

// The run a row describes; or what is wrong with it, "line 12: ET must ...".
LogResult<CsvRun> readCsvRun(const CsvHeader& header, const CsvRecord& record);
// The same for fields typed in a form, what is wrong without a line.
LogResult<CsvRun> readRunFields(const CsvHeader& header, const std::vector<std::string>& fields);

}  // namespace moravik::runlog
