#include "moravik/raceday/mile_conversion.h"

#include <string_view>
#include <utility>

#include "moravik/raceday/plausible.h"

namespace moravik::raceday {
namespace {

Outcome<MileRun> convertRun(double etSeconds, std::optional<double> speed, MileFactors factors,
                            bool toQuarter) {
    const std::pair<double, Field> checks[] = {
        {etSeconds, Field::Et},
        {speed.value_or(1), Field::Speed},
        {factors.et, Field::EtFactor},
        {factors.speed, Field::SpeedFactor},
    };
    for (const auto& [value, field] : checks) {
        if (auto error = checkPositive(value, field)) return *error;
    }
    const auto scale = [toQuarter](double value, double factor) {
        return toQuarter ? value * factor : value / factor;
    };
    const double otherEt = scale(etSeconds, factors.et);
    const std::optional<double> otherSpeed =
        speed ? std::optional(scale(*speed, factors.speed)) : std::nullopt;
    if (toQuarter) return MileRun{etSeconds, speed, otherEt, otherSpeed, factors};
    return MileRun{otherEt, otherSpeed, etSeconds, speed, factors};
}

}  // namespace

Outcome<MileRun> eighthToQuarter(double etSeconds, std::optional<double> speed,
                                 MileFactors factors) {
    return convertRun(etSeconds, speed, factors, true);
}

Outcome<MileRun> quarterToEighth(double etSeconds, std::optional<double> speed,
                                 MileFactors factors) {
    return convertRun(etSeconds, speed, factors, false);
}

}  // namespace moravik::raceday
