// The run log's changes and queries; opening and closing are in run_log.cpp.
#include <algorithm>
#include <array>
#include <limits>

#include "moravik/runlog/prediction.h"
#include "moravik/runlog/run_import.h"
#include "moravik/runlog/run_log.h"
#include "moravik/whole_text.h"
#include "sql_support.h"

namespace moravik::runlog {
namespace {

using detail::Consequence;
using detail::execute;
using detail::nothingRead;
using detail::numberText;
using detail::Statement;

// The columns of the main window's seven inputs, in the order of inputFields.
constexpr std::array<const char*, inputFields.size()> vehicleTextColumns{
    "nitrous_jet", "fuel_pressure", "bottle_pressure", "nozzles", "hp", "weight", "track"};

const Consequence vehicleNotSaved{"the vehicle was not saved"};
const Consequence runNotSaved{"the run was not saved"};
const Consequence nothingDeleted{"nothing was deleted"};

std::string vehicleColumns() {
    std::string columns = "name";
    for (const char* column : vehicleTextColumns) columns += std::string(", ") + column;
    return columns + ", notes";
}

std::vector<Cell> vehicleValues(const Vehicle& vehicle) {
    std::vector<Cell> values{trimmedText(vehicle.name)};
    for (const InputField& field : inputFields) values.emplace_back(vehicle.inputs.*field.text);
    values.emplace_back(vehicle.notes);
    return values;
}

Vehicle readVehicle(const Statement& row) {
    Vehicle vehicle;
    vehicle.id = std::get<std::int64_t>(row.column(0));
    vehicle.name = columns_detail::textOf(row.column(1));
    int column = 2;
    for (const InputField& field : inputFields) {
        vehicle.inputs.*field.text = columns_detail::textOf(row.column(column++));
    }
    vehicle.notes = columns_detail::textOf(row.column(column));
    return vehicle;
}

// "run_at, vehicle_id, ..." without the id, and as many "?".
std::string runColumnList() {
    std::string list;
    for (std::size_t i = 0; i < sqlColumnCount; ++i) {
        list += (i == 0 ? "" : ", ") + std::string(sqlColumn(i).sql);
    }
    return list;
}

std::string placeholders(std::size_t count) {
    std::string marks;
    for (std::size_t i = 0; i < count; ++i) marks += i == 0 ? "?" : ", ?";
    return marks;
}

// The run's values as its columns are bound, then its checksum under `id`.
std::vector<Cell> runValues(const Run& run, RunId id) {
    std::vector<Cell> values;
    detail::RowChecksum checksum(id);
    for (std::size_t i = 0; i < sqlColumnCount; ++i) {
        values.push_back(sqlColumn(i).get(run));
        checksum.add(sqlColumn(i).sql, values.back());
    }
    values.emplace_back(checksum.value());
    return values;
}

struct SqlCondition {
    std::string where;  // "" or " WHERE ..."
    std::vector<Cell> values;
};

SqlCondition filterCondition(const RunFilter& filter, std::string_view alias) {
    const std::string prefix = alias.empty() ? std::string() : std::string(alias) + '.';
    std::vector<std::string> terms;
    SqlCondition condition;
    if (filter.vehicleId) {
        terms.push_back(prefix + "vehicle_id = ?");
        condition.values.emplace_back(*filter.vehicleId);
    }
    if (filter.strip) {
        terms.push_back(prefix + "strip = ?");
        condition.values.emplace_back(*filter.strip);
    }
    if (filter.from) {
        terms.push_back(prefix + "run_at >= ?");
        condition.values.emplace_back(millisecondsOf(*filter.from));
    }
    if (filter.to) {
        terms.push_back(prefix + "run_at <= ?");
        condition.values.emplace_back(millisecondsOf(*filter.to));
    }
    for (std::size_t i = 0; i < terms.size(); ++i) {
        condition.where += (i == 0 ? " WHERE " : " AND ") + terms[i];
    }
    return condition;
}

LogError notFound(const std::string& what) {
    return {Problem::NotFound, what + " is not in the run log."};
}

// The one record a query by key found.
template <typename Record>
LogResult<Record> onlyRecord(LogResult<std::vector<Record>> found, const std::string& what) {
    if (const LogError* error = logErrorOf(found)) return *error;
    auto& list = std::get<std::vector<Record>>(found);
    if (list.empty()) return notFound(what);
    return list.front();
}

template <typename Record>
LogResult<std::vector<Record>> readAll(sqlite3* db, std::string_view sql,
                                       const std::vector<Cell>& values, const std::string& path,
                                       Record (*read)(const Statement&)) {
    std::vector<Record> records;
    auto done = execute(db, sql, values, path, nothingRead,
                        [&](const Statement& row) { records.push_back(read(row)); });
    if (const LogError* error = logErrorOf(done)) return *error;
    return records;
}

std::int64_t countOf(const LogResult<Cell>& count) {
    const auto* number = std::get_if<std::int64_t>(&std::get<Cell>(count));
    return number != nullptr ? *number : 0;
}

// The column's collation ignores case, as names are compared.
LogStatus nameTaken(sqlite3* db, const Vehicle& vehicle, const std::string& path) {
    const auto other =
        detail::singleValue(db, "SELECT count(*) FROM vehicles WHERE name = ? AND id <> ?",
                            {trimmedText(vehicle.name), vehicle.id}, path, vehicleNotSaved);
    if (const LogError* error = logErrorOf(other)) return *error;
    if (countOf(other) == 0) return std::nullopt;
    return vehicleNameTaken(vehicle.name);
}

LogStatus vehicleExists(sqlite3* db, VehicleId id, const std::string& path) {
    const auto count = detail::singleValue(db, "SELECT count(*) FROM vehicles WHERE id = ?", {id},
                                           path, runNotSaved);
    if (const LogError* error = logErrorOf(count)) return *error;
    if (countOf(count) > 0) return std::nullopt;
    return LogError{Problem::Invalid,
                    "The run's vehicle (number " + numberText(id) + ") is not in the log."};
}

// Changes exactly one row, or reports that it is not there.
LogStatus changeOne(const LogResult<int>& result, const std::string& what) {
    if (const LogError* error = logErrorOf(result)) return *error;
    if (std::get<int>(result) == 0) return notFound(what);
    return std::nullopt;
}

std::string vehicleNumber(VehicleId id) { return "Vehicle " + numberText(id); }
std::string runNumber(RunId id) { return "Run " + numberText(id); }

}  // namespace

template <typename T>
LogResult<T> RunLog::noted(LogResult<T> result) {
    if (const LogError* error = logErrorOf(result)) noteDamage(*error);
    return result;
}

LogResult<std::vector<Vehicle>> RunLog::vehicles() {
    return noted(readAll(db_, "SELECT id, " + vehicleColumns() + " FROM vehicles ORDER BY name", {},
                         path_, readVehicle));
}

LogResult<Vehicle> RunLog::vehicle(VehicleId id) {
    return onlyRecord(
        noted(readAll(db_, "SELECT id, " + vehicleColumns() + " FROM vehicles WHERE id = ?", {id},
                      path_, readVehicle)),
        vehicleNumber(id));
}

LogResult<Vehicle> RunLog::vehicleNamed(const std::string& name) {
    return onlyRecord(
        noted(readAll(db_, "SELECT id, " + vehicleColumns() + " FROM vehicles WHERE name = ?",
                      {trimmedText(name)}, path_, readVehicle)),
        "A vehicle named \"" + trimmedText(name) + "\"");
}

LogResult<VehicleId> RunLog::addVehicle(const Vehicle& vehicle) {
    if (auto invalid = checkVehicle(vehicle)) return *invalid;
    VehicleId id = 0;
    const LogStatus failed = inTransaction([&]() -> LogStatus {
        if (auto taken = nameTaken(db_, vehicle, path_)) return taken;
        auto inserted = execute(db_,
                                "INSERT INTO vehicles (" + vehicleColumns() + ") VALUES (" +
                                    placeholders(inputFields.size() + 2) + ")",
                                vehicleValues(vehicle), path_, vehicleNotSaved);
        if (const LogError* error = logErrorOf(inserted)) return *error;
        id = sqlite3_last_insert_rowid(db_);
        return std::nullopt;
    });
    if (failed) return *failed;
    return id;
}

LogStatus RunLog::updateVehicle(const Vehicle& vehicle) {
    if (auto invalid = checkVehicle(vehicle)) return invalid;
    return inTransaction([&]() -> LogStatus {
        if (auto taken = nameTaken(db_, vehicle, path_)) return taken;
        std::vector<Cell> values = vehicleValues(vehicle);
        values.emplace_back(vehicle.id);
        return changeOne(execute(db_,
                                 "UPDATE vehicles SET (" + vehicleColumns() + ") = (" +
                                     placeholders(inputFields.size() + 2) + ") WHERE id = ?",
                                 values, path_, vehicleNotSaved),
                         vehicleNumber(vehicle.id));
    });
}

LogStatus RunLog::deleteVehicle(VehicleId id) {
    return inTransaction([&]() -> LogStatus {
        const auto count = detail::singleValue(
            db_, "SELECT count(*) FROM runs WHERE vehicle_id = ?", {id}, path_, nothingDeleted);
        if (const LogError* error = logErrorOf(count)) return *error;
        if (const std::int64_t runs = countOf(count); runs > 0) {
            return LogError{Problem::Invalid,
                            "The vehicle still has " + numberText(runs) +
                                " runs in the log; delete them first. Nothing was deleted."};
        }
        return changeOne(
            execute(db_, "DELETE FROM vehicles WHERE id = ?", {id}, path_, nothingDeleted),
            vehicleNumber(id));
    });
}

LogResult<RunId> RunLog::addRun(const Run& run) {
    auto ids = addRuns({&run, 1});
    if (const LogError* error = logErrorOf(ids)) return *error;
    return std::get<std::vector<RunId>>(ids).front();
}

LogResult<std::vector<RunId>> RunLog::addRuns(std::span<const Run> runs) {
    for (const Run& run : runs) {
        if (auto invalid = checkRun(run)) return *invalid;
    }
    std::vector<RunId> ids;
    const std::string insert = "INSERT INTO runs (id, " + runColumnList() + ", checksum) VALUES (" +
                               placeholders(sqlColumnCount + 2) + ")";
    const LogStatus failed = inTransaction([&]() -> LogStatus {
        // A new run's id is SQLite's own choice, the highest so far plus one,
        // made here because its checksum covers it.
        const auto highest = detail::singleValue(db_, "SELECT coalesce(max(id), 0) FROM runs", {},
                                                 path_, runNotSaved);
        if (const LogError* error = logErrorOf(highest)) return *error;
        RunId last = countOf(highest);
        Statement statement(db_, path_, runNotSaved);
        if (auto failed = statement.prepare(insert)) return failed;
        VehicleId checkedVehicle = 0;
        for (const Run& run : runs) {
            if (run.vehicleId != checkedVehicle) {
                if (auto missing = vehicleExists(db_, run.vehicleId, path_)) return missing;
                checkedVehicle = run.vehicleId;
            }
            if (run.id == 0 && last == std::numeric_limits<RunId>::max()) {
                return LogError{Problem::Failed, "The run log " + path_ +
                                                     " has no run numbers left; the runs were "
                                                     "not saved."};
            }
            const RunId id = run.id != 0 ? run.id : last + 1;
            std::vector<Cell> values{id};
            for (Cell& value : runValues(run, id)) values.push_back(std::move(value));
            if (auto failed = statement.bind(values)) return failed;
            const auto stepped = statement.step();
            if (const LogError* error = logErrorOf(stepped)) return *error;
            ids.push_back(id);
            last = std::max(last, id);
        }
        return std::nullopt;
    });
    if (failed) return *failed;
    return ids;
}

LogStatus RunLog::updateRun(const Run& run) {
    if (auto invalid = checkRun(run)) return invalid;
    return inTransaction([&]() -> LogStatus {
        if (auto missing = vehicleExists(db_, run.vehicleId, path_)) return missing;
        std::vector<Cell> values = runValues(run, run.id);
        values.emplace_back(run.id);
        return changeOne(execute(db_,
                                 "UPDATE runs SET (" + runColumnList() + ", checksum) = (" +
                                     placeholders(sqlColumnCount + 1) + ") WHERE id = ?",
                                 values, path_, runNotSaved),
                         runNumber(run.id));
    });
}

LogResult<std::vector<Run>> RunLog::deleteRuns(std::span<const RunId> ids) {
    std::vector<Run> deleted;
    const LogStatus failed = inTransaction([&]() -> LogStatus {
        for (const RunId id : ids) {
            auto found = run(id);
            if (const LogError* error = logErrorOf(found)) return *error;
            deleted.push_back(std::get<Run>(found));
            if (auto error = changeOne(
                    execute(db_, "DELETE FROM runs WHERE id = ?", {id}, path_, nothingDeleted),
                    runNumber(id))) {
                return error;
            }
        }
        return std::nullopt;
    });
    if (failed) return *failed;
    return deleted;
}

LogStatus RunLog::restoreRuns(std::span<const Run> runs) {
    const auto restored = addRuns(runs);
    if (const LogError* error = logErrorOf(restored)) return *error;
    return std::nullopt;
}

std::string RunLog::runColumns(std::string_view alias) const {
    const std::string prefix = alias.empty() ? std::string() : std::string(alias) + '.';
    std::string list = prefix + "id";
    for (std::size_t i = 0; i < sqlColumnCount; ++i) {
        const std::string_view sql = sqlColumn(i).sql;
        list += ", " + (hasColumn(sql) ? prefix + std::string(sql) : std::string("NULL"));
    }
    return list + (hasColumn("checksum") ? ", " + prefix + "checksum" : std::string());
}

bool RunLog::hasColumn(std::string_view sql) const {
    return earlierColumns_.empty() ||
           std::find(earlierColumns_.begin(), earlierColumns_.end(), sql) != earlierColumns_.end();
}

void RunLog::leaveOut(RunId id, std::string reason, bool changed) {
    if (!leftOutIds_.insert(id).second) return;
    leftOut_.push_back({id, std::move(reason)});
    if (changed) {
        noteDamage({Problem::Damaged, "The run log " + path_ + " is damaged: run " +
                                          numberText(id) + " has changed since it was saved."});
    }
}

LogStatus RunLog::readRuns(const std::string& sql, const std::vector<Cell>& values,
                           const std::function<bool(Run&&, const Statement&, int)>& each) {
    Statement row(db_, path_, nothingRead);
    LogStatus failed = row.prepare(sql);
    if (!failed) failed = row.bind(values);
    const bool checksums = hasColumn("checksum");
    const int extras = 1 + static_cast<int>(sqlColumnCount) + (checksums ? 1 : 0);
    while (!failed) {
        const auto stepped = row.step();
        if (const LogError* error = logErrorOf(stepped)) {
            failed = *error;
            break;
        }
        if (!std::get<bool>(stepped)) break;
        Run run;
        const Cell id = row.column(0);
        run.id = std::holds_alternative<std::int64_t>(id) ? std::get<std::int64_t>(id) : 0;
        detail::RowChecksum checksum(run.id);
        for (std::size_t i = 0; i < sqlColumnCount; ++i) {
            const Cell value = row.column(1 + static_cast<int>(i));
            // A column added later than the file's version was not summed when it was written.
            if (hasColumn(sqlColumn(i).sql)) checksum.add(sqlColumn(i).sql, value);
            sqlColumn(i).set(run, value);
        }
        // Damage that leaves the file's structure whole changes a value without a
        // sign: the checksum finds it. A value no form accepts is as untrustworthy.
        if (checksums && row.column(extras - 1) != Cell(checksum.value())) {
            leaveOut(run.id, "it has changed since it was saved: the file is damaged", true);
            continue;
        }
        if (auto invalid = checkRun(run)) {
            leaveOut(run.id, "it holds a value no run can have: " + invalid->message, false);
            continue;
        }
        if (!each(std::move(run), row, extras)) break;
    }
    if (failed) noteDamage(*failed);
    return failed;
}

LogResult<std::vector<Run>> RunLog::runList(const std::string& sql,
                                            const std::vector<Cell>& values) {
    std::vector<Run> runs;
    if (auto failed = readRuns(sql, values, [&](Run&& run, const Statement&, int) {
            runs.push_back(std::move(run));
            return true;
        }))
        return *failed;
    return runs;
}

LogResult<Run> RunLog::run(RunId id) {
    return onlyRecord(runList("SELECT " + runColumns("") + " FROM runs WHERE id = ?", {id}),
                      runNumber(id));
}

LogResult<std::vector<Run>> RunLog::runs(const RunFilter& filter) {
    std::vector<Run> runs;
    if (auto failed = eachRun(filter, [&](const Run& run) {
            runs.push_back(run);
            return true;
        }))
        return *failed;
    return runs;
}

LogStatus RunLog::eachRun(const RunFilter& filter, const std::function<bool(const Run&)>& each) {
    const auto condition = filterCondition(filter, "");
    return readRuns(
        "SELECT " + runColumns("") + " FROM runs" + condition.where + " ORDER BY run_at, id",
        condition.values, [&](Run&& run, const Statement&, int) { return each(run); });
}

LogResult<std::vector<Run>> RunLog::recentRuns(VehicleId vehicle, std::optional<double> jetInches,
                                               int count) {
    // SQLite's round(), like matchedJet, rounds halves away from zero.
    const auto jet = matchedJet(jetInches);
    const std::string jetMatch =
        jet ? "round(nitrous_jet_in * " + wholeText(raceday::Jet::thousandthsPerInch) + ") = ?"
            : "nitrous_jet_in IS NULL";
    std::vector<Cell> values{vehicle};
    if (jet) values.emplace_back(jet->thousandths);
    values.emplace_back(std::int64_t{count});
    return runList("SELECT " + runColumns("") + " FROM runs WHERE vehicle_id = ? AND " + jetMatch +
                       " ORDER BY run_at DESC, id DESC LIMIT ?",
                   values);
}

LogResult<std::vector<std::string>> RunLog::strips() {
    // From each name to the next through the strip index, rather than along
    // every run's entry in it: a few strips among many runs.
    return noted(readAll(
        db_,
        "WITH RECURSIVE named(strip) AS ("
        "SELECT min(strip) FROM runs WHERE strip > '' "
        "UNION ALL SELECT (SELECT min(strip) FROM runs WHERE strip > named.strip) "
        "FROM named WHERE named.strip IS NOT NULL) "
        "SELECT strip FROM named WHERE strip IS NOT NULL ORDER BY strip",
        {}, path_, +[](const Statement& row) { return columns_detail::textOf(row.column(0)); }));
}

LogResult<std::vector<RunLog::KnownStrip>> RunLog::stripElevations() {
    // With one max() SQLite takes the other columns from the row holding it: the newest run
    // with an elevation, or where none has one, a run whose elevation is NULL.
    return noted(readAll(
        db_,
        "SELECT strip, strip_elevation_m, "
        "max(CASE WHEN strip_elevation_m IS NOT NULL THEN run_at END) "
        "FROM runs WHERE strip <> '' GROUP BY strip ORDER BY strip",
        {}, path_, +[](const Statement& row) {
            return KnownStrip{columns_detail::textOf(row.column(0)),
                              columns_detail::optionalOf(row.column(1))};
        }));
}

LogResult<std::vector<RunId>> RunLog::sortedRunIds(const RunFilter& filter, int tableColumnIndex,
                                                   bool ascending, std::optional<int> limit) {
    if (tableColumnIndex < 0 || tableColumnIndex >= static_cast<int>(tableColumnCount)) {
        tableColumnIndex = 0;
    }
    const std::string key(tableColumn(static_cast<std::size_t>(tableColumnIndex)).sortKey);
    const std::string direction = ascending ? " ASC" : " DESC";
    auto condition = filterCondition(filter, "r");
    std::string sql = "SELECT r.id FROM runs r" + condition.where + " ORDER BY " + key + direction +
                      ", r.id" + direction;
    if (limit) {
        sql += " LIMIT ?";
        condition.values.emplace_back(std::int64_t{*limit});
    }
    return noted(readAll(
        db_, sql, condition.values, path_,
        +[](const Statement& row) { return std::get<std::int64_t>(row.column(0)); }));
}

LogResult<std::vector<RunId>> RunLog::sortedRunIds(const RunFilter& filter, RunFigure figure,
                                                   raceday::Standard standard, bool ascending) {
    struct Keyed {
        RunId id;
        std::optional<double> key;
    };
    std::vector<Keyed> keyed;
    if (auto failed = eachRun(filter, [&](const Run& run) {
            keyed.push_back({run.id, runFigure(run, figure, standard)});
            return true;
        }))
        return *failed;
    std::sort(keyed.begin(), keyed.end(), [ascending](const Keyed& a, const Keyed& b) {
        if (a.key.has_value() != b.key.has_value()) return a.key.has_value();
        if (a.key && *a.key != *b.key) return ascending == (*a.key < *b.key);
        return ascending == (a.id < b.id);
    });
    std::vector<RunId> ids;
    ids.reserve(keyed.size());
    for (const Keyed& run : keyed) ids.push_back(run.id);
    return ids;
}

LogResult<std::vector<RunLog::NamedRun>> RunLog::runsWithNames(std::span<const RunId> ids) {
    std::vector<NamedRun> named;
    if (auto failed = readRuns(
            "SELECT " + runColumns("r") +
                ", (SELECT name FROM vehicles v WHERE v.id = r.vehicle_id) FROM runs r WHERE r.id "
                "IN (" +
                placeholders(ids.size()) + ")",
            std::vector<Cell>(ids.begin(), ids.end()),
            [&](Run&& run, const Statement& row, int extras) {
                named.push_back({std::move(run), columns_detail::textOf(row.column(extras))});
                return true;
            }))
        return *failed;
    return named;
}

}  // namespace moravik::runlog
