// Density altitude and the correction factors without the rest of evaluateAir. The dew point
// of a humidity (a bisection to the last bit) and the NWS density altitude take most of
// evaluateAir's time; code that needs only these figures for many runs at once, sorting a log
// of 100,000 runs by them, starts here. evaluateAir is built on it, so the figures are the
// same to the bit.
#pragma once

#include "moravik/raceday/correction.h"

namespace moravik::raceday {

struct AirDensity {
    double kelvin;
    double stationPascals;
    double vapourPascals;
    double densityKgPerM3;
    double densityAltitudeMetres;
};

// With evaluateAir's checks and errors.
Outcome<AirDensity> evaluateAirDensity(const Weather& weather);

double correctionFactor(Standard standard, const AirDensity& air);

}  // namespace moravik::raceday
