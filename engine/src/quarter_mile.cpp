#include "moravik/quarter_mile.h"

#include "checked_math.h"

namespace moravik {
namespace {

double estimate(double numerator, double denominator, double exponent, double multiplier) {
    using namespace checked;
    return multiply(multiplier, power(divide(numerator, denominator), exponent));
}

}  // namespace

QuarterMileEstimates computeQuarterMile(double weight, double engineHp, double totalHp) {
    QuarterMileEstimates estimates{};
    for (std::size_t i = 0; i < formulaCount; ++i) {
        const FormulaConstants& f = formulaTable[i];
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
