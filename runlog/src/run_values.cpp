#include "run_values.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "moravik/runlog/run_csv.h"

namespace moravik::runlog {

QString dateTimeText(const QDateTime& when) {
    const QDateTime withOffset = when.toOffsetFromUtc(when.offsetFromUtc());
    return withOffset.toString(when.time().msec() == 0 ? Qt::ISODate : Qt::ISODateWithMs);
}

}  // namespace moravik::runlog

namespace moravik::runlog::detail {
namespace {

static_assert([] {
    for (std::size_t i = 0; i < runColumns.size(); ++i) {
        if (static_cast<std::size_t>(runColumns[i].column) != i) return false;
    }
    return true;
}());

QString shortestText(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, end - text);
}

QString key(RunColumn column) { return QLatin1String(columnInfo(column).key); }

LogError wrong(const QString& message) { return {Problem::Invalid, message}; }

// Exactly one of two columns, or an error naming both.
LogResult<std::pair<RunColumn, double>> oneOf(const RunCells& cells, RunColumn first,
                                              RunColumn second, bool required) {
    const auto a = cells.numbers.find(first);
    const auto b = cells.numbers.find(second);
    const bool hasA = a != cells.numbers.end();
    const bool hasB = b != cells.numbers.end();
    if (hasA && hasB) {
        return wrong(QStringLiteral("give %1 or %2, not both").arg(key(first), key(second)));
    }
    if (hasA) return *a;
    if (hasB) return *b;
    if (required) return wrong(QStringLiteral("give %1 or %2").arg(key(first), key(second)));
    return std::pair(RunColumn::Notes, 0.0);  // neither, as allowed
}

std::optional<double> number(const RunCells& cells, RunColumn column) {
    const auto found = cells.numbers.find(column);
    if (found == cells.numbers.end()) return std::nullopt;
    return found->second;
}

QString text(const RunCells& cells, RunColumn column) {
    const auto found = cells.texts.find(column);
    return found == cells.texts.end() ? QString() : found->second;
}

LogStatus readAir(const RunCells& cells, Run& run) {
    const auto pressure =
        oneOf(cells, RunColumn::StationPressure, RunColumn::AltimeterSetting, true);
    if (const LogError* error = logErrorOf(pressure)) return *error;
    const auto [pressureColumn, pascals] = std::get<std::pair<RunColumn, double>>(pressure);
    if (pressureColumn == RunColumn::StationPressure) {
        run.air.pressure = raceday::StationPressure{pascals};
    } else if (const auto elevation = number(cells, RunColumn::AltimeterElevation)) {
        run.air.pressure = raceday::AltimeterSetting{pascals, *elevation};
    } else {
        return wrong(
            QStringLiteral("%1 needs %2")
                .arg(key(RunColumn::AltimeterSetting), key(RunColumn::AltimeterElevation)));
    }
    const auto moisture = oneOf(cells, RunColumn::Humidity, RunColumn::DewPoint, false);
    if (const LogError* error = logErrorOf(moisture)) return *error;
    const auto [moistureColumn, value] = std::get<std::pair<RunColumn, double>>(moisture);
    if (moistureColumn == RunColumn::Humidity) run.air.moisture = raceday::RelativeHumidity{value};
    if (moistureColumn == RunColumn::DewPoint) run.air.moisture = raceday::DewPoint{value};
    return std::nullopt;
}

}  // namespace

QString columnName(const RunColumnInfo& info, raceday::UnitSystem system) {
    if (!info.quantity) return QLatin1String(info.key);
    const std::string_view symbol = raceday::displayUnit(*info.quantity, system).symbol;
    return QLatin1String(info.key) + QLatin1Char('_') +
           QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size()));
}

