#include "moravik/runlog/run_cells.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "moravik/double_chars.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/whole_text.h"

namespace moravik::runlog {
namespace {

std::string shortestText(double value) {
    char text[32];
    return {text, toCharsShortest(text, text + sizeof text, value).ptr};
}

std::string key(std::string_view csv) { return std::string(csv); }

LogError wrong(std::string message) { return {Problem::Invalid, std::move(message)}; }

// A row's cells by their row in logColumns: numbers already in the log's
// units (SI; inches for the jet).
struct RunCells {
    std::map<std::size_t, std::string> texts;
    std::map<std::size_t, double> numbers;

    std::optional<double> number(std::string_view csv) const {
        const auto found = numbers.find(columnNamed(csv));
        if (found == numbers.end()) return std::nullopt;
        return found->second;
    }
};

// Exactly one of two columns, or an error naming both; the first's name when neither is
// given and that is allowed.
LogResult<std::pair<std::string_view, double>> oneOf(const RunCells& cells, std::string_view first,
                                                     std::string_view second, bool required) {
    const auto a = cells.number(first);
    const auto b = cells.number(second);
    if (a && b) return wrong("give " + key(first) + " or " + key(second) + ", not both");
    if (a) return std::pair(first, *a);
    if (b) return std::pair(second, *b);
    if (required) return wrong("give " + key(first) + " or " + key(second));
    return std::pair(std::string_view(), 0.0);  // neither, as allowed
}

LogStatus readAir(const RunCells& cells, Run& run) {
    const auto pressure = oneOf(cells, "station_pressure", "altimeter_setting", true);
    if (const LogError* error = logErrorOf(pressure)) return *error;
    const auto [pressureColumn, pascals] = std::get<std::pair<std::string_view, double>>(pressure);
    if (pressureColumn == "station_pressure") {
        run.air.pressure = raceday::StationPressure{pascals};
    } else if (const auto elevation = cells.number("altimeter_elevation")) {
        run.air.pressure = raceday::AltimeterSetting{pascals, *elevation};
    } else {
        return wrong("altimeter_setting needs altimeter_elevation");
    }
    const auto moisture = oneOf(cells, "humidity", "dew_point", false);
    if (const LogError* error = logErrorOf(moisture)) return *error;
    const auto [moistureColumn, value] = std::get<std::pair<std::string_view, double>>(moisture);
    if (moistureColumn == "humidity") run.air.moisture = raceday::RelativeHumidity{value};
    if (moistureColumn == "dew_point") run.air.moisture = raceday::DewPoint{value};
    return std::nullopt;
}

bool holdsNumbers(const LogColumn& column) {
    return column.kind == ColumnKind::Number || column.kind == ColumnKind::Jet;
}

// "speed_mph" or "speed_km/h"; "date_time".
std::string columnName(const LogColumn& column, raceday::UnitSystem system) {
    if (!column.quantity) return key(column.csv);
    return key(column.csv) + '_' +
           std::string(raceday::displayUnit(*column.quantity, system).symbol);
}

// The run the cells describe, its vehicle not yet set; or what is missing or
// contradictory, named by column.
LogResult<Run> assembleRun(const RunCells& cells) {
    for (std::size_t row = 0; row < logColumns.size(); ++row) {
        if (logColumns[row].required && !cells.texts.contains(row) &&
            !cells.numbers.contains(row)) {
            return wrong(key(logColumns[row].csv) + " is empty");
        }
    }
    Run run;
    const std::string when = trimmedText(cells.texts.at(columnNamed("date_time")));
    const auto moment = readDateTime(when);
    if (!moment) {
        return wrong("date_time \"" + when +
                     "\" is not a date and time such as 2024-06-01T14:30:00+02:00");
    }
    run.when = *moment;
    // The columns CSV and the runs table share: the air's readings are apart.
    for (std::size_t row = 0; row < logColumns.size(); ++row) {
        const LogColumn& column = logColumns[row];
        if (column.csv.empty() || column.sql.empty() || column.kind == ColumnKind::Moment ||
            column.kind == ColumnKind::Vehicle) {
            continue;
        }
        if (const auto text = cells.texts.find(row); text != cells.texts.end()) {
            column.set(run, text->second);
        } else if (const auto number = cells.numbers.find(row); number != cells.numbers.end()) {
            column.set(run, number->second);
        }
    }
    if (auto failed = readAir(cells, run)) return *failed;
    if (auto invalid = checkRun(run)) return *invalid;
    return run;
}

std::optional<CsvHeaderColumn> findColumn(std::string_view name) {
    for (std::size_t row = 0; row < logColumns.size(); ++row) {
        const LogColumn& column = logColumns[row];
        if (column.csv.empty()) continue;
        if (!column.quantity) {
            if (name == column.csv) return CsvHeaderColumn{row, nullptr};
            continue;
        }
        if (name.size() <= column.csv.size() || !name.starts_with(column.csv) ||
            name[column.csv.size()] != '_') {
            continue;
        }
        const auto* unit = raceday::findUnit(name.substr(column.csv.size() + 1),
                                             raceday::quantityInfo(*column.quantity).dimension);
        if (unit != nullptr) return CsvHeaderColumn{row, unit};
    }
    return std::nullopt;
}

// "11,92" where the file has decimal commas; "1.234,5" is no number there.
std::optional<double> readNumber(std::string_view text, bool decimalComma) {
    std::string trimmed = trimmedText(text);
    if (decimalComma && trimmed.find(',') != std::string::npos) {
        if (trimmed.find('.') != std::string::npos) return std::nullopt;
        std::replace(trimmed.begin(), trimmed.end(), ',', '.');
    }
    double value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [stop, error] = fromChars(trimmed.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// "speed_mph (or _km/h)": a column's name in either unit system.
std::string acceptedName(const LogColumn& column) {
    using raceday::UnitSystem;
    if (!column.quantity) return key(column.csv);
    const std::string_view imperial =
        raceday::displayUnit(*column.quantity, UnitSystem::Imperial).symbol;
    const std::string_view metric =
        raceday::displayUnit(*column.quantity, UnitSystem::Metric).symbol;
    return key(column.csv) + '_' + std::string(imperial) +
           (metric != imperial ? " (or _" + std::string(metric) + ")" : std::string());
}

// Why a header name is refused, with the names that are accepted.
std::string unknownColumn(const std::string& name) {
    for (std::size_t i = 0; i < csvColumnCount; ++i) {
        const LogColumn& column = csvColumn(i);
        if (column.quantity && name.starts_with(key(column.csv) + '_')) {
            return "the column \"" + name + "\" has a unit the run log does not know; name it " +
                   acceptedName(column) + " or with another unit of " + key(column.csv);
        }
    }
    std::string names;
    for (std::size_t i = 0; i < csvColumnCount; ++i) {
        names += (i == 0 ? "" : ", ") + acceptedName(csvColumn(i));
    }
    return "the column \"" + name + "\" is not one the run log keeps, and leaving it out could " +
           "mislead a prediction; the columns are " + names;
}

}  // namespace

std::string lineText(std::int64_t line) { return "line " + wholeText(line) + ": "; }

std::vector<std::string> runCsvHeader(raceday::UnitSystem system) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < csvColumnCount; ++i)
        names.push_back(columnName(csvColumn(i), system));
    return names;
}

std::vector<std::string> runCsvFields(const Run& run, std::string_view vehicleName,
                                      raceday::UnitSystem system) {
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < csvColumnCount; ++i) {
        const LogColumn& column = csvColumn(i);
        if (column.kind == ColumnKind::Moment) {
            cells.push_back(dateTimeText(run.when));
        } else if (column.kind == ColumnKind::Vehicle) {
            cells.emplace_back(vehicleName);
        } else if (!holdsNumbers(column)) {
            cells.push_back(columns_detail::textOf(column.get(run)));
        } else if (const auto value = columns_detail::optionalOf(column.get(run)); !value) {
            cells.emplace_back();
        } else if (column.quantity) {
            cells.push_back(exactText(*value, raceday::displayUnit(*column.quantity, system)));
        } else {
            cells.push_back(shortestText(*value));
        }
    }
    return cells;
}

