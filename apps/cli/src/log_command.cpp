// moravik-calc log: runs and predict read the run log read-only; import and
// export move runs in and out of it as the Race Day window does.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "command_line.h"
#include "moravik/answers/answers.h"
#include "moravik/answers/decimal_text.h"
#include "moravik/answers/shown_text.h"
#include "moravik/cli/app.h"
#include "moravik/double_chars.h"
#include "moravik/raceday/weather_text.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/log_prediction.h"
#include "moravik/runlog/prediction_report.h"
#include "moravik/runlog/run_csv.h"
#include "raceday_cli.h"
#include "text_table.h"

namespace moravik::cli {
namespace {

using runlog::RunLog;

// How a log subcommand ends without its result: a usage error (status 2) or a
// run log that cannot be read or written (status 3), and the message for the user.
struct CommandFailure {
    ExitStatus status;
    std::string message;
};

template <typename T>
using CommandResult = std::variant<T, CommandFailure>;

CommandFailure usageFailure(std::string message) {
    return {ExitStatus::UsageError, std::move(message)};
}

CommandFailure logFailure(std::string message) {
    return {ExitStatus::InputOutputError, std::move(message)};
}

template <typename T>
const CommandFailure* failureOf(const CommandResult<T>& result) {
    return std::get_if<CommandFailure>(&result);
}

template <typename T>
CommandResult<T> required(raceday::Outcome<T> outcome,
                          std::initializer_list<raceday::FieldOption> options = {}) {
    if (const auto* error = raceday::errorOf(outcome))
        return usageFailure(raceday::refusal(*error, options).message());
    return std::get<T>(std::move(outcome));
}

template <typename T>
CommandResult<T> required(raceday::Answered<T> answered) {
    if (const auto* refusal = std::get_if<raceday::Refusal>(&answered))
        return usageFailure(refusal->message());
    return std::get<T>(std::move(answered));
}

struct LogRunsOptions {
    CommonOptions common;
    std::string vehicle;
    bool csv = false;
};

struct LogImportOptions {
    std::string file;
};

// One run typed as options: each CSV column's text, in the order of the CSV.
struct LogAddOptions {
    CommonOptions common;
    std::array<std::string, runlog::csvColumnCount> texts;
};

struct LogExportOptions {
    CommonOptions common;
    std::string vehicle, output;
    bool csv = true;  // the one format: the window's CSV
};

struct LogPredictOptions {
    CommonOptions common;
    std::string vehicle, now, nitrousJet;
    std::string standard{raceday::standardName(raceday::defaultStandard).key};
    int recent = runlog::defaultRecentRuns;
    std::vector<runlog::RunId> excluded, included;
    std::string method{runlog::dialInMethodName(runlog::defaultDialInMethod)};
    std::string margin;
    int intervalPercent = static_cast<int>(std::lround(runlog::defaultIntervalProbability * 100));
};

std::string logPath(const std::string& database) {
    return database.empty() ? RunLog::defaultPath() : database;
}

// What SQLite or a stream would misname, block on or read without end: a
// folder, a device or a FIFO, or a file we may not read. `what` names it.
std::optional<CommandFailure> notAFile(const std::string& path, const std::string& what) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    if (S_ISDIR(status.st_mode)) return logFailure(what + " is a directory; give a file");
    if (!S_ISREG(status.st_mode))
        return logFailure(what + " is not a file (a device or a pipe); give a file");
    if (::access(path.c_str(), R_OK) != 0)
        return logFailure("cannot read " + what + ": permission denied");
    return std::nullopt;
}

CommandResult<std::unique_ptr<RunLog>> openLog(const std::string& database) {
    const std::string path = logPath(database);
    if (auto refused = notAFile(path, "the run log " + quotedText(path))) return *refused;
    auto log = RunLog::open(path, {.access = runlog::Access::ReadOnly});
    if (const auto* error = runlog::logErrorOf(log)) return logFailure(error->message);
    auto opened = std::get<std::unique_ptr<RunLog>>(std::move(log));
    // Figures from a damaged log could be wrong without showing it.
    if (const auto& damage = opened->damage()) return logFailure(damage->message);
    return opened;
}

// The runs a read left out, as the command's failure once its output is
// written: the other runs are sound, but the log is not whole.
std::optional<CommandFailure> leftOutFailure(const RunLog& log) {
    const auto& leftOut = log.leftOut();
    if (leftOut.empty()) return std::nullopt;
    constexpr std::size_t listed = 5;
    std::string message = "the run log " + quotedText(log.path()) + ": ";
    for (std::size_t i = 0; i < leftOut.size() && i < listed; ++i) {
        message += (i == 0 ? "run " : "; run ") + decimalText(leftOut[i].id) +
                   " was left out, as " + leftOut[i].reason;
    }
    if (leftOut.size() > listed)
        message += "; and " + decimalText(leftOut.size() - listed) + " more runs were left out";
    return logFailure(message);
}

// A run log's error as the command's: input it calls invalid is a usage error.
CommandFailure failureOfLog(const runlog::LogError& error) {
    return error.problem == runlog::Problem::Invalid ? usageFailure(error.message)
                                                     : logFailure(error.message);
}

template <typename T>
CommandResult<T> readFromLog(runlog::LogResult<T> result) {
    if (const auto* error = runlog::logErrorOf(result)) return failureOfLog(*error);
    return std::get<T>(std::move(result));
}

CommandResult<runlog::Vehicle> vehicleNamed(RunLog& log, const std::string& name) {
    auto vehicle = log.vehicleNamed(name);
    if (const auto* error = runlog::logErrorOf(vehicle);
        error != nullptr && error->problem == runlog::Problem::NotFound) {
        const auto vehicles = readFromLog(log.vehicles());
        if (const auto* failure = failureOf(vehicles)) return *failure;
        std::string known;
        for (const auto& each : std::get<std::vector<runlog::Vehicle>>(vehicles))
            known.append(known.empty() ? "" : ", ").append(quotedText(each.name));
        return usageFailure("--vehicle: no vehicle named " + quotedText(name) +
                            " in the run log; it has " + (known.empty() ? "none" : known));
    }
    return readFromLog(std::move(vehicle));
}

// Names longer than this are cut in reports, so that one fits a terminal's line.
constexpr std::size_t longestName = 80;

// Characters, not bytes: what a terminal shows of UTF-8 text.
std::size_t shownWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The first `characters` characters of UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t characters) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && seen++ == characters) break;
    }
    return text.substr(0, end);
}