LogResult<Run> assembleRun(const RunCells& cells) {
    for (const auto& info : runColumns) {
        if (info.required && !cells.texts.contains(info.column) &&
            !cells.numbers.contains(info.column)) {
            return wrong(QStringLiteral("%1 is empty").arg(QLatin1String(info.key)));
        }
    }
    Run run;
    const QString when = text(cells, RunColumn::DateTime).trimmed();
    run.when = QDateTime::fromString(when, Qt::ISODateWithMs);
    if (!run.when.isValid()) {
        return wrong(QStringLiteral("date_time \"%1\" is not a date and time such as "
                                    "2024-06-01T14:30:00+02:00")
                         .arg(when));
    }
    run.strip = text(cells, RunColumn::Strip);
    run.stripElevationMetres = number(cells, RunColumn::StripElevation);
    run.lane = text(cells, RunColumn::Lane);
    run.etSeconds = cells.numbers.at(RunColumn::Et);
    run.speed = cells.numbers.at(RunColumn::Speed);
    run.sixtyFootSeconds = number(cells, RunColumn::SixtyFoot);
    run.threeThirtyFootSeconds = number(cells, RunColumn::ThreeThirtyFoot);
    run.eighthEtSeconds = number(cells, RunColumn::EighthEt);
    run.eighthSpeed = number(cells, RunColumn::EighthSpeed);
    run.nitrousJetInches = number(cells, RunColumn::NitrousJet);
    run.air.kelvin = cells.numbers.at(RunColumn::Temperature);
    run.notes = text(cells, RunColumn::Notes);
    if (auto failed = readAir(cells, run)) return *failed;
    if (auto invalid = checkRun(run)) return *invalid;
    return run;
}

QStringList cellTexts(const Run& run, const QString& vehicleName, raceday::UnitSystem system) {
    const auto* altimeter = std::get_if<raceday::AltimeterSetting>(&run.air.pressure);
    const auto* station = std::get_if<raceday::StationPressure>(&run.air.pressure);
    const auto* humidity = std::get_if<raceday::RelativeHumidity>(&run.air.moisture);
    const auto* dewPoint = std::get_if<raceday::DewPoint>(&run.air.moisture);
    const std::map<RunColumn, std::optional<double>> numbers{
        {RunColumn::StripElevation, run.stripElevationMetres},
        {RunColumn::Et, run.etSeconds},
        {RunColumn::Speed, run.speed},
        {RunColumn::SixtyFoot, run.sixtyFootSeconds},
        {RunColumn::ThreeThirtyFoot, run.threeThirtyFootSeconds},
        {RunColumn::EighthEt, run.eighthEtSeconds},
        {RunColumn::EighthSpeed, run.eighthSpeed},
        {RunColumn::NitrousJet, run.nitrousJetInches},
        {RunColumn::Temperature, run.air.kelvin},
        {RunColumn::StationPressure, station ? std::optional(station->pascals) : std::nullopt},
        {RunColumn::AltimeterSetting, altimeter ? std::optional(altimeter->pascals) : std::nullopt},
        {RunColumn::AltimeterElevation,
         altimeter ? std::optional(altimeter->elevationMetres) : std::nullopt},
        {RunColumn::Humidity, humidity ? std::optional(humidity->ratio) : std::nullopt},
        {RunColumn::DewPoint, dewPoint ? std::optional(dewPoint->kelvin) : std::nullopt},
    };
    const std::map<RunColumn, QString> texts{
        {RunColumn::DateTime, dateTimeText(run.when)},
        {RunColumn::Vehicle, vehicleName},
        {RunColumn::Strip, run.strip},
        {RunColumn::Lane, run.lane},
        {RunColumn::Notes, run.notes},
    };
    QStringList cells;
    for (const auto& info : runColumns) {
        if (const auto found = texts.find(info.column); found != texts.end()) {
            cells << found->second;
            continue;
        }
        const std::optional<double> value = numbers.at(info.column);
        if (!value) {
            cells << QString();
        } else if (info.quantity) {
            cells << exactText(*value, raceday::displayUnit(*info.quantity, system));
        } else {
            cells << shortestText(*value);
        }
    }
    return cells;
}

QString exactText(double si, const raceday::Unit& unit) {
    const double shown = raceday::fromSi(si, unit);
    // The fewest significant digits that read back to the same value.
    for (int digits = 1; digits <= std::numeric_limits<double>::max_digits10; ++digits) {
        char text[32];
        const auto end =
            std::to_chars(text, text + sizeof text, shown, std::chars_format::general, digits).ptr;
        double candidate = 0;
        std::from_chars(text, end, candidate);
        if (raceday::toSi(candidate, unit) == si) return shortestText(candidate);
    }
    // No decimal converts back exactly; the nearest is as close as the unit allows.
    return shortestText(shown);
}

}  // namespace moravik::runlog::detail
