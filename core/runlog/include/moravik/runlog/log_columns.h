// The one table of the run log's columns. Each row says where a value of a
// run lives in the runs table (its SQL name, and how it is bound and read),
// in CSV (its header key and quantity) and in the window's table (its title,
// how it is shown and its sort expression). The statements, the CSV header
// and fields, the table model's columns and `moravik-calc log runs` are all
// drawn from it: a new column is one row here plus a migration in schema.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "moravik/raceday/units.h"
#include "moravik/runlog/records.h"

namespace moravik::runlog {

// A value as one column of the runs table holds it; monostate is NULL.
using Cell = std::variant<std::monostate, std::int64_t, double, std::string>;

// What a column holds, which decides how CSV writes it and the table shows it.
enum class ColumnKind {
    Moment,    // run_at: milliseconds; CSV date_time; the table's local minute
    Vehicle,   // the vehicle's id; CSV and the table show its name
    Text,      // guarded in CSV
    Number,    // in a unit of `quantity`, or (without one) the one unit its key names
    Jet,       // a number of inches, shown as the main window writes a jet
    Pressure,  // the table's pressure: "alt " before an altimeter setting
    Moisture,  // the table's humidity, dew point or "dry"
    Kind,      // which reading a pair of columns holds; SQL only
};

struct LogColumn {
    std::string_view sql;  // the runs table's column; empty: CSV or table only
    std::string_view csv;  // the CSV header's key, without its unit; empty: none
    ColumnKind kind;
    std::optional<raceday::Quantity> quantity{};
    std::string_view title{};    // the window's table header; empty: not shown there
    std::string_view sortKey{};  // an SQL expression on the runs r, for the table's order
    bool required = false;       // in every CSV row
    Cell (*get)(const Run&) = nullptr;
    void (*set)(Run&, const Cell&) = nullptr;  // from the database or CSV, in table order
};

namespace columns_detail {

inline double numberOf(const Cell& cell) {
    if (const auto* number = std::get_if<double>(&cell)) return *number;
    if (const auto* whole = std::get_if<std::int64_t>(&cell)) return static_cast<double>(*whole);
    return 0;
}
inline std::optional<double> optionalOf(const Cell& cell) {
    if (std::holds_alternative<std::monostate>(cell)) return std::nullopt;
    return numberOf(cell);
}
inline Cell cellOf(const std::optional<double>& value) { return value ? Cell(*value) : Cell(); }
inline std::string textOf(const Cell& cell) {
    const auto* text = std::get_if<std::string>(&cell);
    return text != nullptr ? *text : std::string();
}

template <std::string Run::*field>
Cell getText(const Run& run) {
    return run.*field;
}
template <std::string Run::*field>
void setText(Run& run, const Cell& cell) {
    run.*field = textOf(cell);
}
template <double Run::*field>
Cell getNumber(const Run& run) {
    return run.*field;
}
template <double Run::*field>
void setNumber(Run& run, const Cell& cell) {
    run.*field = numberOf(cell);
}
template <std::optional<double> Run::*field>
Cell getOptional(const Run& run) {
    return cellOf(run.*field);
}
template <std::optional<double> Run::*field>
void setOptional(Run& run, const Cell& cell) {
    run.*field = optionalOf(cell);
}

inline const raceday::AltimeterSetting* altimeterOf(const Run& run) {
    return std::get_if<raceday::AltimeterSetting>(&run.air.pressure);
}
inline const raceday::StationPressure* stationOf(const Run& run) {
    return std::get_if<raceday::StationPressure>(&run.air.pressure);
}
inline double pascalsOf(const Run& run) {
    return altimeterOf(run) != nullptr ? altimeterOf(run)->pascals : stationOf(run)->pascals;
}

// The kinds as the runs table's CHECK constraints name them.
inline Cell pressureKind(const Run& run) {
    return std::string(altimeterOf(run) != nullptr ? "altimeter" : "station");
}
inline void setPressureKind(Run& run, const Cell& cell) {
    if (textOf(cell) == "altimeter") {
        run.air.pressure = raceday::AltimeterSetting{0, 0};
    } else {
        run.air.pressure = raceday::StationPressure{0};
    }
}
inline void setPascals(Run& run, const Cell& cell) {
    std::visit([&](auto& reading) { reading.pascals = numberOf(cell); }, run.air.pressure);
}
inline Cell altimeterElevation(const Run& run) {
    return altimeterOf(run) != nullptr ? Cell(altimeterOf(run)->elevationMetres) : Cell();
}
inline void setAltimeterElevation(Run& run, const Cell& cell) {
    if (auto* altimeter = std::get_if<raceday::AltimeterSetting>(&run.air.pressure)) {
        altimeter->elevationMetres = numberOf(cell);
    }
}
inline Cell moistureKind(const Run& run) {
    if (std::holds_alternative<raceday::RelativeHumidity>(run.air.moisture)) return "humidity";
    if (std::holds_alternative<raceday::DewPoint>(run.air.moisture)) return "dew_point";
    return "dry";
}
inline void setMoistureKind(Run& run, const Cell& cell) {
    const std::string kind = textOf(cell);
    if (kind == "humidity") {
        run.air.moisture = raceday::RelativeHumidity{0};
    } else if (kind == "dew_point") {
        run.air.moisture = raceday::DewPoint{0};
    } else {
        run.air.moisture = std::monostate{};
    }
}
inline Cell humidityOf(const Run& run) {
    const auto* humidity = std::get_if<raceday::RelativeHumidity>(&run.air.moisture);
    return humidity != nullptr ? Cell(humidity->ratio) : Cell();
}
inline Cell dewPointOf(const Run& run) {
    const auto* dewPoint = std::get_if<raceday::DewPoint>(&run.air.moisture);
    return dewPoint != nullptr ? Cell(dewPoint->kelvin) : Cell();
}
inline Cell moistureOf(const Run& run) {
    const Cell humidity = humidityOf(run);
    return std::holds_alternative<double>(humidity) ? humidity : dewPointOf(run);
}
inline void setMoisture(Run& run, const Cell& cell) {
    if (auto* humidity = std::get_if<raceday::RelativeHumidity>(&run.air.moisture)) {
        humidity->ratio = numberOf(cell);
    } else if (auto* dewPoint = std::get_if<raceday::DewPoint>(&run.air.moisture)) {
        dewPoint->kelvin = numberOf(cell);
    }
}

}  // namespace columns_detail

using raceday::Quantity;

// In the order of CSV and of the window's table; SQL binds by name. A missing
// optional value sorts after every number: 9e999 is +infinity in SQLite.
inline constexpr std::array<LogColumn, 24> logColumns{{
    {"run_at",
     "date_time",
     ColumnKind::Moment,
     {},
     "Date",
     "r.run_at",
     true,
     [](const Run& run) -> Cell { return millisecondsOf(run.when); },
     [](Run& run, const Cell& cell) {
         const auto* ms = std::get_if<std::int64_t>(&cell);
         run.when = momentOfMilliseconds(ms != nullptr ? *ms : 0);
     }},
    {"vehicle_id",
     "vehicle",
     ColumnKind::Vehicle,
     {},
     "Vehicle",
     "(SELECT name FROM vehicles v WHERE v.id = r.vehicle_id) COLLATE NOCASE",
     true,
     [](const Run& run) -> Cell { return run.vehicleId; },
     [](Run& run, const Cell& cell) {
         const auto* id = std::get_if<std::int64_t>(&cell);
         run.vehicleId = id != nullptr ? *id : 0;
     }},
    {"strip",
     "strip",
     ColumnKind::Text,
     {},
     "Strip",
     "r.strip",
     false,
     columns_detail::getText<&Run::strip>,
     columns_detail::setText<&Run::strip>},
    {"strip_elevation_m", "strip_elevation", ColumnKind::Number, Quantity::Elevation, "Elevation",
     "coalesce(r.strip_elevation_m, 9e999)", false,
     columns_detail::getOptional<&Run::stripElevationMetres>,
     columns_detail::setOptional<&Run::stripElevationMetres>},
    {"lane",
     "lane",
     ColumnKind::Text,
     {},
     "Lane",
     "r.lane",
     false,
     columns_detail::getText<&Run::lane>,
     columns_detail::setText<&Run::lane>},
    {"et_s", "et", ColumnKind::Number, Quantity::Time, "ET", "r.et_s", true,
     columns_detail::getNumber<&Run::etSeconds>, columns_detail::setNumber<&Run::etSeconds>},
    {"speed_m_s", "speed", ColumnKind::Number, Quantity::Speed, "Speed", "r.speed_m_s", true,
     columns_detail::getNumber<&Run::speed>, columns_detail::setNumber<&Run::speed>},
    {"sixty_ft_s", "sixty_ft", ColumnKind::Number, Quantity::Time, "60 ft",
     "coalesce(r.sixty_ft_s, 9e999)", false, columns_detail::getOptional<&Run::sixtyFootSeconds>,
     columns_detail::setOptional<&Run::sixtyFootSeconds>},
    {"three_thirty_ft_s", "three_thirty_ft", ColumnKind::Number, Quantity::Time, "330 ft",
     "coalesce(r.three_thirty_ft_s, 9e999)", false,
     columns_detail::getOptional<&Run::threeThirtyFootSeconds>,
     columns_detail::setOptional<&Run::threeThirtyFootSeconds>},
    {"eighth_et_s", "eighth_et", ColumnKind::Number, Quantity::Time, "1/8 ET",
     "coalesce(r.eighth_et_s, 9e999)", false, columns_detail::getOptional<&Run::eighthEtSeconds>,
     columns_detail::setOptional<&Run::eighthEtSeconds>},
    {"eighth_speed_m_s", "eighth_speed", ColumnKind::Number, Quantity::Speed, "1/8 speed",
     "coalesce(r.eighth_speed_m_s, 9e999)", false, columns_detail::getOptional<&Run::eighthSpeed>,
     columns_detail::setOptional<&Run::eighthSpeed>},
    {"nitrous_jet_in",
     "nitrous_jet_in",
     ColumnKind::Jet,
     {},
     "Nitrous jet",
     "coalesce(r.nitrous_jet_in, 9e999)",
     false,
     columns_detail::getOptional<&Run::nitrousJetInches>,
     columns_detail::setOptional<&Run::nitrousJetInches>},
    {"air_k", "temperature", ColumnKind::Number, Quantity::Temperature, "Temperature", "r.air_k",
     true, [](const Run& run) -> Cell { return run.air.kelvin; },
     [](Run& run, const Cell& cell) { run.air.kelvin = columns_detail::numberOf(cell); }},
    {"air_pressure_kind",
     "",
     ColumnKind::Kind,
     {},
     "",
     "",
     false,
     columns_detail::pressureKind,
     columns_detail::setPressureKind},
    {"air_pressure_pa", "", ColumnKind::Pressure, Quantity::Barometer, "Pressure",
     "r.air_pressure_pa", false,
     [](const Run& run) -> Cell { return columns_detail::pascalsOf(run); },
     columns_detail::setPascals},
    {"air_altimeter_elevation_m", "", ColumnKind::Number, Quantity::Elevation, "", "", false,
     columns_detail::altimeterElevation, columns_detail::setAltimeterElevation},
    {"", "station_pressure", ColumnKind::Number, Quantity::Barometer, "", "", false,
     [](const Run& run) -> Cell {
         const auto* station = columns_detail::stationOf(run);
         return station != nullptr ? Cell(station->pascals) : Cell();
     }},
    {"", "altimeter_setting", ColumnKind::Number, Quantity::Barometer, "", "", false,
     [](const Run& run) -> Cell {
         const auto* altimeter = columns_detail::altimeterOf(run);
         return altimeter != nullptr ? Cell(altimeter->pascals) : Cell();
     }},
    {"", "altimeter_elevation", ColumnKind::Number, Quantity::Elevation, "", "", false,
     columns_detail::altimeterElevation},
    {"air_moisture_kind",
     "",
     ColumnKind::Kind,
     {},
     "",
     "",
     false,
     columns_detail::moistureKind,
     columns_detail::setMoistureKind},
    {"air_moisture",
     "",
     ColumnKind::Moisture,
     {},
     "Humidity",
     "coalesce(r.air_moisture, 9e999)",
     false,
     columns_detail::moistureOf,
     columns_detail::setMoisture},
    {"", "humidity", ColumnKind::Number, Quantity::Humidity, "", "", false,
     columns_detail::humidityOf},
    {"", "dew_point", ColumnKind::Number, Quantity::Temperature, "", "", false,
     columns_detail::dewPointOf},
    {"notes",
     "notes",
     ColumnKind::Text,
     {},
     "Notes",
     "r.notes",
     false,
     columns_detail::getText<&Run::notes>,
     columns_detail::setText<&Run::notes>},
}};

// Header names other programs write for a column, read as the name beside
// them with a note saying so.
struct ColumnSpelling {
    std::string_view spelling, name;
};
inline constexpr std::array<ColumnSpelling, 6> columnSpellings{{
    {"humidity", "humidity_%"},
    {"humidity_percent", "humidity_%"},
    {"nitrous_jet", "nitrous_jet_in"},
    {"elevation_ft", "strip_elevation_ft"},  // the table's "Elevation"
    {"elevation_m", "strip_elevation_m"},
    {"mph", "speed_mph"},
}};

// The row of a column by its SQL name or CSV key; logColumns.size() for none.
constexpr std::size_t columnNamed(std::string_view name) {
    for (std::size_t i = 0; i < logColumns.size(); ++i) {
        if (logColumns[i].sql == name || logColumns[i].csv == name) return i;
    }
    return logColumns.size();
}

// The columns a table or CSV shows, in order: the row in logColumns of each.
template <typename Has>
constexpr auto columnsWhere(Has has) {
    constexpr std::size_t none = logColumns.size();
    std::array<std::size_t, logColumns.size()> rows{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < logColumns.size(); ++i) {
        if (has(logColumns[i])) rows[count++] = i;
    }
    for (std::size_t i = count; i < rows.size(); ++i) rows[i] = none;
    return std::pair(rows, count);
}

inline constexpr auto csvColumnRows =
    columnsWhere([](const LogColumn& c) { return !c.csv.empty(); });
inline constexpr auto tableColumnRows =
    columnsWhere([](const LogColumn& c) { return !c.title.empty(); });
inline constexpr auto sqlColumnRows =
    columnsWhere([](const LogColumn& c) { return !c.sql.empty(); });

inline constexpr std::size_t csvColumnCount = csvColumnRows.second;
inline constexpr std::size_t tableColumnCount = tableColumnRows.second;
inline constexpr std::size_t sqlColumnCount = sqlColumnRows.second;

constexpr const LogColumn& csvColumn(std::size_t index) {
    return logColumns[csvColumnRows.first[index]];
}
constexpr const LogColumn& tableColumn(std::size_t index) {
    return logColumns[tableColumnRows.first[index]];
}
constexpr const LogColumn& sqlColumn(std::size_t index) {
    return logColumns[sqlColumnRows.first[index]];
}

// The table column of a log column, by its SQL name or CSV key.
constexpr int tableColumnNamed(std::string_view name) {
    for (std::size_t i = 0; i < tableColumnCount; ++i) {
        if (tableColumn(i).sql == name || tableColumn(i).csv == name) return static_cast<int>(i);
    }
    return -1;
}

// Whether a column of the window's table holds numbers, shown right-aligned.
constexpr bool isNumberKind(ColumnKind kind) {
    return kind == ColumnKind::Number || kind == ColumnKind::Jet || kind == ColumnKind::Pressure ||
           kind == ColumnKind::Moisture;
}

// A cell of the window's table, and of `moravik-calc log runs`: "11.920 s",
// "alt 29.92 inHg", "0.045 in".
std::string shownText(const LogColumn& column, const Run& run, std::string_view vehicleName,
                      raceday::UnitSystem system);

}  // namespace moravik::runlog