bool isNumberColumn(std::size_t column) { return holdsNumbers(csvColumn(column)); }

std::string runCsvHeaderLine(raceday::UnitSystem system) { return csvLine(runCsvHeader(system)); }

std::string runCsvLine(const Run& run, std::string_view vehicleName, raceday::UnitSystem system,
                       CellShown shown) {
    std::vector<std::string> fields = runCsvFields(run, vehicleName, system);
    for (std::size_t column = 0; column < fields.size(); ++column) {
        if (!isNumberColumn(column)) fields[column] = guardedCell(fields[column]);
        if (shown != nullptr) fields[column] = shown(fields[column]);
    }
    return csvLine(fields);
}

std::string exactText(double si, const raceday::Unit& unit) {
    const double shown = raceday::fromSi(si, unit);
    // The fewest significant digits that read back to the same value.
    for (int digits = 1; digits <= std::numeric_limits<double>::max_digits10; ++digits) {
        char text[32];
        const auto end = toCharsGeneral(text, text + sizeof text, shown, digits).ptr;
        double candidate = 0;
        fromChars(text, end, candidate);
        if (raceday::toSi(candidate, unit) == si) return shortestText(candidate);
    }
    // No decimal converts back exactly; the nearest is as close as the unit allows.
    return shortestText(shown);
}

