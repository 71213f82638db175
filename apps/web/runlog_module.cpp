// The run log for the browser: the page keeps vehicles and runs in IndexedDB
// and hands them here as plain objects; the log's own rules (its columns and
// their units, the plausible ranges, CSV reading and writing, the import's
// report and the prediction) answer. A run travels as the runs table has it:
// its SQL columns by name, SI numbers, text and null.
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "module_answer.h"
#include "moravik/answers/answers.h"
#include "moravik/answers/decimal_text.h"
#include "moravik/raceday/weather_text.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/moment.h"
#include "moravik/runlog/prediction.h"
#include "moravik/runlog/prediction_report.h"
#include "moravik/runlog/run_cells.h"
#include "moravik/runlog/run_import.h"

// The browser's offset from UTC at a moment, in minutes east: its time zone
// rules hold beyond 2038, where the 32-bit time_t of Emscripten's C library ends.
EM_JS(double, browserOffsetMinutes, (double utcMilliseconds),
      { return -new Date(utcMilliseconds).getTimezoneOffset(); });

namespace {

using emscripten::val;

long browserOffsetSeconds(std::int64_t utcMilliseconds) {
    return static_cast<long>(browserOffsetMinutes(static_cast<double>(utcMilliseconds))) * 60;
}
using namespace moravik::runlog;
namespace raceday = moravik::raceday;
using moravik::web::isObject;
using moravik::web::refusedAnswer;
using moravik::web::unitsRefused;
using moravik::web::unitSystemOf;

// A whole number JavaScript holds exactly, as the page's ids are.
bool isId(const val& number) {
    if (!number.isNumber()) return false;
    const double id = number.as<double>();
    return std::abs(id) <= 9007199254740991.0 && id == std::floor(id);
}

// The records of an array, or none when it is not an array of objects with ids.
std::optional<std::vector<val>> records(const val& array) {
    if (!array.isArray()) return std::nullopt;
    auto items = emscripten::vecFromJSArray<val>(array);
    for (const val& item : items) {
        if (!isObject(item) || !isId(item["id"])) return std::nullopt;
    }
    return items;
}

val runRecord(const Run& run) {
    val record = val::object();
    record.set("id", static_cast<double>(run.id));
    for (std::size_t i = 0; i < sqlColumnCount; ++i) {
        const LogColumn& column = sqlColumn(i);
        const std::string name(column.sql);
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::monostate>) {
                    record.set(name, val::null());
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    record.set(name, static_cast<double>(value));
                } else {
                    record.set(name, value);
                }
            },
            column.get(run));
    }
    return record;
}

Run runOf(const val& record) {
    Run run;
    run.id = static_cast<RunId>(record["id"].as<double>());
    for (std::size_t i = 0; i < sqlColumnCount; ++i) {
        const LogColumn& column = sqlColumn(i);
        const val value = record[std::string(column.sql)];
        Cell cell;
        if (value.isString()) {
            cell = value.as<std::string>();
        } else if (value.isNumber() &&
                   (column.kind == ColumnKind::Moment || column.kind == ColumnKind::Vehicle)) {
            cell = static_cast<std::int64_t>(value.as<double>());
        } else if (value.isNumber()) {
            cell = value.as<double>();
        }
        column.set(run, cell);
    }
    return run;
}

std::optional<std::vector<Run>> runsOf(const val& array) {
    const auto items = records(array);
    if (!items) return std::nullopt;
    std::vector<Run> runs;
    for (const val& record : *items) runs.push_back(runOf(record));
    return runs;
}

val runsRefused() {
    return refusedAnswer("give the runs as an array of records with ids", {"runs"});
}

val vehicleRecord(const Vehicle& vehicle) {
    val record = val::object();
    record.set("id", static_cast<double>(vehicle.id));
    record.set("name", vehicle.name);
    record.set("notes", vehicle.notes);
    for (const auto& field : moravik::inputFields)
        record.set(std::string(field.name), vehicle.inputs.*field.text);
    return record;
}

struct NamedVehicle {
    VehicleId id;
    std::string name;
};

std::optional<std::vector<NamedVehicle>> vehiclesOf(const val& array) {
    const auto items = records(array);
    if (!items) return std::nullopt;
    std::vector<NamedVehicle> vehicles;
    for (const val& record : *items) {
        if (!record["name"].isString()) return std::nullopt;
        vehicles.push_back(
            {static_cast<VehicleId>(record["id"].as<double>()), record["name"].as<std::string>()});
    }
    return vehicles;
}

