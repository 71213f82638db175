// Quarter-mile elapsed time and trap speed by four rules of thumb.
#pragma once

#include <array>
#include <cstddef>

namespace moravik {

inline constexpr std::size_t formulaCount = 4;

struct QuarterMileEstimate {
    double mph;
    double mphNitrous;
    double et;
    double etNitrous;
};

using QuarterMileEstimates = std::array<QuarterMileEstimate, formulaCount>;

// weight in pounds, horsepower without and with nitrous. The formulas run in
// the order Huntington, Fox, Hale, Lucius-RoadTrack, each MPH, MPH with
// nitrous, ET, ET with nitrous, so the first impossible value decides the
// fault. Throws ArithmeticFault.
QuarterMileEstimates computeQuarterMile(double weight, double engineHp, double totalHp);

}  // namespace moravik
