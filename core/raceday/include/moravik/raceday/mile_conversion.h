// A run carried to the other track length by racers' rule of thumb.
#pragma once

#include <optional>

#include "moravik/raceday/error.h"

namespace moravik::raceday {

// From the eighth mile to the quarter: ET × 1.57, speed × 1.26.
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

}  // namespace moravik::raceday
