#include "moravik/runlog/records.h"

#include <moravik/raceday/runs.h>

#include <cmath>

namespace moravik::runlog {
namespace {

bool samePressure(const raceday::PressureReading& a, const raceday::PressureReading& b) {
    if (a.index() != b.index()) return false;
    if (const auto* station = std::get_if<raceday::StationPressure>(&a)) {
        return station->pascals == std::get<raceday::StationPressure>(b).pascals;
    }
    const auto& first = std::get<raceday::AltimeterSetting>(a);
    const auto& second = std::get<raceday::AltimeterSetting>(b);
    return first.pascals == second.pascals && first.elevationMetres == second.elevationMetres;
}

bool sameMoisture(const raceday::Moisture& a, const raceday::Moisture& b) {
    if (a.index() != b.index()) return false;
    if (const auto* humidity = std::get_if<raceday::RelativeHumidity>(&a)) {
        return humidity->ratio == std::get<raceday::RelativeHumidity>(b).ratio;
    }
    if (const auto* dewPoint = std::get_if<raceday::DewPoint>(&a)) {
        return dewPoint->kelvin == std::get<raceday::DewPoint>(b).kelvin;
    }
    return true;
}

LogError invalid(const raceday::Error& error) {
    return {Problem::Invalid, QString::fromStdString(error.message),
            QString::fromStdString(error.field)};
}

}  // namespace

bool operator==(const Vehicle& a, const Vehicle& b) {
    for (const InputField& field : inputFields) {
        if (a.inputs.*field.text != b.inputs.*field.text) return false;
    }
    return a.id == b.id && a.name == b.name && a.notes == b.notes;
}

bool operator==(const Run& a, const Run& b) {
    return a.id == b.id && a.vehicleId == b.vehicleId && a.when == b.when && a.strip == b.strip &&
           a.stripElevationMetres == b.stripElevationMetres && a.lane == b.lane &&
           a.etSeconds == b.etSeconds && a.speed == b.speed &&
           a.sixtyFootSeconds == b.sixtyFootSeconds &&
           a.threeThirtyFootSeconds == b.threeThirtyFootSeconds &&
           a.eighthEtSeconds == b.eighthEtSeconds && a.eighthSpeed == b.eighthSpeed &&
           a.nitrousJetInches == b.nitrousJetInches && a.air.kelvin == b.air.kelvin &&
           samePressure(a.air.pressure, b.air.pressure) &&
           sameMoisture(a.air.moisture, b.air.moisture) && a.notes == b.notes;
}

LogStatus checkVehicle(const Vehicle& vehicle) {
    if (vehicle.name.trimmed().isEmpty()) {
        return LogError{Problem::Invalid, QStringLiteral("A vehicle needs a name."),
                        QStringLiteral("name")};
    }
    return std::nullopt;
}

LogStatus checkRun(const Run& run) {
    if (!run.when.isValid()) {
        return LogError{Problem::Invalid, QStringLiteral("A run needs its date and time."),
                        QStringLiteral("date and time")};
    }
    if (run.stripElevationMetres && !std::isfinite(*run.stripElevationMetres)) {
        return LogError{Problem::Invalid, QStringLiteral("The strip elevation must be a number."),
                        QStringLiteral("strip elevation")};
    }
    const std::pair<std::optional<double>, std::string_view> positives[] = {
        {run.etSeconds, "ET"},
        {run.speed, "MPH"},
        {run.sixtyFootSeconds, "60 ft"},
        {run.threeThirtyFootSeconds, "330 ft"},
        {run.eighthEtSeconds, "1/8 mile ET"},
        {run.eighthSpeed, "1/8 mile MPH"},
        {run.nitrousJetInches, "nitrous jet"},
    };
    for (const auto& [value, field] : positives) {
        if (!value) continue;
        if (auto error = raceday::checkPositive(*value, field)) return invalid(*error);
    }
    if (const auto air = raceday::evaluateAir(run.air); const auto* error = raceday::errorOf(air)) {
        return invalid(*error);
    }
    return std::nullopt;
}

}  // namespace moravik::runlog
