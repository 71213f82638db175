#include "moravik/runlog/run_import.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <map>

#include "moravik/double_chars.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/prediction.h"
#include "moravik/runlog/run_cells.h"
#include "moravik/whole_text.h"

namespace moravik::runlog {
namespace {

// As a report shows a figure: six significant digits at most.
std::string figureText(double value) {
    char text[32];
    return {text, toCharsGeneral(text, text + sizeof text, value, 6).ptr};
}

std::string asciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Reads the file and adds its runs; `runs` is flushed every so many rows so
// memory stays bounded however long the file is.
class Importer {
public:
    Importer(ImportTarget& log, CsvImport& report, Moment now)
        : log_(log), report_(report), now_(now) {}

    LogStatus run(CsvReader& reader, const CsvHeader& header, const ImportProgress& progress) {
        CsvRecord record;
        while (reader.next(record)) {
            LogStatus failed = addRow(header, record);
            if (!failed && pending_.size() >= batchSize) failed = flush();
            if (!failed && progress && !progress(reader.bytesRead())) {
                failed =
                    LogError{Problem::Failed, "The import was cancelled; nothing was imported."};
            }
            if (failed) return failed;
        }
        return flush();
    }

private:
    static constexpr std::size_t batchSize = 1000;

    void note(const LogError& problem, std::int64_t line) {
        if (report_.problems.size() < maxCsvProblems) {
            report_.problems.push_back({line, problem.message});
        } else {
            ++report_.problemsLeftOut;
        }
    }

    LogResult<VehicleId> vehicleFor(const std::string& name) {
        const std::string trimmed = trimmedText(name);
        // Folded as the log's NOCASE collation folds names: ASCII letters only.
        const std::string key = asciiLower(trimmed);
        if (const auto found = vehicles_.find(key); found != vehicles_.end()) return found->second;
        auto existing = log_.vehicleNamed(name);
        if (const LogError* error = logErrorOf(existing);
            error && error->problem != Problem::NotFound) {
            return *error;
        }
        VehicleId id = 0;
        if (const auto* vehicle = std::get_if<Vehicle>(&existing)) {
            id = vehicle->id;
        } else if (report_.newVehicles.size() >= maxNewVehicles) {
            return LogError{Problem::Invalid, "the file names more than " +
                                                  wholeText(maxNewVehicles) +
                                                  " vehicles that are not in the log; \"" +
                                                  trimmed + "\" was not added"};
        } else {
            auto added = log_.addVehicle({0, trimmed, {}, {}});
            if (const LogError* error = logErrorOf(added)) return *error;
            id = std::get<VehicleId>(added);
            report_.newVehicles.push_back(trimmed);
        }
        vehicles_.emplace(key, id);
        return id;
    }

    // Only a failure of the log itself ends the import; a bad row is noted.
    LogStatus addRow(const CsvHeader& header, const CsvRecord& record) {
        auto row = readCsvRun(header, record);
        if (const LogError* error = logErrorOf(row)) {
            note(*error, record.line);
            return std::nullopt;
        }
        Run& parsed = std::get<CsvRun>(row).run;
        if (const auto future = futureDateProblem(parsed.when, now_)) {
            note({Problem::Invalid, lineText(record.line) + *future}, record.line);
            return std::nullopt;
        }
        auto vehicle = vehicleFor(std::get<CsvRun>(row).vehicleName);
        if (const LogError* error = logErrorOf(vehicle)) {
            if (error->problem != Problem::Invalid) return *error;
            note({Problem::Invalid, lineText(record.line) + error->message}, record.line);
            return std::nullopt;
        }
        parsed.vehicleId = std::get<VehicleId>(vehicle);
        return addUnlessKnown(parsed, record.line);
    }

    // Against the runs on its jet logged before the import.
    LogStatus noteOutlier(const Run& run, std::int64_t line) {
        const std::pair key{run.vehicleId, matchedJet(run.nitrousJetInches)};
        auto logged = logged_.find(key);
        if (logged == logged_.end()) {
            auto found = log_.recentRuns(run.vehicleId, run.nitrousJetInches, runsToJudgeBy);
            if (const LogError* error = logErrorOf(found)) return *error;
            logged = logged_
                         .emplace(key, runsOnAJet(std::get<std::vector<Run>>(found),
                                                  raceday::defaultStandard))
                         .first;
        }
        if (report_.outliers.size() < maxCsvProblems &&
            farFromLoggedRuns(run, logged->second, raceday::defaultStandard)) {
            report_.outliers.push_back({line, lineText(line) + "ET " + figureText(run.etSeconds) +
                                                  " s is far from this vehicle's other runs (" +
                                                  jetRunsText(run.nitrousJetInches) + ")"});
        }
        return std::nullopt;
    }

