#include "moravik/raceday/plausible.h"

#include <cmath>
#include <string>

namespace moravik::raceday {

std::optional<Error> checkPositive(double value, std::string_view label) {
    if (std::isfinite(value) && value > 0) return std::nullopt;
    return Error{Field::Labelled, std::string(label) + " must be a number above 0"};
}

std::optional<Error> checkPositive(double value, Field field) {
    auto error = checkPositive(value, fieldName(field));
    if (error) error->field = field;
    return error;
}

std::string outOfRangeSentence(std::string_view name, Measure measure) {
    return std::string(name) + " must lie within " + std::string(plausibleRange(measure).accepted);
}

std::optional<Error> checkPlausible(double value, Measure measure, std::string_view label) {
    if (isPlausible(value, measure)) return std::nullopt;
    return Error{Field::Labelled,
                 labelPrefix(label) + outOfRangeSentence(plausibleRange(measure).what, measure)};
}

}  // namespace moravik::raceday
