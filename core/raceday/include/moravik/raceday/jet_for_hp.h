// The nitrous jet for a target horsepower: the Calculate pass's own nitrous
// relation solved for the jet, rounded to a jet one can buy, and the pass run
// with that jet so every figure is the one the window would show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "moravik/calculate.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/jet.h"

namespace moravik::raceday {

// Pressures in Pa (gauge); a missing value keeps the window's initial text.
struct NitrousSystem {
    std::optional<double> fuelPressure{};
    std::optional<double> bottlePressure{};
    std::optional<std::int64_t> nozzles{};
};

struct JetForPower {
    double exactJetInches;  // before rounding
    Jet jet;                // the jet to use
    InputTexts inputs;      // the window's texts with that jet, as passed to the pass
    ResultTexts results;    // the Calculate pass for those texts
};

// The pass reads pressures and nozzles as whole numbers from 1 to this.
inline constexpr std::int64_t largestPassWhole = 32767;

// A pressure or nozzle count as the pass reads it: the value's text rounded
// ties to even, `initial` when there is none, or an Error for `field` that
// names `unit`.
Outcome<std::string> wholeFieldText(std::optional<double> value, const std::string& initial,
                                    Field field, std::string_view unit);

// targetWatts is the power the nitrous adds.
Outcome<JetForPower> jetForPower(double targetWatts, const NitrousSystem& system);

}  // namespace moravik::raceday