val vehiclesRefused() {
    return refusedAnswer("give the vehicles as an array of records with ids and names",
                         {"vehicles"});
}

std::string asciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Names match as the log's NOCASE collation matches them: ASCII letters only.
const NamedVehicle* findVehicle(const std::vector<NamedVehicle>& vehicles,
                                const std::string& name) {
    const std::string key = asciiLower(trimmedText(name));
    const auto found = std::find_if(vehicles.begin(), vehicles.end(), [&](const auto& vehicle) {
        return asciiLower(vehicle.name) == key;
    });
    return found != vehicles.end() ? &*found : nullptr;
}

std::string nameOf(const std::vector<NamedVehicle>& vehicles, VehicleId id) {
    const auto found = std::find_if(vehicles.begin(), vehicles.end(),
                                    [id](const auto& vehicle) { return vehicle.id == id; });
    return found != vehicles.end() ? found->name : std::string();
}

// Oldest first, as the log lists and exports them.
void sortOldestFirst(std::vector<Run>& runs) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return a.when != b.when ? a.when < b.when : a.id < b.id;
    });
}

// The CSV columns as a form asks for them: key, the header's name in this
// unit system, the unit as people read it, and whether it holds a number.
val runColumns(const val& units) {
    const auto chosen = unitSystemOf(units);
    if (!chosen) return unitsRefused();
    const auto system = *chosen;
    const auto header = runCsvHeader(system);
    val columns = val::array();
    for (std::size_t i = 0; i < csvColumnCount; ++i) {
        const LogColumn& column = csvColumn(i);
        val entry = val::object();
        entry.set("key", std::string(column.csv));
        entry.set("header", header[i]);
        entry.set("unit", column.quantity
                              ? raceday::shownSymbol(raceday::displayUnit(*column.quantity, system))
                          : column.kind == ColumnKind::Jet ? std::string("in")
                                                           : std::string());
        entry.set("number", isNumberColumn(i));
        entry.set("required", column.required);
        columns.call<void>("push", entry);
    }
    return columns;
}

// A run typed in the form: the texts by CSV key, read as an import reads a row.
val readRun(const val& texts, const val& units, const val& vehicleId) {
    const auto system = unitSystemOf(units);
    if (!system) return unitsRefused();
    if (!isObject(texts)) return refusedAnswer("give the run's texts as an object");
    if (!isId(vehicleId)) return refusedAnswer("choose a vehicle", {"vehicle"});
    const auto names = runCsvHeader(*system);
    const auto header = std::get<CsvHeader>(readCsvHeader({1, names, {}}));
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < csvColumnCount; ++i) {
        const std::string key(csvColumn(i).csv);
        const val text = texts[key];
        fields.push_back(csvColumn(i).kind == ColumnKind::Vehicle ? std::string("the vehicle")
                         : text.isString()                        ? text.as<std::string>()
                                                                  : std::string());
    }
    auto read = readRunFields(header, fields);
    // The log names a value as a form labels it, not by its column: the sentence says which.
    if (const LogError* error = logErrorOf(read)) return refusedAnswer(error->message);
    Run run = std::get<CsvRun>(read).run;
    // As moravik-calc log add: a run later than tomorrow is a mistyped date or a wrong clock.
    const auto now =
        std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
    if (const auto future = futureDateProblem(run.when, now)) {
        return refusedAnswer(*future + ".", {"date_time"});
    }
    run.vehicleId = static_cast<VehicleId>(vehicleId.as<double>());
    val answer = val::object();
    answer.set("record", runRecord(run));
    return answer;
}

val newVehicle(const val& name, const val& vehicles) {
    const auto known = vehiclesOf(vehicles);
    if (!known) return vehiclesRefused();
    const std::string typed = name.isString() ? name.as<std::string>() : std::string();
    const Vehicle vehicle{0, trimmedText(typed), {}, {}};  // the keeper numbers it as it stores it
    if (auto invalid = checkVehicle(vehicle)) return refusedAnswer(invalid->message, {"name"});
    if (findVehicle(*known, typed) != nullptr)
        return refusedAnswer(vehicleNameTaken(vehicle.name).message, {"name"});
    val answer = val::object();
    answer.set("record", vehicleRecord(vehicle));
    return answer;
}

