// What real vehicles do, from a top fuel dragster to a slow street car: a
// value outside these ranges is a typing mistake, and the rules of thumb mean
// nothing there. The command line, the windows and anything later share them.
#pragma once

#include <array>
#include <optional>
#include <string_view>

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
// leave room on both sides of that.
inline constexpr std::array<PlausibleRange, 9> plausibleRanges{{
    {Measure::QuarterEt, "a quarter-mile ET", 2, 60, "2 to 60 s"},
    {Measure::EighthEt, "an eighth-mile ET", 1.2, 40, "1.2 to 40 s"},
    {Measure::RunEt, "the ET of a run", 1.2, 60, "1.2 to 60 s"},
    {Measure::QuarterSpeed, "a quarter-mile trap speed", 20 * metresPerSecondPerMph,
     400 * metresPerSecondPerMph, "20 to 400 mph (32.2 to 643.7 km/h)"},
    {Measure::EighthSpeed, "an eighth-mile trap speed", 15 * metresPerSecondPerMph,
     320 * metresPerSecondPerMph, "15 to 320 mph (24.1 to 515 km/h)"},
    {Measure::RunSpeed, "the trap speed of a run", 15 * metresPerSecondPerMph,
     400 * metresPerSecondPerMph, "15 to 400 mph (24.1 to 643.7 km/h)"},
    {Measure::Weight, "a weight with driver", 100 * kilogramsPerPound, 20000 * kilogramsPerPound,
     "100 to 20,000 lb (45.4 to 9,072 kg)"},
    {Measure::Power, "a horsepower", 1 * wattsPerHorsepower, 20000 * wattsPerHorsepower,
     "1 to 20,000 hp (0.75 to 14,914 kW)"},
    // The second eighth is the faster one and speed still grows through it.
    {Measure::MileFactor, "a factor from the eighth to the quarter", 1, 2, "1 to 2"},
}};

const PlausibleRange& plausibleRange(Measure measure);

// An Error naming `label`, or the field, unless the value is finite and above zero.
std::optional<Error> checkPositive(double value, std::string_view label);
std::optional<Error> checkPositive(double value, Field field);

// An Error naming `label` unless the SI value lies in the measure's range;
// a value within a few ulps of a limit, as a converted unit gives, is in.
std::optional<Error> checkPlausible(double value, Measure measure, std::string_view label);

}  // namespace moravik::raceday
