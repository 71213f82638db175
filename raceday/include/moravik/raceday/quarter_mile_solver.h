// The quarter-mile formulas of the Calculate pass, run backwards: horsepower
// from a time slip, and weight from horsepower and ET. The constants are the
// engine's formulaTable, the one source of the four formulas.
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

// The Calculate pass's estimates for a mass (kg) and a power (W), by formula.
std::array<QuarterMileRun, formulaCount> estimateRuns(double massKg, double watts);

// Single formulas without checks: the inputs must be finite and above zero.
double powerFromEt(Formula formula, double etSeconds, double massKg);
double powerFromSpeed(Formula formula, double speed, double massKg);
double massFromPowerAndEt(Formula formula, double watts, double etSeconds);

// All four formulas, or an Error when an input is not a finite value above zero.
Outcome<FormulaValues> solvePowerFromEt(double etSeconds, double massKg);
Outcome<FormulaValues> solvePowerFromSpeed(double speed, double massKg);
Outcome<FormulaValues> solveMassFromPowerAndEt(double watts, double etSeconds);

}  // namespace moravik::raceday
