#include "moravik/raceday/quarter_mile_solver.h"

#include <cmath>

#include "moravik/portable_math.h"
#include "moravik/raceday/plausible.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

// The formulas work in pounds, horsepower and miles per hour.
double pounds(double kg) { return kg / kilogramsPerPound; }
double mph(double speed) { return speed / metresPerSecondPerMph; }

// x = multiplier × ratio^exponent solved for the ratio.
double ratioFor(double x, double multiplier, double exponent) {
    return portable::pow(x / multiplier, 1 / exponent);
}

template <typename Solve>
Outcome<FormulaValues> solveAll(double a, Field aField, double b, Field bField, Solve solve) {
    for (const auto& [value, field] : {std::pair{a, aField}, std::pair{b, bField}}) {
        if (auto error = checkPositive(value, field)) return *error;
    }
    FormulaValues values{};
    for (const FormulaConstants& f : formulaTable) {
        values[static_cast<std::size_t>(f.formula)] = solve(f.formula, a, b);
    }
    return values;
}

}  // namespace

double powerFromEt(Formula formula, double etSeconds, double massKg) {
    const FormulaConstants& f = formulaConstants(formula);
    return pounds(massKg) / ratioFor(etSeconds, f.etMultiplier, f.etExponent) * wattsPerHorsepower;
}

double powerFromSpeed(Formula formula, double speed, double massKg) {
    const FormulaConstants& f = formulaConstants(formula);
    return pounds(massKg) * ratioFor(mph(speed), f.mphMultiplier, f.mphExponent) *
           wattsPerHorsepower;
}

Outcome<FormulaValues> solvePowerFromEt(double etSeconds, double massKg) {
    return solveAll(etSeconds, Field::Et, massKg, Field::Weight, powerFromEt);
}

Outcome<FormulaValues> solvePowerFromSpeed(double speed, double massKg) {
    return solveAll(speed, Field::Speed, massKg, Field::Weight, powerFromSpeed);
}

}  // namespace moravik::raceday