// The log as the page holds it, its runs oldest first, in the units chosen.
struct HeldLog {
    raceday::UnitSystem system;
    std::vector<NamedVehicle> vehicles;
    std::vector<Run> runs;
};

std::variant<HeldLog, val> heldLog(const val& vehicles, const val& records, const val& units) {
    const auto system = unitSystemOf(units);
    auto known = vehiclesOf(vehicles);
    auto runs = runsOf(records);
    if (!system) return unitsRefused();
    if (!known) return vehiclesRefused();
    if (!runs) return runsRefused();
    sortOldestFirst(*runs);
    return HeldLog{*system, std::move(*known), std::move(*runs)};
}

// The window's table: its titles, and each run's cells as it shows them.
val runTable(const val& vehicles, const val& records, const val& units) {
    const auto held = heldLog(vehicles, records, units);
    if (const auto* refused = std::get_if<val>(&held)) return *refused;
    const auto& [system, known, runs] = std::get<HeldLog>(held);
    val titles = val::array();
    val numeric = val::array();
    for (std::size_t i = 0; i < tableColumnCount; ++i) {
        titles.call<void>("push", std::string(tableColumn(i).title));
        numeric.call<void>("push", isNumberKind(tableColumn(i).kind));
    }
    val rows = val::array();
    for (const Run& run : runs) {
        val cells = val::array();
        for (std::size_t i = 0; i < tableColumnCount; ++i)
            cells.call<void>("push",
                             shownText(tableColumn(i), run, nameOf(known, run.vehicleId), system));
        val row = val::object();
        row.set("id", static_cast<double>(run.id));
        row.set("cells", cells);
        rows.call<void>("push", row);
    }
    val table = val::object();
    table.set("titles", titles);
    table.set("numeric", numeric);
    table.set("rows", rows);
    return table;
}

// {csv}: the runs as `moravik-calc log export` writes them.
val exportCsv(const val& vehicles, const val& records, const val& units) {
    const auto held = heldLog(vehicles, records, units);
    if (const auto* refused = std::get_if<val>(&held)) return *refused;
    const auto& [system, known, runs] = std::get<HeldLog>(held);
    std::string csv = runCsvHeaderLine(system);
    for (const Run& run : runs) csv += runCsvLine(run, nameOf(known, run.vehicleId), system);
    val answer = val::object();
    answer.set("csv", csv);
    return answer;
}

// The log as the page holds it, taking what an import adds; the page then
// writes the additions in one transaction, so an import is kept whole or not.
class BrowserLog final : public ImportTarget {
public:
    BrowserLog(std::vector<NamedVehicle> vehicles, std::vector<Run> runs)
        : vehicles_(std::move(vehicles)), runs_(std::move(runs)) {}

    LogResult<Vehicle> vehicleNamed(const std::string& name) override {
        const NamedVehicle* found = findVehicle(vehicles_, name);
        if (found == nullptr) return LogError{Problem::NotFound, "no such vehicle"};
        return Vehicle{found->id, found->name, {}, {}};
    }
    LogResult<VehicleId> addVehicle(const Vehicle& vehicle) override {
        if (auto invalid = checkVehicle(vehicle)) return *invalid;
        // Below zero until the keeper numbers it, as it stores it, with its runs.
        Vehicle added = vehicle;
        added.id = -static_cast<VehicleId>(addedVehicles_.size() + 1);
        vehicles_.push_back({added.id, added.name});
        addedVehicles_.push_back(added);
        return added.id;
    }
    LogResult<std::vector<Run>> recentRuns(VehicleId vehicle, std::optional<double> jetInches,
                                           int count) override {
        std::vector<Run> mine;
        for (const Run& run : runs_) {
            if (run.vehicleId == vehicle) mine.push_back(run);
        }
        return recentRunsOf(std::move(mine), jetInches, count);
    }
    LogResult<std::optional<Run>> runAt(VehicleId vehicle, Moment when) override {
        const auto found = std::find_if(runs_.begin(), runs_.end(), [&](const Run& run) {
            return run.vehicleId == vehicle && run.when == when;
        });
        if (found == runs_.end()) return std::optional<Run>();
        return std::optional<Run>(*found);
    }
    LogStatus addRuns(std::span<const Run> runs) override {
        for (const Run& run : runs) {
            if (auto invalid = checkRun(run)) return invalid;
            runs_.push_back(run);
            addedRuns_.push_back(run);
        }
        return std::nullopt;
    }

