// The quarter-mile formulas of the Calculate pass, run backwards: horsepower
// from a time slip. The constants are the engine's formulaTable, the one
// source of the four formulas.
#pragma once

#include <array>
#include <string_view>

#include "moravik/quarter_mile.h"
#include "moravik/raceday/error.h"

namespace moravik::raceday {

// Keys of the formulas in JSON, indexed by Formula.
inline constexpr std::array<std::string_view, formulaCount> formulaKeys{"huntington", "fox", "hale",
                                                                        "lrt"};

using FormulaValues = std::array<double, formulaCount>;  // indexed by Formula

struct QuarterMileRun {
    double etSeconds;
    double speed;  // m/s
};

// Single formulas without checks: the inputs must be finite and above zero.
double powerFromEt(Formula formula, double etSeconds, double massKg);
double powerFromSpeed(Formula formula, double speed, double massKg);

// All four formulas, or an Error when an input is not a finite value above zero.
Outcome<FormulaValues> solvePowerFromEt(double etSeconds, double massKg);
Outcome<FormulaValues> solvePowerFromSpeed(double speed, double massKg);

}  // namespace moravik::raceday
