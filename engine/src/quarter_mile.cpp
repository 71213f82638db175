#include "moravik/quarter_mile.h"

#include "checked_math.h"

namespace moravik {
namespace {

struct FormulaConstants {
    double mphMultiplier;
    double mphExponent;
    double etMultiplier;
    double etExponent;
};

// 0.333333 is the six-digit decimal, not one third: the last digits show it.
constexpr std::array<FormulaConstants, formulaCount> formulas{{
    {225, 0.333333, 6.29, 0.333333},   // Huntington
    {230, 0.333333, 6.269, 0.333333},  // Fox
    {234, 0.333333, 5.825, 0.333333},  // Hale
    {219.87, 0.3138, 6.9446, 0.2841},  // Lucius-RoadTrack
}};

double estimate(double numerator, double denominator, double exponent, double multiplier) {
    using namespace checked;
    return multiply(multiplier, power(divide(numerator, denominator), exponent));
}

}  // namespace

QuarterMileEstimates computeQuarterMile(double weight, double engineHp, double totalHp) {
    QuarterMileEstimates estimates{};
    for (std::size_t i = 0; i < formulaCount; ++i) {
        const FormulaConstants& f = formulas[i];
        QuarterMileEstimate& e = estimates[i];
        // Each ET comes from its own weight-to-power ratio, never from the MPH ratio.
        e.mph = estimate(engineHp, weight, f.mphExponent, f.mphMultiplier);
        e.mphNitrous = estimate(totalHp, weight, f.mphExponent, f.mphMultiplier);
        e.et = estimate(weight, engineHp, f.etExponent, f.etMultiplier);
        e.etNitrous = estimate(weight, totalHp, f.etExponent, f.etMultiplier);
    }
    return estimates;
}

}  // namespace moravik
