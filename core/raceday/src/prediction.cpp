#include "moravik/raceday/prediction.h"

#include "moravik/portable_math.h"

namespace moravik::raceday {

QuarterMileRun predictRun(const QuarterMileRun& then, Standard standard, const Air& airThen,
                          const Air& airNow) {
    return correctRun(then,
                      correctionFactor(standard, airThen) / correctionFactor(standard, airNow));
}

QuarterMileRun correctRun(const QuarterMileRun& observed, double factor) {
    const double ratio = portable::cbrt(1 / factor);
    return {observed.etSeconds * ratio, observed.speed / ratio};
}

}  // namespace moravik::raceday
