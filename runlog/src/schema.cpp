#include "schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <array>
#include <span>

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

// Index i takes a file from version i to version i + 1.
constexpr std::array<std::span<const char* const>, 1> migrations{{version1}};

const Consequence notUpdated{QStringLiteral("the log was left as it was and not updated")};

}  // namespace

int currentSchemaVersion() { return static_cast<int>(migrations.size()); }

LogResult<bool> hasSchemaOf(const QSqlDatabase& db, int version, const QString& path) {
    QStringList expected;
    for (int step = 0; step < version && step < currentSchemaVersion(); ++step) {
        for (const char* statement : migrations[static_cast<std::size_t>(step)]) {
            expected << QString::fromUtf8(statement).simplified();
        }
    }
    auto read = execute(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL"),
                        {}, path, nothingRead);
    if (const LogError* error = logErrorOf(read)) return *error;
    QSqlQuery& query = std::get<QSqlQuery>(read);
    QStringList found;
    while (query.next()) found << query.value(0).toString().simplified();
    if (query.lastError().isValid()) return sqlError(query.lastError(), path, nothingRead);
    expected.sort();
    found.sort();
    return found == expected;
}

LogStatus migrate(const QSqlDatabase& db, int fromVersion, const QString& path) {
    for (int version = fromVersion; version < currentSchemaVersion(); ++version) {
        QSqlDatabase connection = db;
        QSqlQuery query(connection);
        const auto fail = [&] {
            LogError error = sqlError(query.lastError(), path, notUpdated);
            query.exec(QStringLiteral("ROLLBACK"));
            return error;
        };
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            return sqlError(query.lastError(), path, notUpdated);
        }
        for (const char* statement : migrations[static_cast<std::size_t>(version)]) {
            if (!query.exec(QString::fromUtf8(statement))) return fail();
        }
        if (!query.exec(QStringLiteral("PRAGMA application_id = ") +
                        QString::number(applicationId)) ||
            !query.exec(QStringLiteral("PRAGMA user_version = ") + QString::number(version + 1)) ||
            !query.exec(QStringLiteral("COMMIT"))) {
            return fail();
        }
    }
    return std::nullopt;
}

}  // namespace moravik::runlog::detail
