#include "schema.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <vector>

#include "sql_support.h"

namespace moravik::runlog::detail {
namespace {

// Times are milliseconds since 1970 UTC; measurements are SI (s, m/s, m, K,
// Pa); humidity is a ratio. Vehicle texts are kept as typed.
constexpr const char* version1[] = {
    R"(CREATE TABLE vehicles (
        id INTEGER PRIMARY KEY,
        name TEXT NOT NULL UNIQUE COLLATE NOCASE CHECK (length(trim(name)) > 0),
        nitrous_jet TEXT NOT NULL,
        fuel_pressure TEXT NOT NULL,
        bottle_pressure TEXT NOT NULL,
        nozzles TEXT NOT NULL,
        hp TEXT NOT NULL,
        weight TEXT NOT NULL,
        track TEXT NOT NULL,
        notes TEXT NOT NULL DEFAULT ''))",
    R"(CREATE TABLE runs (
        id INTEGER PRIMARY KEY,
        vehicle_id INTEGER NOT NULL REFERENCES vehicles (id) ON DELETE RESTRICT,
        run_at INTEGER NOT NULL,
        strip TEXT NOT NULL DEFAULT '',
        strip_elevation_m REAL,
        lane TEXT NOT NULL DEFAULT '',
        et_s REAL NOT NULL CHECK (et_s > 0),
        speed_m_s REAL NOT NULL CHECK (speed_m_s > 0),
        sixty_ft_s REAL CHECK (sixty_ft_s > 0),
        three_thirty_ft_s REAL CHECK (three_thirty_ft_s > 0),
        eighth_et_s REAL CHECK (eighth_et_s > 0),
        eighth_speed_m_s REAL CHECK (eighth_speed_m_s > 0),
        nitrous_jet_in REAL CHECK (nitrous_jet_in > 0),
        air_k REAL NOT NULL,
        air_pressure_kind TEXT NOT NULL CHECK (air_pressure_kind IN ('station', 'altimeter')),
        air_pressure_pa REAL NOT NULL,
        air_altimeter_elevation_m REAL,
        air_moisture_kind TEXT NOT NULL CHECK (air_moisture_kind IN ('dry', 'humidity', 'dew_point')),
        air_moisture REAL,
        notes TEXT NOT NULL DEFAULT ''))",
    "CREATE INDEX runs_by_time ON runs (run_at)",
    "CREATE INDEX runs_by_vehicle ON runs (vehicle_id, run_at)",
    "CREATE INDEX runs_by_strip ON runs (strip, run_at)",
};

// Each run keeps a checksum of its values (sql_support.h), which every read
// checks; the runs already there get theirs here.
constexpr const char* version2[] = {
    "ALTER TABLE runs ADD COLUMN checksum INTEGER",
    "UPDATE runs SET checksum = run_checksum(id, 'run_at', run_at, 'vehicle_id', vehicle_id, "
    "'strip', strip, 'strip_elevation_m', strip_elevation_m, 'lane', lane, 'et_s', et_s, "
    "'speed_m_s', speed_m_s, 'sixty_ft_s', sixty_ft_s, 'three_thirty_ft_s', three_thirty_ft_s, "
    "'eighth_et_s', eighth_et_s, 'eighth_speed_m_s', eighth_speed_m_s, 'nitrous_jet_in', "
    "nitrous_jet_in, 'air_k', air_k, 'air_pressure_kind', air_pressure_kind, 'air_pressure_pa', "
    "air_pressure_pa, 'air_altimeter_elevation_m', air_altimeter_elevation_m, "
    "'air_moisture_kind', air_moisture_kind, 'air_moisture', air_moisture, 'notes', notes)",
};

// Index i takes a file from version i to version i + 1.
constexpr std::array<std::span<const char* const>, 2> migrations{{version1, version2}};

constexpr std::string_view addColumn = "ALTER TABLE runs ADD COLUMN ";

const Consequence notUpdated{"the log was left as it was and not updated"};

// The statement's text with runs of white space as one blank, for comparing
// statements as SQLite keeps them.
std::string simplified(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const bool blank =
            c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
        if (blank) {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

int currentSchemaVersion() { return static_cast<int>(migrations.size()); }

std::vector<std::string> runsTableColumns(int version) {
    std::vector<std::string> names;
    for (int step = 0; step < version && step < currentSchemaVersion(); ++step) {
        for (const std::string_view statement : migrations[static_cast<std::size_t>(step)]) {
            constexpr std::string_view create = "CREATE TABLE runs (";
            if (statement.starts_with(addColumn)) {
                const std::string_view column = statement.substr(addColumn.size());
                names.emplace_back(column.substr(0, column.find(' ')));
            }
            if (!statement.starts_with(create)) continue;
            // One column a line, its name first.
            std::size_t at = create.size();
            while ((at = statement.find('\n', at)) != std::string_view::npos) {
                const auto first = statement.find_first_not_of(' ', at + 1);
                const auto end = statement.find(' ', first);
                names.emplace_back(statement.substr(first, end - first));
                at = first;
            }
        }
    }
    return names;
}

LogResult<bool> hasSchemaOf(sqlite3* db, int version, const std::string& path) {
    // SQLite keeps a table's CREATE statement, with each column added later
    // written before its closing parenthesis; other statements leave no trace.
    std::vector<std::string> expected;
    for (int step = 0; step < version && step < currentSchemaVersion(); ++step) {
        for (const std::string_view statement : migrations[static_cast<std::size_t>(step)]) {
            if (statement.starts_with("CREATE ")) {
                expected.push_back(simplified(statement));
            } else if (statement.starts_with(addColumn)) {
                for (std::string& known : expected) {
                    if (!known.starts_with("CREATE TABLE runs (")) continue;
                    known.insert(known.size() - 1,
                                 ", " + simplified(statement.substr(addColumn.size())));
                }
            }
        }
    }
    std::vector<std::string> found;
    auto read =
        execute(db, "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL", {}, path, nothingRead,
                [&](const Statement& statement) {
                    found.push_back(simplified(columns_detail::textOf(statement.column(0))));
                });
    if (const LogError* error = logErrorOf(read)) return *error;
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    return found == expected;
}

LogStatus migrate(sqlite3* db, int fromVersion, const std::string& path) {
    const auto run = [&](std::string_view sql) {
        const auto done = execute(db, sql, {}, path, notUpdated);
        const LogError* error = logErrorOf(done);
        return error != nullptr ? LogStatus(*error) : LogStatus();
    };
    for (int version = fromVersion; version < currentSchemaVersion(); ++version) {
        if (auto failed = run("BEGIN IMMEDIATE")) return failed;
        LogStatus failed;
        for (const char* statement : migrations[static_cast<std::size_t>(version)]) {
            if ((failed = run(statement))) break;
        }
        if (!failed) failed = run("PRAGMA application_id = " + numberText(applicationId));
        if (!failed) failed = run("PRAGMA user_version = " + numberText(version + 1));
        if (!failed) failed = run("COMMIT");
        if (failed) {
            run("ROLLBACK");
            return failed;
        }
    }
    return std::nullopt;
}

}  // namespace moravik::runlog::detail