CommandResult<std::map<runlog::VehicleId, std::string>> vehicleNames(RunLog& log) {
    auto vehicles = readFromLog(log.vehicles());
    if (const auto* failure = failureOf(vehicles)) return *failure;
    std::map<runlog::VehicleId, std::string> names;
    for (auto& vehicle : std::get<std::vector<runlog::Vehicle>>(vehicles))
        names.emplace(vehicle.id, vehicle.name);
    return names;
}

// The table as the window shows it, oldest first, without the notes: read
// once to measure the columns and again for each table of 80 columns.
runlog::LogStatus printTable(RunLog& log, const runlog::RunFilter& filter,
                             const std::map<runlog::VehicleId, std::string>& names,
                             raceday::UnitSystem system, std::ostream& out) {
    // Names beyond this are cut, so that a long one cannot widen the table.
    constexpr std::size_t widestName = 20;
    const std::size_t columns = runlog::tableColumnCount - 1;
    std::vector<std::string> heading;
    std::vector<Align> align;
    for (std::size_t column = 0; column < columns; ++column) {
        const runlog::LogColumn& info = runlog::tableColumn(column);
        heading.emplace_back(info.title);
        align.push_back(runlog::isNumberKind(info.kind) ? Align::Right : Align::Left);
    }
    runlog::LogStatus failed;
    const RowSource rows = [&](const std::function<void(const std::vector<std::string>&)>& each) {
        std::vector<std::string> cells;
        failed = log.eachRun(filter, [&](const runlog::Run& run) {
            cells.clear();
            const auto name = names.find(run.vehicleId);
            for (std::size_t column = 0; column < columns; ++column) {
                std::string cell = escapedText(
                    runlog::shownText(runlog::tableColumn(column), run,
                                      name != names.end() ? name->second : std::string(), system));
                if (shownWidth(cell) > widestName)
                    cell = firstCharacters(cell, widestName - 3) + "...";
                cells.push_back(std::move(cell));
            }
            each(cells);
            return static_cast<bool>(out);
        });
        return !failed;
    };
    streamedTable(heading, align, rows, out);
    return failed;
}

// Each run as a JSON object whose keys are the CSV column names, one a line;
// numbers as they were typed.
runlog::LogStatus printJson(RunLog& log, const runlog::RunFilter& filter,
                            const std::map<runlog::VehicleId, std::string>& names,
                            raceday::UnitSystem system, std::ostream& out) {
    const std::vector<std::string> header = runlog::runCsvHeader(system);
    out << '[';
    bool first = true;
    const auto failed = log.eachRun(filter, [&](const runlog::Run& run) {
        JsonDocument object;
        object["id"] = run.id;
        const auto name = names.find(run.vehicleId);
        const std::vector<std::string> fields =
            runlog::runCsvFields(run, name != names.end() ? name->second : std::string(), system);
        for (std::size_t column = 0; column < header.size(); ++column) {
            const std::string& text = fields[column];
            if (!runlog::isNumberColumn(column)) {
                object[header[column]] = text;
                continue;
            }
            double value = 0;
            if (!text.empty()) moravik::fromChars(text.data(), text.data() + text.size(), value);
            object[header[column]] =
                !text.empty() && std::isfinite(value) ? JsonDocument(value) : nullptr;
        }
        out << (first ? "\n" : ",\n") << jsonText(object, NumberDigits::Shortest);
        first = false;
        return static_cast<bool>(out);
    });
    out << "\n]\n";
    return failed;
}