    const std::vector<Vehicle>& addedVehicles() const { return addedVehicles_; }
    const std::vector<Run>& addedRuns() const { return addedRuns_; }

private:
    std::vector<NamedVehicle> vehicles_;
    std::vector<Run> runs_;
    std::vector<Vehicle> addedVehicles_;
    std::vector<Run> addedRuns_;
};

val problemList(const std::vector<CsvProblem>& problems) {
    val list = val::array();
    for (const CsvProblem& problem : problems) {
        val entry = val::object();
        entry.set("line", static_cast<double>(problem.line));
        entry.set("message", problem.message);
        list.call<void>("push", entry);
    }
    return list;
}

// An import as `moravik-calc log import` makes it: refused when nothing can be
// imported, otherwise the report and the vehicles and runs to add.
// The file's bytes come as text or as a Uint8Array.
val importCsv(const val& text, const val& vehicles, const val& records) {
    if (!text.isString() && !text.instanceof (val::global("Uint8Array")))
        return refusedAnswer("give the file's text or bytes", {"file"});
    auto known = vehiclesOf(vehicles);
    auto stored = runsOf(records);
    if (!known) return vehiclesRefused();
    if (!stored) return runsRefused();
    BrowserLog log(std::move(*known), std::move(*stored));
    std::istringstream in(text.as<std::string>());
    const auto imported = importRunsInto(log, in);
    if (const LogError* error = logErrorOf(imported)) return refusedAnswer(error->message);
    const auto& report = std::get<CsvImport>(imported);
    val answer = val::object();
    answer.set("imported", report.imported);
    answer.set("problems", problemList(report.problems));
    answer.set("problemsLeftOut", static_cast<double>(report.problemsLeftOut));
    answer.set("outliers", problemList(report.outliers));
    val notes = val::array();
    for (const std::string& note : importNotes(report)) notes.call<void>("push", note);
    answer.set("notes", notes);
    val added = val::array();
    for (const Vehicle& vehicle : log.addedVehicles())
        added.call<void>("push", vehicleRecord(vehicle));
    answer.set("vehicles", added);
    val runs = val::array();
    for (const Run& run : log.addedRuns()) runs.call<void>("push", runRecord(run));
    answer.set("runs", runs);
    return answer;
}

// Run numbers from the page; anything but whole numbers is passed over.
std::vector<RunId> includedRuns(const val& numbers) {
    std::vector<RunId> ids;
    if (!numbers.isArray()) return ids;
    const auto count = numbers["length"].as<unsigned>();
    for (unsigned i = 0; i < count; ++i) {
        const val number = numbers[i];
        if (isId(number) && number.as<double>() >= 1)
            ids.push_back(static_cast<RunId>(number.as<double>()));
    }
    return ids;
}

