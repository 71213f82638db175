// Quarter-mile elapsed time and trap speed by four rules of thumb.
//
// Every formula has the shape multiplier * ratio ^ exponent, with the ratio
// horsepower / weight for a trap speed and weight / horsepower for a time.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace moravik {

enum class Formula { Huntington, Fox, Hale, LuciusRoadTrack };

inline constexpr std::size_t formulaCount = 4;

struct FormulaConstants {
    Formula formula;
    std::string_view name;
    double mphMultiplier;
    double mphExponent;
    double etMultiplier;
    double etExponent;
};

// The one table of the formulas' constants, in the order they run. 0.333333 is
// the six-digit decimal, not one third: the last digits show it.
inline constexpr std::array<FormulaConstants, formulaCount> formulaTable{{
    {Formula::Huntington, "Huntington", 225, 0.333333, 6.29, 0.333333},
    {Formula::Fox, "Fox", 230, 0.333333, 6.269, 0.333333},
    {Formula::Hale, "Hale", 234, 0.333333, 5.825, 0.333333},
    {Formula::LuciusRoadTrack, "Lucius-RoadTrack", 219.87, 0.3138, 6.9446, 0.2841},
}};

constexpr const FormulaConstants& formulaConstants(Formula formula) {
    return formulaTable[static_cast<std::size_t>(formula)];
}

struct QuarterMileEstimate {
    double mph;
    double mphNitrous;
    double et;
    double etNitrous;
};

// Indexed by Formula.
using QuarterMileEstimates = std::array<QuarterMileEstimate, formulaCount>;

// weight in pounds, horsepower without and with nitrous. The formulas run in
// the order of formulaTable, each MPH, MPH with nitrous, ET, ET with nitrous,
// so the first impossible value decides the fault. Throws ArithmeticFault.
QuarterMileEstimates computeQuarterMile(double weight, double engineHp, double totalHp);

}  // namespace moravik
