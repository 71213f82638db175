// Weather in racers' units for the tests: the units by their definitions.
#pragma once

#include <stdexcept>

#include "moravik/raceday/air.h"
#include "moravik/raceday/units.h"

namespace moravik::test_support {

inline double celsius(double c) { return c + raceday::celsiusZero; }
inline double fahrenheit(double f) { return (f + 459.67) * 5 / 9; }
inline double inchesOfMercury(double inHg) { return inHg * raceday::pascalsPerInchOfMercury; }

inline raceday::Weather stationAir(double f, double inHg, double humidity) {
    return {fahrenheit(f), raceday::StationPressure{inchesOfMercury(inHg)},
            raceday::RelativeHumidity{humidity}};
}

// Dry air at 60 °F, SAE J607's reference temperature, whose J607 factor is
// `factor`: the standard's 29.92 inHg divided by the factor. (J607, as the
// race-day library has it: CF = 29.92 inHg / dry pressure × √(T / 60 °F).)
inline raceday::Weather j607Air(double factor) {
    return {fahrenheit(60), raceday::StationPressure{inchesOfMercury(29.92) / factor},
            std::monostate{}};
}

// The air of a weather the test expects to be accepted; its message thrown otherwise.
inline raceday::Air airOf(const raceday::Weather& weather) {
    auto outcome = raceday::evaluateAir(weather);
    if (const raceday::Error* error = raceday::errorOf(outcome))
        throw std::runtime_error(error->message);
    return std::get<raceday::Air>(outcome);
}

}  // namespace moravik::test_support
