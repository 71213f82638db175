#include "moravik/raceday/prediction.h"

#include "moravik/portable_math.h"

namespace moravik::raceday {

PredictedRun predictRun(const QuarterMileRun& then, Standard standard, const Air& airThen,
                        const Air& airNow) {
    const double factorThen = correctionFactor(standard, airThen);
    const double factorNow = correctionFactor(standard, airNow);
    const QuarterMileRun now = correctRun(then, factorThen / factorNow);
    return {now, factorThen, factorNow, now.etSeconds / then.etSeconds};
}

QuarterMileRun correctRun(const QuarterMileRun& observed, double factor) {
    const double ratio = portable::cbrt(1 / factor);
    return {observed.etSeconds * ratio, observed.speed / ratio};
}

}  // namespace moravik::raceday
