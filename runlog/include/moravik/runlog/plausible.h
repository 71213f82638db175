// The values a run can plausibly hold: the one table the run dialog, CSV
// import and the log's own check share. Bounds are in the log's units (SI;
// inches for jets), each with the range as the user reads it. Plain C++, so
// any part of the program can use it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace moravik::runlog {

enum class Measure {
    Et,
    Speed,
    SixtyFoot,
    ThreeThirtyFoot,
    EighthEt,
    EighthSpeed,
    NitrousJet,
    Temperature,
    Pressure,  // station pressure or altimeter setting
    Elevation,
    Year,
};

struct PlausibleRange {
    Measure measure;
    std::string_view name;  // as a form labels it
    double low, high;       // inclusive, in the log's units
    std::string_view shown;
};

namespace plausible_units {
inline constexpr double mph = 1609.344 / 3600;  // m/s
inline constexpr double foot = 0.3048;          // m
}  // namespace plausible_units

// Quarter-mile figures from the quickest dragsters to the slowest street car;
// weather as the race-day library's air calculation accepts it (temperatures
// typed in °F land within a few ulps of their kelvin bounds).
inline constexpr std::array<PlausibleRange, 11> plausibleRanges{{
    {Measure::Et, "ET", 2, 60, "2 to 60 s"},
    {Measure::Speed, "MPH", 20 * plausible_units::mph, 400 * plausible_units::mph,
     "20 to 400 mph (32.2 to 643.7 km/h)"},
    {Measure::SixtyFoot, "60 ft", 0.5, 10, "0.5 to 10 s"},
    {Measure::ThreeThirtyFoot, "330 ft", 1.5, 30, "1.5 to 30 s"},
    {Measure::EighthEt, "1/8 mile ET", 1.5, 40, "1.5 to 40 s"},
    {Measure::EighthSpeed, "1/8 mile MPH", 15 * plausible_units::mph, 350 * plausible_units::mph,
     "15 to 350 mph (24.1 to 563.3 km/h)"},
    {Measure::NitrousJet, "nitrous jet", 0.005, 0.25, "0.005 to 0.25 in"},
    {Measure::Temperature, "temperature", 233.15 - 1e-9, 333.15 + 1e-9,
     "-40 to +60 °C (-40 to 140 °F)"},
    {Measure::Pressure, "pressure", 50000, 110000, "500 to 1100 hPa (14.77 to 32.48 inHg)"},
    {Measure::Elevation, "elevation", -1000 * plausible_units::foot, 15000 * plausible_units::foot,
     "-1,000 to 15,000 ft (-304.8 to 4,572 m)"},
    {Measure::Year, "date", 1950, 2100, "the years 1950 to 2100"},
}};

constexpr const PlausibleRange& plausibleRange(Measure measure) {
    return plausibleRanges[static_cast<std::size_t>(measure)];
}

constexpr bool isPlausible(Measure measure, double value) {
    const PlausibleRange& range = plausibleRange(measure);
    return value >= range.low && value <= range.high;  // false for NaN
}

// An ET this far from the vehicle's median (a share of it) is asked about
// or listed: 118 s typed for 11.8 s is plausible for some car, not this one.
inline constexpr double outlierShare = 0.25;

constexpr bool isFarFromMedian(double et, std::optional<double> medianEt) {
    if (!medianEt || !(*medianEt > 0)) return false;
    const double off = et > *medianEt ? et - *medianEt : *medianEt - et;
    return off > outlierShare * *medianEt;
}

}  // namespace moravik::runlog