LogResult<CsvHeader> readCsvHeader(const CsvRecord& record, char separator) {
    const auto refuse = [&](const std::string& why) {
        return LogError{Problem::Invalid, lineText(record.line) + why + "; nothing was imported."};
    };
    if (!record.problem.empty()) return refuse(record.problem);
    CsvHeader header;
    header.decimalComma = separator == ';';
    if (header.decimalComma) {
        header.notes.push_back(lineText(record.line) +
                               "the columns are separated by semicolons, so numbers are read with "
                               "decimal commas (11,92)");
    }
    std::set<std::size_t> seen;
    for (const std::string& name : record.fields) {
        const std::string trimmed = trimmedText(name);
        auto column = findColumn(trimmed);
        if (!column) {
            const auto* spelling =
                std::find_if(columnSpellings.begin(), columnSpellings.end(),
                             [&](const ColumnSpelling& s) { return s.spelling == trimmed; });
            if (spelling != columnSpellings.end()) {
                column = findColumn(spelling->name);
                header.notes.push_back(lineText(record.line) + "the column \"" + trimmed +
                                       "\" is read as " + std::string(spelling->name));
            }
        }
        // A spreadsheet's trailing separator: readRunFields refuses a value under it.
        if (!column && trimmed.empty()) {
            header.columns.push_back(std::nullopt);
            continue;
        }
        if (!column) return refuse(unknownColumn(trimmed));
        if (!seen.insert(column->row).second) {
            return refuse("the column \"" + name + "\" appears twice");
        }
        header.columns.push_back(column);
    }
    for (std::size_t row = 0; row < logColumns.size(); ++row) {
        if (logColumns[row].required && !seen.contains(row)) {
            return refuse("the header has no column " + key(logColumns[row].csv));
        }
    }
    return header;
}

LogResult<CsvRun> readRunFields(const CsvHeader& header, const std::vector<std::string>& fields) {
    if (fields.size() != header.columns.size()) {
        return wrong(wholeText(fields.size()) + " fields where the header has " +
                     wholeText(header.columns.size()));
    }
    RunCells cells;
    for (std::size_t i = 0; i < header.columns.size(); ++i) {
        const auto& column = header.columns[i];
        const std::string& text = fields[i];
        if (trimmedText(text).empty()) continue;
        if (!column)
            return wrong("field " + wholeText(i + 1) + " holds \"" + text +
                         "\" under a column without a name");
        const LogColumn& info = logColumns[column->row];
        if (!holdsNumbers(info)) {
            cells.texts[column->row] = unguardedCell(text);
            continue;
        }
        const auto number = readNumber(text, header.decimalComma);
        if (!number) {
            return wrong(key(info.csv) + " \"" + text + "\" is not a number" +
                         (header.decimalComma ? " such as 11,92" : ""));
        }
        cells.numbers[column->row] =
            column->unit != nullptr ? raceday::toSi(*number, *column->unit) : *number;
    }
    auto run = assembleRun(cells);
    if (const LogError* error = logErrorOf(run)) return *error;
    return CsvRun{std::get<Run>(std::move(run)), cells.texts[columnNamed("vehicle")]};
}

LogResult<CsvRun> readCsvRun(const CsvHeader& header, const CsvRecord& record) {
    if (!record.problem.empty()) return wrong(lineText(record.line) + record.problem);
    auto run = readRunFields(header, record.fields);
    if (const LogError* error = logErrorOf(run))
        return wrong(lineText(record.line) + error->message);
    return run;
}

}  // namespace moravik::runlog