// CSV is written byte for byte to a file or a pipe; on a terminal its cells'
// control characters are escaped, as every text shown there is.
CommandResult<ExitStatus> printRuns(const std::string& database, const LogRunsOptions& o,
                                    std::ostream& out, bool outputIsTerminal) {
    const auto system = required(o.common.system());
    if (const auto* failure = failureOf(system)) return *failure;
    auto opened = openLog(database);
    if (const auto* failure = failureOf(opened)) return *failure;
    RunLog& log = *std::get<std::unique_ptr<RunLog>>(opened);
    runlog::RunFilter filter;
    if (!o.vehicle.empty()) {
        const auto vehicle = vehicleNamed(log, o.vehicle);
        if (const auto* failure = failureOf(vehicle)) return *failure;
        filter.vehicleId = std::get<runlog::Vehicle>(vehicle).id;
    }
    const raceday::UnitSystem units = std::get<raceday::UnitSystem>(system);
    // The runs are written as they are read, never all held: one read, so
    // that each pass over them sees the same runs while another program writes.
    const runlog::LogStatus failed = log.asOneRead([&]() -> runlog::LogStatus {
        if (o.csv) {
            return runlog::exportRunsCsv(log, filter, units, out,
                                         outputIsTerminal ? escapedText : nullptr);
        }
        const auto names = vehicleNames(log);
        if (const auto* failure = failureOf(names)) {
            return runlog::LogError{runlog::Problem::Failed, failure->message};
        }
        const auto& namesById = std::get<std::map<runlog::VehicleId, std::string>>(names);
        return o.common.json ? printJson(log, filter, namesById, units, out)
                             : printTable(log, filter, namesById, units, out);
    });
    if (failed) return failureOfLog(*failed);
    if (auto failure = leftOutFailure(log)) return *failure;
    return ExitStatus::Success;
}

std::string_view axisKey(runlog::FitAxis axis) {
    return axis == runlog::FitAxis::CorrectionFactor ? "correction_factor" : "density_altitude";
}

JsonDocument predictionJson(const runlog::LogPrediction& p, const runlog::DialIn& dial,
                            raceday::Standard standard) {
    const double mphPerMetrePerSecond = 1 / raceday::metresPerSecondPerMph;
    const runlog::DialInFigures& chosen = dial.chosen();
    JsonDocument json;
    json["standard"] = raceday::standardName(standard).key;
    json["runs_used"] = p.used;
    json["lowest_corrected_et_s"] = jsonNumber(p.lowestCorrectedEt);
    json["highest_corrected_et_s"] = jsonNumber(p.highestCorrectedEt);
    json["average_corrected_et_s"] = jsonNumber(p.averageCorrected.etSeconds);
    json["average_corrected_mph"] = jsonNumber(p.averageCorrected.speed * mphPerMetrePerSecond);
    json["correction_factor_now"] = jsonNumber(p.todayFactor);
    json["predicted_et_s"] = jsonNumber(chosen.et.value);
    json["predicted_mph"] = jsonNumber(chosen.speed.value * mphPerMetrePerSecond);
    json["runs_on"] = runlog::jetRunsText(p.jetInches);
    if (p.jetInches) json["jet_in"] = jsonNumber(*p.jetInches);
    json["dial_in_s"] = jsonNumber(dial.dialInSeconds());
    json["margin_s"] = jsonNumber(dial.marginSeconds);
    json["method"] = runlog::dialInMethodName(dial.method);
    json["method_reason"] = dial.reason;
    if (dial.fitAxis) json["fit_axis"] = axisKey(*dial.fitAxis);
    // Without a second run there is no spread, so no interval and no error: the keys are left out.
    if (chosen.hasInterval) {
        json["interval_percent"] = jsonNumber(std::round(dial.probability * 100));
        json["predicted_et_low_s"] = jsonNumber(chosen.et.low);
        json["predicted_et_high_s"] = jsonNumber(chosen.et.high);
        json["predicted_mph_low"] = jsonNumber(chosen.speed.low * mphPerMetrePerSecond);
        json["predicted_mph_high"] = jsonNumber(chosen.speed.high * mphPerMetrePerSecond);
    }
    if (chosen.leaveOneOutEtSeconds)
        json["leave_one_out_error_s"] = jsonNumber(*chosen.leaveOneOutEtSeconds);
    if (dial.scaling.leaveOneOutEtSeconds)
        json["scaling_leave_one_out_error_s"] = jsonNumber(*dial.scaling.leaveOneOutEtSeconds);
    if (dial.fit) json["fit_leave_one_out_error_s"] = jsonNumber(*dial.fit->leaveOneOutEtSeconds);
    JsonDocument& runs = json["runs"] = JsonDocument::array();
    for (const auto& run : p.runs) {
        runs.push_back({
            {"id", run.run.id},
            {"date_time", runlog::dateTimeText(run.run.when)},
            {"et_s", jsonNumber(run.run.etSeconds)},
            {"mph", jsonNumber(run.run.speed * mphPerMetrePerSecond)},
            {"correction_factor", jsonNumber(run.factor)},
            {"corrected_et_s", jsonNumber(run.corrected.etSeconds)},
            {"corrected_mph", jsonNumber(run.corrected.speed * mphPerMetrePerSecond)},
            {"excluded", run.excluded},
            {"far_from_others", run.farFromOthers},
        });
    }
    return json;
}

