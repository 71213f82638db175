#include "moravik/runlog/log_columns.h"

#include <charconv>

namespace moravik::runlog {
namespace {

static_assert(columnNamed("et") == columnNamed("et_s"));

std::string shown(double si, Quantity quantity, raceday::UnitSystem system) {
    const raceday::Unit& unit = raceday::displayUnit(quantity, system);
    return raceday::fixedText(raceday::fromSi(si, unit), raceday::quantityInfo(quantity).decimals) +
           " " + raceday::shownSymbol(unit);
}

// A jet as the main window writes it: three decimals of an inch.
std::string jetText(double inches) { return raceday::fixedText(inches, 3) + " in"; }

std::string pressureText(const raceday::PressureReading& pressure, raceday::UnitSystem system) {
    if (const auto* altimeter = std::get_if<raceday::AltimeterSetting>(&pressure)) {
        return "alt " + shown(altimeter->pascals, Quantity::Barometer, system);
    }
    return shown(std::get<raceday::StationPressure>(pressure).pascals, Quantity::Barometer, system);
}

std::string moistureText(const raceday::Moisture& moisture, raceday::UnitSystem system) {
    if (const auto* humidity = std::get_if<raceday::RelativeHumidity>(&moisture)) {
        return shown(humidity->ratio, Quantity::Humidity, system);
    }
    if (const auto* dewPoint = std::get_if<raceday::DewPoint>(&moisture)) {
        return "dew " + shown(dewPoint->kelvin, Quantity::Temperature, system);
    }
    return "dry";
}

}  // namespace

std::string shownText(const LogColumn& column, const Run& run, std::string_view vehicleName,
                      raceday::UnitSystem system) {
    switch (column.kind) {
        case ColumnKind::Moment:
            return localMinuteText(run.when);
        case ColumnKind::Vehicle:
            return std::string(vehicleName);
        case ColumnKind::Number: {
            const auto value = columns_detail::optionalOf(column.get(run));
            return value ? shown(*value, *column.quantity, system) : std::string();
        }
        case ColumnKind::Jet:
            return run.nitrousJetInches ? jetText(*run.nitrousJetInches) : std::string();
        case ColumnKind::Pressure:
            return pressureText(run.air.pressure, system);
        case ColumnKind::Moisture:
            return moistureText(run.air.moisture, system);
        case ColumnKind::Text:
        case ColumnKind::Kind:
            break;
    }
    return columns_detail::textOf(column.get(run));
}

}  // namespace moravik::runlog
