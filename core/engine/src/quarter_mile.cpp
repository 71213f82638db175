#include "moravik/quarter_mile.h"

#include <limits>

#include "checked_math.h"

namespace moravik {
namespace {

// ratio ^ exponent for one ratio, worked again only when the exponent changes:
// three of the formulas share theirs, and pow is most of a pass.
class RatioPower {
public:
    RatioPower(double numerator, double denominator)
        : numerator_(numerator), denominator_(denominator) {}

    double operator()(double exponent) {
        if (exponent != exponent_) {
            power_ = checked::power(checked::divide(numerator_, denominator_), exponent);
            exponent_ = exponent;
        }
        return power_;
    }

private:
    double numerator_;
    double denominator_;
    double exponent_ = std::numeric_limits<double>::quiet_NaN();
    double power_ = 0;
};

}  // namespace

QuarterMileEstimates computeQuarterMile(double weight, double engineHp, double totalHp) {
    using checked::multiply;
    RatioPower engineSpeed(engineHp, weight);
    RatioPower nitrousSpeed(totalHp, weight);
    RatioPower engineTime(weight, engineHp);
    RatioPower nitrousTime(weight, totalHp);
    QuarterMileEstimates estimates{};
    for (std::size_t i = 0; i < formulaCount; ++i) {
        const FormulaConstants& f = formulaTable[i];
        QuarterMileEstimate& e = estimates[i];
        // Each ET comes from its own weight-to-power ratio, never from the MPH ratio.
        e.mph = multiply(f.mphMultiplier, engineSpeed(f.mphExponent));
        e.mphNitrous = multiply(f.mphMultiplier, nitrousSpeed(f.mphExponent));
        e.et = multiply(f.etMultiplier, engineTime(f.etExponent));
        e.etNitrous = multiply(f.etMultiplier, nitrousTime(f.etExponent));
    }
    return estimates;
}

}  // namespace moravik