void printPredictionReport(const std::string& vehicle, const runlog::LogPrediction& p,
                           const runlog::DialIn& dial, raceday::Standard standard,
                           raceday::UnitSystem system, std::ostream& out) {
    using raceday::Quantity;
    const auto shown = [system](double si, Quantity quantity) {
        return raceday::displayText(si, quantity, system);
    };
    out << "Prediction from the log (" << raceday::standardName(standard).title << ")\n";
    constexpr std::size_t widestName = 48;
    reportLine(out, "Vehicle:", shortEscapedText(vehicle, widestName));
    for (const auto& run : p.runs) {
        // Two lines a run keep the report within 80 columns.
        out << "  run " << decimalText(run.run.id) << "  " << runlog::localMinuteText(run.run.when)
            << "  " << shown(run.run.etSeconds, Quantity::Time) << "  "
            << shown(run.run.speed, Quantity::Speed) << "  factor "
            << raceday::factorText(run.factor) << "\n      corrected "
            << shown(run.corrected.etSeconds, Quantity::Time) << "  "
            << shown(run.corrected.speed, Quantity::Speed)
            << (run.farFromOthers ? "  (left out: far from the other runs)"
                : run.excluded    ? "  (excluded)"
                                  : "")
            << '\n';
    }
    for (const auto& [label, text] : runlog::predictionSummary(p, dial, system))
        reportLine(out, label, text);
}

CommandResult<ExitStatus> printPrediction(const std::string& database, const LogPredictOptions& o,
                                          std::ostream& out) {
    const auto units = required(o.common.system());
    if (const auto* failure = failureOf(units)) return *failure;
    const raceday::UnitSystem system = std::get<raceday::UnitSystem>(units);
    const auto standardRead = required(raceday::readStandard(o.standard));
    if (const auto* failure = failureOf(standardRead)) return *failure;
    const raceday::Standard standard = std::get<raceday::Standard>(standardRead);
    const auto todayRead =
        required(raceday::parseWeather(o.now, system), {{raceday::Field::Labelled, "--now"}});
    if (const auto* failure = failureOf(todayRead)) return *failure;
    const raceday::Weather today = std::get<raceday::Weather>(todayRead);
    const auto todayEvaluated = required(raceday::evaluated(today, "--now"));
    if (const auto* failure = failureOf(todayEvaluated)) return *failure;
    const auto methodRead = runlog::readDialInMethod(o.method);
    if (const auto* error = raceday::errorOf(methodRead))
        return usageFailure("--method: " + error->message);
    const runlog::DialInMethod method = std::get<runlog::DialInMethod>(methodRead);
    const auto marginRead = runlog::readDialInMargin(o.margin);
    if (const auto* error = raceday::errorOf(marginRead))
        return usageFailure("--margin: " + error->message);
    const double margin = std::get<double>(marginRead);
    auto opened = openLog(database);
    if (const auto* failure = failureOf(opened)) return *failure;
    RunLog& log = *std::get<std::unique_ptr<RunLog>>(opened);
    const auto vehicleFound = vehicleNamed(log, o.vehicle);
    if (const auto* failure = failureOf(vehicleFound)) return *failure;
    const runlog::Vehicle& vehicle = std::get<runlog::Vehicle>(vehicleFound);
    const auto jetRead = runlog::readNitrousJet(o.nitrousJet);
    if (const auto* error = raceday::errorOf(jetRead))
        return usageFailure("--nitrous-jet: " + error->message);
    const std::optional<double> jet = std::get<std::optional<double>>(jetRead);
    runlog::PredictionRequest request{.vehicle = vehicle.id,
                                      .nitrousJetInches = jet,
                                      .today = today,
                                      .standard = standard,
                                      .recentRuns = o.recent,
                                      .excluded = o.excluded,
                                      .included = o.included};
    const auto predicted = readFromLog(runlog::predictFromLog(log, request));
    if (const auto* failure = failureOf(predicted)) return *failure;
    const runlog::LogPrediction& prediction = std::get<runlog::LogPrediction>(predicted);
    for (const auto& [flag, runs] :
         {std::pair{"--exclude", &o.excluded}, {"--include", &o.included}}) {
        for (const runlog::RunId run : *runs) {
            if (std::ranges::none_of(prediction.runs,
                                     [run](const auto& r) { return r.run.id == run; }))
                return usageFailure(std::string(flag) + ": run " + decimalText(run) +
                                    " is not among the " + decimalText(prediction.runs.size()) +
                                    " recent runs of " + quotedText(o.vehicle) +
                                    " that the prediction uses");
        }
    }
    const auto dialed =
        required(runlog::dialIn(prediction, today, method, o.intervalPercent / 100.0, margin),
                 {{raceday::Field::Runs, "--method fit"}});
    if (const auto* failure = failureOf(dialed)) return *failure;
    const runlog::DialIn& dial = std::get<runlog::DialIn>(dialed);
    if (o.common.json) {
        const auto json =
            raceday::figuresJson([&] { return predictionJson(prediction, dial, standard); });
        if (const auto* fault = std::get_if<Fault>(&json))
            return CommandFailure{
                ExitStatus::ArithmeticFault,
                "the calculation ended in an arithmetic fault: " + std::string(faultName(*fault))};
        out << jsonText(std::get<JsonDocument>(json)) << '\n';
    } else {
        printPredictionReport(vehicle.name, prediction, dial, standard, system, out);
    }
    if (auto failure = leftOutFailure(log)) return *failure;
    return ExitStatus::Success;
}