    // A vehicle runs once at a moment: a run already logged, or earlier in the
    // file (in the log already unless still pending), is not added twice. The
    // same values again are a repeat; others are a conflict, named by column.
    LogStatus addUnlessKnown(const Run& run, std::int64_t line) {
        std::optional<Run> known;
        const std::pair key{run.vehicleId, millisecondsOf(run.when)};
        if (const auto found = pendingRuns_.find(key); found != pendingRuns_.end()) {
            known = found->second;
        } else {
            auto logged = log_.runAt(run.vehicleId, run.when);
            if (const LogError* error = logErrorOf(logged)) return *error;
            known = std::get<std::optional<Run>>(std::move(logged));
        }
        if (!known) {
            if (auto failed = noteOutlier(run, line)) return failed;
            pendingRuns_.emplace(key, run);
            pending_.push_back(run);
            return std::nullopt;
        }
        const std::string differing = differingColumns(*known, run);
        if (differing.empty()) {
            ++report_.repeats;
            return std::nullopt;
        }
        note({Problem::Invalid, lineText(line) + "this vehicle already has a run at " +
                                    dateTimeText(run.when) + " with other values for " + differing},
             line);
        return std::nullopt;
    }

    LogStatus flush() {
        if (auto failed = log_.addRuns(pending_)) return failed;
        report_.imported += static_cast<int>(pending_.size());
        pending_.clear();
        pendingRuns_.clear();
        return std::nullopt;
    }

    ImportTarget& log_;
    CsvImport& report_;
    std::map<std::string, VehicleId> vehicles_;  // by folded name
    // By vehicle and jet, as the log matches them.
    std::map<std::pair<VehicleId, std::optional<raceday::Jet>>, RunsOnAJet> logged_;
    std::vector<Run> pending_;
    std::map<std::pair<VehicleId, std::int64_t>, Run> pendingRuns_;  // by vehicle, ms since 1970
    Moment now_;
};

}  // namespace

LogResult<CsvImport> importRunsInto(ImportTarget& target, std::istream& in,
                                    const ImportProgress& progress, std::optional<Moment> now) {
    CsvReader reader(in);
    CsvRecord first;
    if (!reader.next(first)) {
        return LogError{Problem::Invalid, "line 1: the file is empty; nothing was imported."};
    }
    auto header = readCsvHeader(first, reader.separator());
    if (const LogError* error = logErrorOf(header)) return *error;
    CsvImport report;
    report.notes = std::get<CsvHeader>(header).notes;
    const Moment clock = now.value_or(
        std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now()));
    if (auto failed =
            Importer(target, report, clock).run(reader, std::get<CsvHeader>(header), progress)) {
        return *failed;
    }
    return report;
}

std::optional<std::string> futureDateProblem(Moment when, Moment now) {
    using std::chrono::days;
    const auto dayAfterTomorrow = std::chrono::floor<days>(now) + days(2);
    if (when < dayAfterTomorrow) return std::nullopt;
    return "the date " + dateTimeText(when) + " is later than tomorrow by this machine's clock (" +
           dateTimeText(now) + "); check the date, and the clock";
}

std::vector<std::string> importNotes(const CsvImport& report) {
    std::vector<std::string> notes = report.notes;
    if (report.repeats > 0) {
        notes.push_back(wholeText(report.repeats) +
                        (report.repeats == 1 ? " row repeats a run" : " rows repeat runs") +
                        " already logged, value for value; not added again");
    }
    return notes;
}

std::string differingColumns(const Run& logged, const Run& other) {
    // Within a few units of the last bit: a value typed in other units than
    // an export's comes back within one.
    const auto same = [](const Cell& a, const Cell& b) {
        const auto* x = std::get_if<double>(&a);
        const auto* y = std::get_if<double>(&b);
        if (x == nullptr || y == nullptr) return a == b;
        return std::abs(*x - *y) <= 1e-12 * std::max(std::abs(*x), std::abs(*y));
    };
    std::string names;
    for (std::size_t i = 0; i < csvColumnCount; ++i) {
        const LogColumn& column = csvColumn(i);
        if (column.kind == ColumnKind::Moment || column.kind == ColumnKind::Vehicle) continue;
        if (!same(column.get(logged), column.get(other)))
            names.append(names.empty() ? "" : ", ").append(column.csv);
    }
    return names;
}

}  // namespace moravik::runlog
