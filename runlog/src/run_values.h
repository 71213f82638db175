// A run's values as the cells of a CSV row: the one table of columns that
// export, import and `moravik-calc log runs` share.
#pragma once

#include <moravik/raceday/units.h>

#include <QStringList>
#include <array>
#include <map>
#include <optional>

#include "moravik/runlog/log_error.h"
#include "moravik/runlog/records.h"

namespace moravik::runlog::detail {

enum class RunColumn {
    DateTime,
    Vehicle,
    Strip,
    StripElevation,
    Lane,
    Et,
    Speed,
    SixtyFoot,
    ThreeThirtyFoot,
    EighthEt,
    EighthSpeed,
    NitrousJet,
    Temperature,
    StationPressure,
    AltimeterSetting,
    AltimeterElevation,
    Humidity,
    DewPoint,
    Notes,
};

struct RunColumnInfo {
    RunColumn column;
    const char* key;                              // the header name, without the unit
    std::optional<raceday::Quantity> quantity{};  // numbers in a unit of this quantity
    bool isNumber = false;                        // a number in the one unit its key names
    bool required = false;
};

using raceday::Quantity;

inline constexpr std::array<RunColumnInfo, 19> runColumns{{
    {RunColumn::DateTime, "date_time", {}, false, true},
    {RunColumn::Vehicle, "vehicle", {}, false, true},
    {RunColumn::Strip, "strip"},
    {RunColumn::StripElevation, "strip_elevation", Quantity::Elevation},
    {RunColumn::Lane, "lane"},
    {RunColumn::Et, "et", Quantity::Time, false, true},
    {RunColumn::Speed, "speed", Quantity::Speed, false, true},
    {RunColumn::SixtyFoot, "sixty_ft", Quantity::Time},
    {RunColumn::ThreeThirtyFoot, "three_thirty_ft", Quantity::Time},
    {RunColumn::EighthEt, "eighth_et", Quantity::Time},
    {RunColumn::EighthSpeed, "eighth_speed", Quantity::Speed},
    {RunColumn::NitrousJet, "nitrous_jet_in", {}, true},
    {RunColumn::Temperature, "temperature", Quantity::Temperature, false, true},
    {RunColumn::StationPressure, "station_pressure", Quantity::Barometer},
    {RunColumn::AltimeterSetting, "altimeter_setting", Quantity::Barometer},
    {RunColumn::AltimeterElevation, "altimeter_elevation", Quantity::Elevation},
    {RunColumn::Humidity, "humidity", Quantity::Humidity},
    {RunColumn::DewPoint, "dew_point", Quantity::Temperature},
    {RunColumn::Notes, "notes"},
}};

constexpr const RunColumnInfo& columnInfo(RunColumn column) {
    return runColumns[static_cast<std::size_t>(column)];
}

// "speed_mph" or "speed_km/h"; "date_time".
QString columnName(const RunColumnInfo& info, raceday::UnitSystem system);

// A row's cells: numbers already in the log's units (SI; inches for the jet).
struct RunCells {
    std::map<RunColumn, QString> texts;
    std::map<RunColumn, double> numbers;
};

// The run the cells describe, its vehicle not yet set; or what is missing or
// contradictory, named by column.
LogResult<Run> assembleRun(const RunCells& cells);

QStringList cellTexts(const Run& run, const QString& vehicleName, raceday::UnitSystem system);

// The shortest decimal in `unit` that converts back to exactly `si`.
QString exactText(double si, const raceday::Unit& unit);

}  // namespace moravik::runlog::detail