struct LogParsers {
    CLI::App* log;
    CLI::App* runs;
    CLI::App* predict;
    CLI::App* import = nullptr;
    CLI::App* exporter = nullptr;
    CLI::App* adder = nullptr;
    std::string database;
    LogRunsOptions runsOptions;
    LogPredictOptions predictOptions;
    LogImportOptions importOptions;
    LogExportOptions exportOptions;
    LogAddOptions addOptions;
};

// The window's import: rows left out are listed by line, and any makes the
// status 2; repeats of logged runs are only noted. "-" reads standard input.
CommandResult<ExitStatus> importRuns(const std::string& database, const LogImportOptions& o,
                                     CommandStreams& io) {
    const bool standardInput = o.file == "-";
    const std::string name = standardInput ? "standard input" : escapedText(o.file);
    std::ifstream file;
    if (!standardInput) {
        if (auto refused = notAFile(o.file, quotedText(o.file))) return *refused;
        file.open(o.file, std::ios::binary);
        if (!file) return logFailure(name + " could not be read: " + std::strerror(errno));
    }
    const std::string path = logPath(database);
    if (auto refused = notAFile(path, "the run log " + quotedText(path))) return *refused;
    // SQLite takes an empty file for an empty database; the readers do not.
    if (struct stat status{}; ::stat(path.c_str(), &status) == 0 && status.st_size == 0)
        return logFailure("The file " + escapedText(path) +
                          " is not a run log of Race Day: it is empty.");
    auto opened = RunLog::open(path);
    if (const auto* error = runlog::logErrorOf(opened)) return logFailure(error->message);
    auto& log = *std::get<std::unique_ptr<RunLog>>(opened);
    const auto result = runlog::importRunsCsv(log, standardInput ? io.in : file);
    if (const auto* error = runlog::logErrorOf(result)) {
        if (error->problem == runlog::Problem::Invalid)
            return usageFailure(name + ", " + error->message);
        return logFailure(error->message);
    }
    const auto& report = std::get<runlog::CsvImport>(result);
    io.out << decimalText(report.imported) << (report.imported == 1 ? " run" : " runs")
           << " imported from " << name << '\n';
    if (!report.newVehicles.empty()) {
        io.out << "New vehicles: ";
        for (std::size_t i = 0; i < report.newVehicles.size(); ++i)
            io.out << (i == 0 ? "" : ", ") << shortEscapedText(report.newVehicles[i], longestName);
        io.out << '\n';
    }
    for (const std::string& note : runlog::importNotes(report))
        io.notes << name << ", " << escapedText(note) << '\n';
    for (const auto& outlier : report.outliers)
        io.notes << name << ", " << escapedText(outlier.message) << " (imported)\n";
    if (report.problems.empty()) return ExitStatus::Success;
    for (const auto& problem : report.problems)
        io.err << name << ", " << escapedText(problem.message) << " (left out)\n";
    if (report.problemsLeftOut > 0) {
        io.err << "and " << decimalText(report.problemsLeftOut) << " more rows left out\n";
    }
    return ExitStatus::UsageError;
}

