// A run carried to other air or to the other track length.
#pragma once

#include <optional>

#include "moravik/raceday/correction.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/quarter_mile_solver.h"

namespace moravik::raceday {

// A run in other air by the cube-root rule every quarter-mile formula shares:
// power goes as 1 / CF, ET as (CF_now / CF_then)^(1/3) and speed inversely.
QuarterMileRun predictRun(const QuarterMileRun& then, Standard standard, const Air& airThen,
                          const Air& airNow);

// The run on the standard's own day (factor 1), by the same rule, from the
// correction factor of the air it was run in.
QuarterMileRun correctRun(const QuarterMileRun& observed, double factor);

// Racers' rule of thumb from the eighth mile to the quarter: ET × 1.57, speed × 1.26.
struct MileFactors {
    double et = 1.57;
    double speed = 1.26;
};

struct MileRun {
    double eighthEtSeconds;
    std::optional<double> eighthSpeed;  // m/s, when the speed was given
    double quarterEtSeconds;
    std::optional<double> quarterSpeed;
    MileFactors factors;  // as used, so they can be shown
};

Outcome<MileRun> eighthToQuarter(double etSeconds, std::optional<double> speed,
                                 MileFactors factors = {});
Outcome<MileRun> quarterToEighth(double etSeconds, std::optional<double> speed,
                                 MileFactors factors = {});

// An Error naming `field` unless the value is finite and above zero.
std::optional<Error> checkPositive(double value, std::string_view field);

}  // namespace moravik::raceday
