// A run carried to other air by the cube-root rule every quarter-mile formula
// shares: power goes as 1 / CF, ET as (CF_now / CF_then)^(1/3) and speed inversely.
#pragma once

#include "moravik/raceday/correction.h"
#include "moravik/raceday/quarter_mile_solver.h"

namespace moravik::raceday {

// The run predicted, with the correction factors of the air then and now and
// the ratio of the ETs, which the reports show beside it.
struct PredictedRun : QuarterMileRun {
    double factorThen;
    double factorNow;
    double etMultiplier;  // ET now / ET then
};

PredictedRun predictRun(const QuarterMileRun& then, Standard standard, const Air& airThen,
                        const Air& airNow);

// The run on the standard's own day (factor 1), by the same rule, from the
// correction factor of the air it was run in.
QuarterMileRun correctRun(const QuarterMileRun& observed, double factor);

}  // namespace moravik::raceday