// The run dialog's checks, then one more run in the log; a run that is there
// already, value for value, is only noted.
CommandResult<ExitStatus> addRun(const std::string& database, const LogAddOptions& o,
                                 CommandStreams& io) {
    const auto units = required(o.common.system());
    if (const auto* failure = failureOf(units)) return *failure;
    const raceday::UnitSystem system = std::get<raceday::UnitSystem>(units);
    const auto names = runlog::runCsvHeader(system);
    const auto header = std::get<runlog::CsvHeader>(runlog::readCsvHeader({1, names, {}}));
    const auto now =
        std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
    std::vector<std::string> fields(o.texts.begin(), o.texts.end());
    std::string& when = fields[runlog::columnNamed("date_time")];
    if (when.empty()) when = runlog::dateTimeText(now);
    const auto read = runlog::readRunFields(header, fields);
    if (const auto* error = runlog::logErrorOf(read)) return usageFailure(error->message);
    runlog::Run run = std::get<runlog::CsvRun>(read).run;
    if (const auto future = runlog::futureDateProblem(run.when, now))
        return usageFailure("--date-time: " + *future);
    auto opened = RunLog::open(logPath(database));
    if (const auto* error = runlog::logErrorOf(opened)) return logFailure(error->message);
    RunLog& log = *std::get<std::unique_ptr<RunLog>>(opened);
    const std::string& name = fields[runlog::columnNamed("vehicle")];
    const auto vehicle = vehicleNamed(log, name);
    if (const auto* failure = failureOf(vehicle)) return *failure;
    run.vehicleId = std::get<runlog::Vehicle>(vehicle).id;
    const std::string shownName =
        shortEscapedText(std::get<runlog::Vehicle>(vehicle).name, longestName);
    const auto logged =
        readFromLog(log.runs({.vehicleId = run.vehicleId, .from = run.when, .to = run.when}));
    if (const auto* failure = failureOf(logged)) return *failure;
    for (const runlog::Run& known : std::get<std::vector<runlog::Run>>(logged)) {
        const auto differing = runlog::differingColumns(known, run);
        if (differing.empty()) {
            io.notes << "Run " << decimalText(known.id) << " of " << shownName << " at "
                     << runlog::dateTimeText(run.when) << " is logged already; nothing added\n";
            return ExitStatus::Success;
        }
        return usageFailure(shownName + " already has run " + decimalText(known.id) + " at " +
                            runlog::dateTimeText(run.when) + " with other values for " + differing);
    }
    const auto added = readFromLog(log.addRun(run));
    if (const auto* failure = failureOf(added)) return *failure;
    io.out << "Run " << decimalText(std::get<runlog::RunId>(added)) << " added for " << shownName
           << " at " << runlog::dateTimeText(run.when) << '\n';
    return ExitStatus::Success;
}