// The dial-in from the vehicle's own runs, as `moravik-calc log predict`
// reports it: request {vehicle, now, jet, runs, method, standard, interval, margin} as typed,
// and include, the numbers of the runs taken back as `--include` takes them. The answer's
// farRuns are those left out as far from the others, or taken back, for the racer to choose.
val predict(const val& records, const val& request, const val& units) {
    const auto chosen = unitSystemOf(units);
    auto read = runsOf(records);
    if (!chosen) return unitsRefused();
    if (!read) return runsRefused();
    if (!isObject(request)) return refusedAnswer("give the request as an object");
    if (!isId(request["vehicle"])) return refusedAnswer("choose a vehicle", {"vehicle"});
    const auto system = *chosen;
    // A member missing is a field left empty; one that is not text is refused.
    constexpr std::array<const char*, 6> keys{"now",    "jet",      "runs",
                                              "method", "standard", "interval"};
    std::array<std::string, keys.size()> texts;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const val typed = request[keys[i]];
        if (!typed.isUndefined() && !typed.isString())
            return refusedAnswer("give it as text", {keys[i]});
        if (typed.isString()) texts[i] = typed.as<std::string>();
    }
    const auto& [now, jetText, runsText, methodText, standardText, intervalText] = texts;
    const auto today = raceday::parseWeather(now, system);
    if (const auto* error = raceday::errorOf(today)) return refusedAnswer(error->message, {"now"});
    const auto jetRead = readNitrousJet(jetText);
    if (const auto* error = raceday::errorOf(jetRead))
        return refusedAnswer(error->message, {"jet"});
    const std::optional<double> jet = std::get<std::optional<double>>(jetRead);
    const auto recent =
        raceday::readWholeNumber(trimmedText(runsText), fewestRecentRuns, mostRecentRuns);
    if (const auto* error = raceday::errorOf(recent))
        return refusedAnswer(error->message, {"runs"});
    const auto method = readDialInMethod(methodText);
    if (const auto* error = raceday::errorOf(method))
        return refusedAnswer(error->message, {"method"});
    const auto standard = raceday::readStandard(standardText);
    if (const auto* refusal = std::get_if<raceday::Refusal>(&standard))
        return refusedAnswer(refusal->sentence, {"standard"});
    const PredictionRequest asked{
        .vehicle = static_cast<VehicleId>(request["vehicle"].as<double>()),
        .nitrousJetInches = jet,
        .today = std::get<raceday::Weather>(today),
        .standard = std::get<raceday::Standard>(standard),
        .recentRuns = static_cast<int>(std::get<std::int64_t>(recent)),
        .included = includedRuns(request["include"])};
    std::vector<Run> mine;
    for (Run& run : *read) {
        if (run.vehicleId == asked.vehicle) mine.push_back(std::move(run));
    }
    const auto prediction =
        predictFromRuns(recentRunsOf(std::move(mine), jet, runsToRead(asked.recentRuns)), asked);
    // Too few runs, or runs that do not agree: the request as a whole.
    if (const auto* error = raceday::errorOf(prediction)) return refusedAnswer(error->message);
    const auto& figures = std::get<LogPrediction>(prediction);
    const auto interval = raceday::readWholeNumber(trimmedText(intervalText), fewestIntervalPercent,
                                                   mostIntervalPercent);
    if (const auto* error = raceday::errorOf(interval))
        return refusedAnswer(error->message, {"interval"});
    // The margin field is optional: a page without it dials in with the default.
    std::string marginText;
    if (const val typed = request["margin"]; !typed.isUndefined()) {
        if (!typed.isString()) return refusedAnswer("give it as text", {"margin"});
        marginText = typed.as<std::string>();
    }
    const auto margin = readDialInMargin(marginText);
    if (const auto* error = raceday::errorOf(margin))
        return refusedAnswer(error->message, {"margin"});
    const auto dial = dialIn(figures, asked.today, std::get<DialInMethod>(method),
                             static_cast<double>(std::get<std::int64_t>(interval)) / 100.0,
                             std::get<double>(margin));
    if (const auto* error = raceday::errorOf(dial))
        return refusedAnswer(error->message, {"method"});
    val lines = val::array();
    for (const auto& [label, text] : predictionSummary(figures, std::get<DialIn>(dial), system)) {
        val pair = val::array();
        pair.call<void>("push", label);
        pair.call<void>("push", text);
        lines.call<void>("push", pair);
    }
    val far = val::array();
    for (const CorrectedRun& run : figures.runs) {
        const bool takenBack = std::find(asked.included.begin(), asked.included.end(),
                                         run.run.id) != asked.included.end();
        if (!run.farFromOthers && !takenBack) continue;
        val choice = val::object();
        choice.set("id", static_cast<double>(run.run.id));
        choice.set("text",
                   "run " + moravik::decimalText(run.run.id) + ", " +
                       localMinuteText(run.run.when) + ", " +
                       raceday::displayText(run.run.etSeconds, raceday::Quantity::Time, system));
        choice.set("takenBack", takenBack);
        far.call<void>("push", choice);
    }
    val answer = val::object();
    answer.set("lines", lines);
    answer.set("farRuns", far);
    return answer;
}

}  // namespace

EMSCRIPTEN_BINDINGS(moravik_runlog) {
    moravik::runlog::setUtcOffsetSource(&browserOffsetSeconds);
    emscripten::function("runColumns", &runColumns);
    emscripten::function("readRun", &readRun);
    emscripten::function("newVehicle", &newVehicle);
    emscripten::function("runTable", &runTable);
    emscripten::function("exportCsv", &exportCsv);
    emscripten::function("importCsv", &importCsv);
    emscripten::function("predict", &predict);
}
