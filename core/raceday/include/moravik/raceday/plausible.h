// What real vehicles do, from a top fuel dragster to a slow street car: a
// value outside these ranges is a typing mistake, and the rules of thumb mean
// nothing there. The command line, the windows and anything later share them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "moravik/raceday/air.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {

enum class Measure {
    QuarterEt,
    EighthEt,
    RunEt,  // either length, as a time slip of a prediction may be
    QuarterSpeed,
    EighthSpeed,
    RunSpeed,
    Weight,  // with driver
    Power,
    MileFactor,  // quarter per eighth, for ET or speed
    SixtyFoot,
    ThreeThirtyFoot,
    NitrousJet,   // inches
    Temperature,  // of the air
    Pressure,     // station pressure or altimeter setting
    Elevation,
    Year,
};

struct PlausibleRange {
    Measure measure;
    std::string_view what;  // as in "a quarter-mile ET must lie within"
    double low;             // SI, both inclusive
    double high;
    std::string_view accepted;  // the range in the units racers use
};

// A top fuel car runs the quarter in 3.6 s at 330 mph and the eighth in 2.6 s;
// the slowest street cars and trucks take 20 s and trap 60 mph. The ranges
// leave room on both sides of that, the eighth as much as the quarter: a floor
// near 0.55 of the quickest time and a ceiling near 1.2 times the fastest speed.
// Weather is what the air calculation (air.h) accepts. In the order of Measure.
inline constexpr std::array<PlausibleRange, 16> plausibleRanges{{
    {Measure::QuarterEt, "a quarter-mile ET", 2, 60, "2 to 60 s"},
    {Measure::EighthEt, "an eighth-mile ET", 1.5, 40, "1.5 to 40 s"},
    {Measure::RunEt, "the ET of a run", 1.5, 60, "1.5 to 60 s"},
    {Measure::QuarterSpeed, "a quarter-mile trap speed", 20 * metresPerSecondPerMph,
     400 * metresPerSecondPerMph, "20 to 400 mph (32.2 to 643.7 km/h)"},
    {Measure::EighthSpeed, "an eighth-mile trap speed", 15 * metresPerSecondPerMph,
     350 * metresPerSecondPerMph, "15 to 350 mph (24.1 to 563.3 km/h)"},
    {Measure::RunSpeed, "the trap speed of a run", 15 * metresPerSecondPerMph,
     400 * metresPerSecondPerMph, "15 to 400 mph (24.1 to 643.7 km/h)"},
    {Measure::Weight, "a weight with driver", 100 * kilogramsPerPound, 20000 * kilogramsPerPound,
     "100 to 20,000 lb (45.4 to 9,072 kg)"},
    {Measure::Power, "a horsepower", 1 * wattsPerHorsepower, 20000 * wattsPerHorsepower,
     "1 to 20,000 hp (0.75 to 14,914 kW)"},
    // The second eighth is the faster one and speed still grows through it.
    {Measure::MileFactor, "a factor from the eighth to the quarter", 1, 2, "1 to 2"},
    {Measure::SixtyFoot, "a 60-foot time", 0.5, 10, "0.5 to 10 s"},
    {Measure::ThreeThirtyFoot, "a 330-foot time", 1.5, 30, "1.5 to 30 s"},
    {Measure::NitrousJet, "a nitrous jet", 0.005, 0.25, "0.005 to 0.25 in"},
    {Measure::Temperature, "a temperature", lowestKelvin, highestKelvin,
     "-40 to +60 °C (-40 to 140 °F)"},
    {Measure::Pressure, "a pressure", lowestStationPascals, highestStationPascals,
     "500 to 1100 hPa (14.77 to 32.48 inHg)"},
    {Measure::Elevation, "an elevation", -1000 * metresPerFoot, 15000 * metresPerFoot,
     "-1,000 to 15,000 ft (-304.8 to 4,572 m)"},
    {Measure::Year, "a date", 1950, 2100, "the years 1950 to 2100"},
}};

constexpr const PlausibleRange& plausibleRange(Measure measure) {
    return plausibleRanges[static_cast<std::size_t>(measure)];
}

static_assert([] {
    for (std::size_t i = 0; i < plausibleRanges.size(); ++i) {
        if (static_cast<std::size_t>(plausibleRanges[i].measure) != i) return false;
    }
    return true;
}());

// Whether the SI value lies in the measure's range; a value within a few ulps
// of a limit, as a value typed in another unit gives, is in. False for NaN.
constexpr bool isPlausible(double value, Measure measure) {
    const PlausibleRange& range = plausibleRange(measure);
    constexpr double slack = 1e-12;
    const auto size = [](double x) { return x < 0 ? -x : x; };
    return value >= range.low - size(range.low) * slack &&
           value <= range.high + size(range.high) * slack;
}

// "temperature must lie within -40 to +60 °C (-40 to 140 °F)": the sentence for
// a value of `name` outside the measure's range, the same on every front end.
std::string outOfRangeSentence(std::string_view name, Measure measure);

// An Error naming `label`, or the field, unless the value is finite and above zero.
std::optional<Error> checkPositive(double value, std::string_view label);
std::optional<Error> checkPositive(double value, Field field);

// An Error naming `label` unless isPlausible.
std::optional<Error> checkPlausible(double value, Measure measure, std::string_view label);

}  // namespace moravik::raceday