// "--strip-elevation" for strip_elevation; the jet as predict names it.
std::string addOptionName(const runlog::LogColumn& column) {
    if (column.kind == runlog::ColumnKind::Jet) return "--nitrous-jet";
    std::string name = "--" + std::string(column.csv);
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

void addLogAddCommand(LogParsers& p) {
    p.adder = p.log->add_subcommand("add", "Log one run, with the checks of Race Day's run dialog");
    for (std::size_t i = 0; i < runlog::csvColumnCount; ++i) {
        const runlog::LogColumn& column = runlog::csvColumn(i);
        // Numbers are read as a CSV row is, bare in the units of --units.
        std::string help = std::string(column.csv);
        if (column.quantity) {
            using raceday::UnitSystem;
            const auto symbol = [&](UnitSystem system) {
                return std::string(raceday::displayUnit(*column.quantity, system).symbol);
            };
            help += " in " + symbol(UnitSystem::Imperial);
            if (symbol(UnitSystem::Metric) != symbol(UnitSystem::Imperial))
                help += ", or " + symbol(UnitSystem::Metric) + " with --units metric";
        }
        if (column.kind == runlog::ColumnKind::Moment)
            help = "When the run was made, such as 2024-06-01T14:30:00+02:00; default now";
        if (column.kind == runlog::ColumnKind::Vehicle) help = "A vehicle of the log";
        if (column.kind == runlog::ColumnKind::Jet) help = "The nitrous jet in inches, if any";
        auto* option = p.adder->add_option(addOptionName(column), p.addOptions.texts[i], help);
        option->type_name(column.kind == runlog::ColumnKind::Text      ? "TEXT"
                          : column.kind == runlog::ColumnKind::Moment  ? "WHEN"
                          : column.kind == runlog::ColumnKind::Vehicle ? "NAME"
                                                                       : "NUMBER");
        if (column.kind == runlog::ColumnKind::Vehicle) option->required();
    }
    p.addOptions.common.addTo(*p.adder);
    p.adder->remove_option(p.adder->get_option("--json"));
    p.adder->get_option("--units")->description(
        "Units of the numbers: imperial (ft, mph, F, inHg) or metric (m, km/h, C, hPa); default "
        "imperial");
    p.adder->footer(
        "Give --et, --speed, --temperature and --station-pressure, or --altimeter-setting\n"
        "with --altimeter-elevation; --humidity or --dew-point if known.\n"
        "Example:\n  moravik-calc log add --vehicle Camaro --et 11.92 --speed 115.4 \\\n"
        "      --temperature 72 --station-pressure 29.12 --humidity 40\n");
}

CommandResult<ExitStatus> exportRuns(const std::string& database, const LogExportOptions& o,
                                     std::ostream& out, bool outputIsTerminal) {
    return printRuns(database, {o.common, o.vehicle, true}, out, outputIsTerminal);
}

void addLogImportExportCommands(LogParsers& p) {
    p.import = p.log->add_subcommand(
        "import", "Add the runs of a CSV file as Race Day imports them, row by row");
    p.import->add_option("FILE", p.importOptions.file, "The CSV file; - for standard input")
        ->type_name("FILE.csv")
        ->required();
    p.import->footer(
        "A header naming a column the log does not keep imports nothing. Rows that cannot\n"
        "be read, are dated later than tomorrow, or give other values for a vehicle's run\n"
        "at a logged time are left out and listed by line; the others are imported and\n"
        "the exit status is 2. A row repeating a logged run is only noted (status 0).\n"
        "Semicolon-separated files are read with decimal commas (11,92).");
    p.exporter = p.log->add_subcommand("export", "Write the runs as CSV, as Race Day exports them");
    p.exporter
        ->add_option("OUTPUT", p.exportOptions.output,
                     "- for standard output, where the runs go in any case")
        ->type_name("-")
        ->check(CLI::Validator(
            [](const std::string& output) {
                return output == "-" ? std::string()
                                     : std::string(
                                           "give - for standard output, or nothing, and "
                                           "redirect it: > runs.csv");
            },
            "", ""));
    p.exporter->add_option("--vehicle", p.exportOptions.vehicle, "Only the runs of this vehicle")
        ->type_name("NAME");
    p.exporter->add_flag("--csv", p.exportOptions.csv, "CSV, the one format (the default)");
    p.exportOptions.common.addTo(*p.exporter);
    p.exporter->remove_option(p.exporter->get_option("--json"));
}

void addLogRunsCommand(LogParsers& p) {
    p.runs = p.log->add_subcommand("runs", "List the runs, oldest first");
    p.runs->footer("");
    p.runs->add_option("--vehicle", p.runsOptions.vehicle, "Only the runs of this vehicle")
        ->type_name("NAME");
    p.runsOptions.common.addTo(*p.runs);
    p.runs->get_option("--json")->description(
        "Print a JSON array of one object a run, keyed by the CSV column names");
    p.runs
        ->add_flag("--csv", p.runsOptions.csv,
                   "Print CSV as Race Day exports it, units in the column names")
        ->excludes(p.runs->get_option("--json"));
}

void addLogPredictCommand(LogParsers& p) {
    p.predict = p.log->add_subcommand(
        "predict", "ET and MPH for today's weather from a vehicle's recent runs");
    LogPredictOptions& o = p.predictOptions;
    p.predict->add_option("--vehicle", o.vehicle, "The vehicle")->type_name("NAME")->required();
    p.predict->add_option("--now", o.now, "Weather now (see WEATHER below)")
        ->type_name("WEATHER")
        ->required();
    p.predict
        ->add_option("--nitrous-jet", o.nitrousJet,
                     "Today's nitrous jet in inches: use the runs on this jet; default the runs "
                     "without nitrous")
        ->type_name("IN");
    p.predict
        ->add_option("--runs", o.recent,
                     "How many recent runs to use, " + decimalText(runlog::fewestRecentRuns) +
                         " to " + decimalText(runlog::mostRecentRuns) + "; default " +
                         decimalText(runlog::defaultRecentRuns))
        ->type_name("N")
        ->check(wholeNumberIn(runlog::fewestRecentRuns, runlog::mostRecentRuns));
    p.predict
        ->add_option("--exclude", o.excluded,
                     "Leave out this run (its number) of the recent runs; repeatable")
        ->type_name("RUN")
        ->check(wholeNumberIn(1, std::numeric_limits<runlog::RunId>::max()));
    p.predict
        ->add_option("--include", o.included,
                     "Take back this run (its number), left out as far from the other runs; "
                     "repeatable")
        ->type_name("RUN")
        ->check(wholeNumberIn(1, std::numeric_limits<runlog::RunId>::max()));
    p.predict
        ->add_option("--method", o.method,
                     "exponent (the car's own exponent, held near the cube-root rule), scaling "
                     "(the average carried to today), fit (a line through the runs) or best "
                     "(the smaller leave-one-out error of scaling and fit); default exponent")
        ->type_name("NAME");
    p.predict
        ->add_option("--margin", o.margin,
                     "Seconds added to the predicted ET before rounding up to the dial-in, 0 to " +
                         raceday::fixedText(runlog::mostDialInMarginSeconds, 0) + "; default " +
                         raceday::fixedText(runlog::defaultDialInMarginSeconds, 2))
        ->type_name("S");
    p.predict
        ->add_option("--interval", o.intervalPercent,
                     "Chance in percent that the next run falls in the interval shown, " +
                         decimalText(runlog::fewestIntervalPercent) + " to " +
                         decimalText(runlog::mostIntervalPercent) + "; default " +
                         decimalText(o.intervalPercent))
        ->type_name("PERCENT")
        ->check(wholeNumberIn(runlog::fewestIntervalPercent, runlog::mostIntervalPercent));
    p.predict->add_option("--standard", o.standard, standardHelp())->type_name("NAME");
    o.common.addTo(*p.predict);
    p.predict->footer(std::string(raceday::weatherGrammar) +
                      "\nExample:\n  moravik-calc log predict --vehicle Camaro "
                      "--now \"60F 29.92inHg 20%\"\n");
}

CommandResult<ExitStatus> chosenLogCommand(const LogParsers& p, const CLI::App& chosen,
                                           CommandStreams& io) {
    if (&chosen == p.runs) return printRuns(p.database, p.runsOptions, io.out, io.outputIsTerminal);
    if (&chosen == p.import) return importRuns(p.database, p.importOptions, io);
    if (&chosen == p.exporter)
        return exportRuns(p.database, p.exportOptions, io.out, io.outputIsTerminal);
    if (&chosen == p.adder) return addRun(p.database, p.addOptions, io);
    return printPrediction(p.database, p.predictOptions, io.out);
}

ExitStatus runLogCommand(const LogParsers& p, const CLI::App& chosen, CommandStreams& io) {
    const CommandResult<ExitStatus> result = chosenLogCommand(p, chosen, io);
    const auto* failure = failureOf(result);
    if (failure == nullptr) return std::get<ExitStatus>(result);
    if (failure->status == ExitStatus::UsageError)
        return reportUsageError(io.err, failure->message, commandPath(&chosen));
    // A log that cannot be read is input that cannot be read.
    io.err << programName << ' ' << commandPath(&chosen) << ": "
           << withoutControls(failure->message) << '\n';
    return failure->status;
}

}  // namespace

