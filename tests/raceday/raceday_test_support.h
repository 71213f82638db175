// Helpers the race-day tests share.
#pragma once

#include <gtest/gtest.h>

#include "moravik/raceday/air.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {

inline double celsius(double c) { return c + celsiusZero; }
inline double fahrenheit(double f) { return (f + 459.67) * 5 / 9; }
inline double inchesOfMercury(double inHg) { return inHg * pascalsPerInchOfMercury; }

// The air of a weather the test expects to be accepted.
inline Air airOf(const Weather& weather) {
    const auto outcome = evaluateAir(weather);
    if (const Error* error = errorOf(outcome)) {
        ADD_FAILURE() << error->message;
        return {};
    }
    return std::get<Air>(outcome);
}

}  // namespace moravik::raceday
