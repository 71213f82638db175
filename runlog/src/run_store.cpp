// The run log's changes and queries; opening and closing are in run_log.cpp.
#include <QDir>
#include <array>

#include "moravik/runlog/run_log.h"
#include "run_columns.h"
#include "sql_support.h"

namespace moravik::runlog {
namespace {

using detail::Consequence;
using detail::execute;
using detail::nothingRead;

// The columns of the main window's seven inputs, in the order of inputFields.
constexpr std::array<const char*, inputFields.size()> vehicleTextColumns{
    "nitrous_jet", "fuel_pressure", "bottle_pressure", "nozzles", "hp", "weight", "track"};

const Consequence vehicleNotSaved{QStringLiteral("the vehicle was not saved")};
const Consequence runNotSaved{QStringLiteral("the run was not saved")};
const Consequence nothingDeleted{QStringLiteral("nothing was deleted")};

QString vehicleColumns() {
    QString columns = QStringLiteral("name");
    for (const char* column : vehicleTextColumns) columns += QStringLiteral(", ") + column;
    return columns + QStringLiteral(", notes");
}

QVariantList vehicleValues(const Vehicle& vehicle) {
    QVariantList values{vehicle.name.trimmed()};
    for (const InputField& field : inputFields) {
        values << detail::textValue(QString::fromStdString(vehicle.inputs.*field.text));
    }
    values << detail::textValue(vehicle.notes);
    return values;
}

Vehicle readVehicle(const QSqlQuery& query) {
    Vehicle vehicle;
    vehicle.id = query.value(0).toLongLong();
    vehicle.name = query.value(1).toString();
    int column = 2;
    for (const InputField& field : inputFields) {
        vehicle.inputs.*field.text = query.value(column++).toString().toStdString();
    }
    vehicle.notes = query.value(column).toString();
    return vehicle;
}

// Damage met while reading makes the log read-only.
template <typename Record>
LogResult<std::vector<Record>> readAll(LogResult<QSqlQuery> result,
                                       Record (*read)(const QSqlQuery&), RunLog& log) {
    if (const LogError* error = logErrorOf(result)) {
        log.noteDamage(*error);
        return *error;
    }
    QSqlQuery& query = std::get<QSqlQuery>(result);
    std::vector<Record> records;
    while (query.next()) records.push_back(read(query));
    if (query.lastError().isValid()) {
        const LogError error = detail::sqlError(query.lastError(), log.path(), nothingRead);
        log.noteDamage(error);
        return error;
    }
    return records;
}

Run readRunAtStart(const QSqlQuery& query) { return detail::readRun(query); }

LogError notFound(const QString& what);

// The one record a query by key found.
template <typename Record>
LogResult<Record> onlyRecord(LogResult<std::vector<Record>> found, const QString& what) {
    if (const LogError* error = logErrorOf(found)) return *error;
    auto& list = std::get<std::vector<Record>>(found);
    if (list.empty()) return notFound(what);
    return list.front();
}

LogError notFound(const QString& what) {
    return {Problem::NotFound, QStringLiteral("%1 is not in the run log.").arg(what)};
}

// Vehicle names are unique ignoring case, which the column's collation decides.
LogStatus nameTaken(const QSqlDatabase& db, const Vehicle& vehicle, const QString& path) {
    const auto other = detail::singleValue(
        db, QStringLiteral("SELECT count(*) FROM vehicles WHERE name = ? AND id <> ?"),
        {vehicle.name.trimmed(), vehicle.id}, path, vehicleNotSaved);
    if (const LogError* error = logErrorOf(other)) return *error;
    if (std::get<QVariant>(other).toLongLong() == 0) return std::nullopt;
    return LogError{
        Problem::Invalid,
        QStringLiteral("A vehicle named \"%1\" is already in the log.").arg(vehicle.name.trimmed()),
        QStringLiteral("name")};
}

LogStatus vehicleExists(const QSqlDatabase& db, VehicleId id, const QString& path) {
    const auto count = detail::singleValue(
        db, QStringLiteral("SELECT count(*) FROM vehicles WHERE id = ?"), {id}, path, runNotSaved);
    if (const LogError* error = logErrorOf(count)) return *error;
    if (std::get<QVariant>(count).toLongLong() > 0) return std::nullopt;
    return LogError{
        Problem::Invalid,
        QStringLiteral("The run's vehicle (number %1) is not in the log.").arg(QString::number(id)),
        QStringLiteral("vehicle")};
}

// Changes exactly one row, or reports that it is not there.
LogStatus changeOne(LogResult<QSqlQuery> result, const QString& what) {
    if (const LogError* error = logErrorOf(result)) return *error;
    if (std::get<QSqlQuery>(result).numRowsAffected() == 0) return notFound(what);
    return std::nullopt;
}

QString vehicleNumber(VehicleId id) { return QStringLiteral("Vehicle ") + QString::number(id); }
QString runNumber(RunId id) { return QStringLiteral("Run ") + QString::number(id); }

}  // namespace

LogResult<std::vector<Vehicle>> RunLog::vehicles() {
    return readAll(
        execute(connection(),
                QStringLiteral("SELECT id, %1 FROM vehicles ORDER BY name").arg(vehicleColumns()),
                {}, path_, nothingRead),
        readVehicle, *this);
}

LogResult<Vehicle> RunLog::vehicle(VehicleId id) {
    return onlyRecord(
        readAll(
            execute(
                connection(),
                QStringLiteral("SELECT id, %1 FROM vehicles WHERE id = ?").arg(vehicleColumns()),
                {id}, path_, nothingRead),
            readVehicle, *this),
        vehicleNumber(id));
}

LogResult<Vehicle> RunLog::vehicleNamed(const QString& name) {
    return onlyRecord(
        readAll(
            execute(
                connection(),
                QStringLiteral("SELECT id, %1 FROM vehicles WHERE name = ?").arg(vehicleColumns()),
                {name.trimmed()}, path_, nothingRead),
            readVehicle, *this),
        QStringLiteral("A vehicle named \"%1\"").arg(name.trimmed()));
}

LogResult<VehicleId> RunLog::addVehicle(const Vehicle& vehicle) {
    if (auto invalid = checkVehicle(vehicle)) return *invalid;
    VehicleId id = 0;
    const LogStatus failed = inTransaction([&]() -> LogStatus {
        if (auto taken = nameTaken(connection(), vehicle, path_)) return taken;
        auto inserted =
            execute(connection(),
                    QStringLiteral("INSERT INTO vehicles (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                        .arg(vehicleColumns()),
                    vehicleValues(vehicle), path_, vehicleNotSaved);
        if (const LogError* error = logErrorOf(inserted)) return *error;
        id = std::get<QSqlQuery>(inserted).lastInsertId().toLongLong();
        return std::nullopt;
    });
    if (failed) return *failed;
    return id;
}

LogStatus RunLog::updateVehicle(const Vehicle& vehicle) {
    if (auto invalid = checkVehicle(vehicle)) return invalid;
    return inTransaction([&]() -> LogStatus {
        if (auto taken = nameTaken(connection(), vehicle, path_)) return taken;
        QVariantList values = vehicleValues(vehicle);
        values << vehicle.id;
        return changeOne(execute(connection(),
                                 QStringLiteral("UPDATE vehicles SET (%1) = (?, ?, ?, ?, ?, ?, ?, "
                                                "?, ?) WHERE id = ?")
                                     .arg(vehicleColumns()),
                                 values, path_, vehicleNotSaved),
                         vehicleNumber(vehicle.id));
    });
}

LogStatus RunLog::deleteVehicle(VehicleId id) {
    return inTransaction([&]() -> LogStatus {
        const auto count = detail::singleValue(connection(),
                                               QStringLiteral("SELECT count(*) FROM runs WHERE "
                                                              "vehicle_id = ?"),
                                               {id}, path_, nothingDeleted);
        if (const LogError* error = logErrorOf(count)) return *error;
        if (const qint64 runs = std::get<QVariant>(count).toLongLong(); runs > 0) {
            return LogError{Problem::Invalid,
                            QStringLiteral("The vehicle still has %1 runs in the log; delete "
                                           "them first. Nothing was deleted.")
                                .arg(QString::number(runs)),
                            QStringLiteral("vehicle")};
        }
        return changeOne(execute(connection(), QStringLiteral("DELETE FROM vehicles WHERE id = ?"),
                                 {id}, path_, nothingDeleted),
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
    const QString insert = QStringLiteral("INSERT INTO runs (id, %1) VALUES (?, %2)")
                               .arg(detail::runColumnList(), detail::runPlaceholders());
    const LogStatus failed = inTransaction([&]() -> LogStatus {
        QSqlQuery query(connection());
        if (!query.prepare(insert)) return detail::sqlError(query.lastError(), path_, runNotSaved);
        VehicleId checkedVehicle = 0;
        for (const Run& run : runs) {
            if (run.vehicleId != checkedVehicle) {
                if (auto missing = vehicleExists(connection(), run.vehicleId, path_))
                    return missing;
                checkedVehicle = run.vehicleId;
            }
            query.addBindValue(run.id == 0 ? QVariant(QMetaType::fromType<qint64>())
                                           : QVariant(run.id));
            for (const QVariant& value : detail::runValues(run)) query.addBindValue(value);
            if (!query.exec()) return detail::sqlError(query.lastError(), path_, runNotSaved);
            ids.push_back(query.lastInsertId().toLongLong());
        }
        return std::nullopt;
    });
    if (failed) return *failed;
    return ids;
}

LogStatus RunLog::updateRun(const Run& run) {
    if (auto invalid = checkRun(run)) return invalid;
    return inTransaction([&]() -> LogStatus {
        if (auto missing = vehicleExists(connection(), run.vehicleId, path_)) return missing;
        QVariantList values = detail::runValues(run);
        values << run.id;
        return changeOne(execute(connection(),
                                 QStringLiteral("UPDATE runs SET (%1) = (%2) WHERE id = ?")
                                     .arg(detail::runColumnList(), detail::runPlaceholders()),
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
            if (auto error =
                    changeOne(execute(connection(), QStringLiteral("DELETE FROM runs WHERE id = ?"),
                                      {id}, path_, nothingDeleted),
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

LogResult<Run> RunLog::run(RunId id) {
    return onlyRecord(readAll(execute(connection(),
                                      QStringLiteral("SELECT %1 FROM runs WHERE id = ?")
                                          .arg(detail::runSelectList(QString())),
                                      {id}, path_, nothingRead),
                              readRunAtStart, *this),
                      runNumber(id));
}

LogResult<std::vector<Run>> RunLog::runs(const RunFilter& filter) {
    const auto condition = detail::filterCondition(filter, QString());
    return readAll(execute(connection(),
                           QStringLiteral("SELECT %1 FROM runs%2 ORDER BY run_at, id")
                               .arg(detail::runSelectList(QString()), condition.where),
                           condition.values, path_, nothingRead),
                   readRunAtStart, *this);
}

LogResult<std::vector<Run>> RunLog::recentRuns(VehicleId vehicle, std::optional<double> jetInches,
                                               int count) {
    // Jets are sized in thousandths of an inch.
    const QString jetMatch = jetInches
                                 ? QStringLiteral("round(nitrous_jet_in * 1000) = round(? * 1000)")
                                 : QStringLiteral("nitrous_jet_in IS NULL");
    QVariantList values{vehicle};
    if (jetInches) values << *jetInches;
    values << count;
    return readAll(execute(connection(),
                           QStringLiteral("SELECT %1 FROM runs WHERE vehicle_id = ? AND %2 "
                                          "ORDER BY run_at DESC, id DESC LIMIT ?")
                               .arg(detail::runSelectList(QString()), jetMatch),
                           values, path_, nothingRead),
                   readRunAtStart, *this);
}

LogResult<std::vector<QString>> RunLog::strips() {
    return readAll(
        execute(connection(),
                QStringLiteral("SELECT DISTINCT strip FROM runs WHERE strip <> '' ORDER BY strip"),
                {}, path_, nothingRead),
        +[](const QSqlQuery& query) { return query.value(0).toString(); }, *this);
}

LogResult<std::optional<double>> RunLog::medianEt(VehicleId vehicle) {
    auto middle = readAll(
        execute(connection(),
                QStringLiteral("WITH mine AS (SELECT et_s FROM runs WHERE vehicle_id = ?), "
                               "n AS (SELECT count(*) AS runs FROM mine) "
                               "SELECT et_s FROM mine, n WHERE n.runs >= 3 ORDER BY et_s "
                               "LIMIT 2 - (SELECT runs FROM n) % 2 OFFSET ((SELECT runs FROM n) "
                               "- 1) / 2"),
                {vehicle}, path_, nothingRead),
        +[](const QSqlQuery& query) { return query.value(0).toDouble(); }, *this);
    if (const LogError* error = logErrorOf(middle)) return *error;
    const auto& ets = std::get<std::vector<double>>(middle);
    if (ets.empty()) return std::optional<double>();
    return std::optional((ets.front() + ets.back()) / 2);
}

}  // namespace moravik::runlog