void addLogCommands(CommandLine& commandLine) {
    const auto parsers = std::make_shared<LogParsers>();
    LogParsers& p = *parsers;
    p.log = commandLine.app().add_subcommand(
        "log", "Race Day's run log: list the runs, predict from them, add, import or export them");
    p.log->require_subcommand(1);
    p.log->footer(
        "Examples:\n"
        "  moravik-calc log runs --vehicle Camaro\n"
        "  moravik-calc log runs --csv --units metric > runs.csv\n"
        "  moravik-calc log predict --vehicle Camaro --now \"60F 29.92inHg 20%\" \\\n"
        "      --exclude 12\n"
        "  moravik-calc log export --vehicle Camaro > camaro.csv\n"
        "  moravik-calc log import camaro.csv\n"
        "\nExit status, the highest that applies: 0 success, 2 a usage error, nothing to\n"
        "predict from or rows left out of an import, 3 the run log could not be read or\n"
        "written, or the output could not be written.");
    p.log->fallthrough();
    p.log
        ->add_option("--database", p.database,
                     "The run log to read; default Race Day's own, run-log.sqlite in "
                     "moravik-raceday under $XDG_DATA_HOME or ~/.local/share")
        ->type_name("PATH")
        ->check(CLI::Validator(
            [](const std::string& path) {
                return path.empty() ? std::string("give the path of a run log, not an empty text")
                                    : std::string();
            },
            "", ""));
    addLogRunsCommand(p);
    addLogPredictCommand(p);
    addLogImportExportCommands(p);
    addLogAddCommand(p);
    for (const CLI::App* command : {p.runs, p.predict, p.import, p.exporter, p.adder}) {
        commandLine.setRun(*command, [parsers, command](CommandStreams& io) {
            return runLogCommand(*parsers, *command, io);
        });
    }
}

}  // namespace moravik::cli
