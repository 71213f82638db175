#include "run_columns.h"

#include <QStringList>
#include <array>

#include "sql_support.h"

namespace moravik::runlog::detail {
namespace {

constexpr std::array<const char*, 19> runColumns{
    "vehicle_id",
    "run_at",
    "strip",
    "strip_elevation_m",
    "lane",
    "et_s",
    "speed_m_s",
    "sixty_ft_s",
    "three_thirty_ft_s",
    "eighth_et_s",
    "eighth_speed_m_s",
    "nitrous_jet_in",
    "air_k",
    "air_pressure_kind",
    "air_pressure_pa",
    "air_altimeter_elevation_m",
    "air_moisture_kind",
    "air_moisture",
    "notes",
};

const QString station = QStringLiteral("station");
const QString altimeter = QStringLiteral("altimeter");
const QString dry = QStringLiteral("dry");
const QString humidity = QStringLiteral("humidity");
const QString dewPoint = QStringLiteral("dew_point");

QString joined(const QString& prefix) {
    QStringList names;
    for (const char* column : runColumns) names << prefix + QLatin1String(column);
    return names.join(QStringLiteral(", "));
}

raceday::PressureReading readPressure(const QSqlQuery& query, int kind) {
    const double pascals = query.value(kind + 1).toDouble();
    if (query.value(kind).toString() == altimeter) {
        return raceday::AltimeterSetting{pascals, query.value(kind + 2).toDouble()};
    }
    return raceday::StationPressure{pascals};
}

raceday::Moisture readMoisture(const QSqlQuery& query, int kind) {
    const QString name = query.value(kind).toString();
    const double value = query.value(kind + 1).toDouble();
    if (name == humidity) return raceday::RelativeHumidity{value};
    if (name == dewPoint) return raceday::DewPoint{value};
    return std::monostate{};
}

}  // namespace

QString runSelectList(const QString& alias) {
    const QString prefix = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    return prefix + QStringLiteral("id, ") + joined(prefix);
}

QString runColumnList() { return joined(QString()); }

QString runPlaceholders() {
    QStringList marks;
    for (std::size_t i = 0; i < runColumns.size(); ++i) marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QVariantList runValues(const Run& run) {
    const auto* altimeterSetting = std::get_if<raceday::AltimeterSetting>(&run.air.pressure);
    const double pascals = altimeterSetting
                               ? altimeterSetting->pascals
                               : std::get<raceday::StationPressure>(run.air.pressure).pascals;
    QString moistureKind = dry;
    std::optional<double> moisture;
    if (const auto* ratio = std::get_if<raceday::RelativeHumidity>(&run.air.moisture)) {
        moistureKind = humidity;
        moisture = ratio->ratio;
    } else if (const auto* dew = std::get_if<raceday::DewPoint>(&run.air.moisture)) {
        moistureKind = dewPoint;
        moisture = dew->kelvin;
    }
    return {run.vehicleId,
            run.when.toMSecsSinceEpoch(),
            textValue(run.strip),
            optionalValue(run.stripElevationMetres),
            textValue(run.lane),
            run.etSeconds,
            run.speed,
            optionalValue(run.sixtyFootSeconds),
            optionalValue(run.threeThirtyFootSeconds),
            optionalValue(run.eighthEtSeconds),
            optionalValue(run.eighthSpeed),
            optionalValue(run.nitrousJetInches),
            run.air.kelvin,
            altimeterSetting ? altimeter : station,
            pascals,
            optionalValue(altimeterSetting ? std::optional(altimeterSetting->elevationMetres)
                                           : std::nullopt),
            moistureKind,
            optionalValue(moisture),
            textValue(run.notes)};
}

Run readRun(const QSqlQuery& query, int first) {
    const auto at = [&](int column) { return query.value(first + column); };
    Run run;
    run.id = at(0).toLongLong();
    run.vehicleId = at(1).toLongLong();
    run.when = QDateTime::fromMSecsSinceEpoch(at(2).toLongLong());
    run.strip = at(3).toString();
    run.stripElevationMetres = optionalDouble(at(4));
    run.lane = at(5).toString();
    run.etSeconds = at(6).toDouble();
    run.speed = at(7).toDouble();
    run.sixtyFootSeconds = optionalDouble(at(8));
    run.threeThirtyFootSeconds = optionalDouble(at(9));
    run.eighthEtSeconds = optionalDouble(at(10));
    run.eighthSpeed = optionalDouble(at(11));
    run.nitrousJetInches = optionalDouble(at(12));
    run.air.kelvin = at(13).toDouble();
    run.air.pressure = readPressure(query, first + 14);
    run.air.moisture = readMoisture(query, first + 17);
    run.notes = at(19).toString();
    return run;
}

SqlCondition filterCondition(const RunFilter& filter, const QString& alias) {
    const QString prefix = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    QStringList terms;
    SqlCondition condition;
    if (filter.vehicleId) {
        terms << prefix + QStringLiteral("vehicle_id = ?");
        condition.values << *filter.vehicleId;
    }
    if (filter.strip) {
        terms << prefix + QStringLiteral("strip = ?");
        condition.values << *filter.strip;
    }
    if (filter.from) {
        terms << prefix + QStringLiteral("run_at >= ?");
        condition.values << filter.from->toMSecsSinceEpoch();
    }
    if (filter.to) {
        terms << prefix + QStringLiteral("run_at <= ?");
        condition.values << filter.to->toMSecsSinceEpoch();
    }
    if (!terms.isEmpty()) condition.where = QStringLiteral(" WHERE ") + terms.join(" AND ");
    return condition;
}

}  // namespace moravik::runlog::detail
