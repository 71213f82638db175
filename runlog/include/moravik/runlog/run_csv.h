// Runs as CSV, one run a line under a header whose column names carry their
// units: "et_s", "speed_mph", "temperature_F". Export writes the units of a
// unit system; import reads any unit the race-day library knows for a column
// ("speed_km/h", "temperature_C") and columns in any order.
//
// A number is written as the fewest digits that read back to the very value
// the log holds, so an export imported again gives the same runs. (A value
// typed in other units than the export's may have no such decimal: converting
// mph to m/s and back can miss the last bit of a double. It then comes back
// within that bit.)
#pragma once

#include <moravik/raceday/units.h>

#include <QIODevice>
#include <vector>

#include "moravik/runlog/run_log.h"

namespace moravik::runlog {

// The header and the fields of one run, as export writes them; also what
// `moravik-calc log runs --json` prints. An absent value is an empty text.
QStringList runCsvHeader(raceday::UnitSystem system);
QStringList runCsvFields(const Run& run, const QString& vehicleName, raceday::UnitSystem system);
// Whether the column at this index holds numbers (or is empty).
bool isNumberColumn(qsizetype column);
// A run's date and time as CSV and JSON write it: ISO 8601 with the local
// offset, "2024-06-01T14:30:00+02:00" (milliseconds only when there are some).
QString dateTimeText(const QDateTime& when);

// Writes the runs the filter lets through, oldest first.
LogStatus exportRunsCsv(RunLog& log, const RunFilter& filter, raceday::UnitSystem system,
                        QIODevice& out);

struct CsvProblem {
    qint64 line;
    QString message;  // "line 12: ET must be a number above 0"
};

struct CsvImport {
    int imported = 0;
    std::vector<CsvProblem> problems;  // at most maxCsvProblems; the rows were left out
    qint64 problemsLeftOut = 0;        // beyond that many
    // Imported, but with an ET more than a quarter off the vehicle's median
    // in the log: a typo, or a real outlier; at most maxCsvProblems.
    std::vector<CsvProblem> outliers;
    QStringList newVehicles;  // named in the file and added with the window's initial texts
};

inline constexpr std::size_t maxCsvProblems = 1000;
// An import adds at most this many vehicles; rows naming more are reported.
inline constexpr qsizetype maxNewVehicles = 100;

// Adds every readable row as one change. A row that cannot be read, or whose
// vehicle already has a run at that moment, is left out and reported by its
// line; the others are imported. Only a missing column or a full disk stops
// the import, and then nothing is added.
LogResult<CsvImport> importRunsCsv(RunLog& log, QIODevice& in);

}  // namespace moravik::runlog
