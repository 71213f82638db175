#include "moravik/raceday/plausible.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace moravik::raceday {

const PlausibleRange& plausibleRange(Measure measure) {
    return *std::find_if(
        plausibleRanges.begin(), plausibleRanges.end(),
        [measure](const PlausibleRange& range) { return range.measure == measure; });
}

std::optional<Error> checkPositive(double value, std::string_view label) {
    if (std::isfinite(value) && value > 0) return std::nullopt;
    return Error{Field::Labelled, std::string(label) + " must be a number above 0"};
}

std::optional<Error> checkPositive(double value, Field field) {
    auto error = checkPositive(value, fieldName(field));
    if (error) error->field = field;
    return error;
}

std::optional<Error> checkPlausible(double value, Measure measure, std::string_view label) {
    const PlausibleRange& range = plausibleRange(measure);
    // A limit typed in another unit lands within a few ulps of its SI value.
    constexpr double slack = 1e-12;
    if (std::isfinite(value) && value >= range.low * (1 - slack) &&
        value <= range.high * (1 + slack))
        return std::nullopt;
    return Error{Field::Labelled, std::string(label) + ": " + std::string(range.what) +
                                      " must lie within " + std::string(range.accepted)};
}

}  // namespace moravik::raceday
