// The air of the day: from temperature, pressure and humidity to vapour
// pressure, dew point, density and density altitude.
#pragma once

#include <optional>
#include <variant>

#include "moravik/raceday/error.h"

namespace moravik::raceday {

struct StationPressure {
    double pascals;  // absolute pressure at the strip
};

struct AltimeterSetting {
    double pascals;  // the setting reported for the airfield
    double elevationMetres;
};

struct RelativeHumidity {
    double ratio;  // 0 to 1
};

struct DewPoint {
    double kelvin;
};

using PressureReading = std::variant<StationPressure, AltimeterSetting>;
using Moisture = std::variant<std::monostate, RelativeHumidity, DewPoint>;  // none: dry air

struct Weather {
    double kelvin = 0;
    PressureReading pressure = StationPressure{0};
    Moisture moisture;
};

struct Air {
    double kelvin;
    double stationPascals;
    double vapourPascals;                  // zero for dry air
    std::optional<double> dewPointKelvin;  // none for dry air
    double densityKgPerM3;
    double densityAltitudeMetres;
    double nwsDensityAltitudeFeet;  // the NWS calculator's method, for comparison
    double relativeDensityPercent;  // of the standard 1.225 kg/m³
};

// Accepted ranges; outside them evaluateAir gives an Error.
inline constexpr double celsiusZero = 273.15;
inline constexpr double lowestKelvin = celsiusZero - 40;
inline constexpr double highestKelvin = celsiusZero + 60;
inline constexpr double lowestStationPascals = 50000;
inline constexpr double highestStationPascals = 110000;

Outcome<Air> evaluateAir(const Weather& weather);

// The weather at another density altitude, for re-dialling as the air changes: the same
// temperature and moisture with the station pressure that gives it. None where that pressure
// lies outside the accepted range, or the weather is refused.
std::optional<Weather> atDensityAltitude(const Weather& weather, double densityAltitudeMetres);

// Saturation vapour pressure over water, in Pa (Wobus polynomial).
double saturationVapourPressure(double kelvin);

// The temperature whose saturation vapour pressure is `pascals` (inverse of
// saturationVapourPressure).
double dewPointFor(double vapourPascals);

// Station pressure from an altimeter setting, in Pa (NWS form).
double stationPressure(const AltimeterSetting& setting);

// Density altitude of the standard atmosphere for a density, in metres.
double densityAltitude(double densityKgPerM3);

// Mass of water per mass of dry air, the humidity ratio W = 0.621945 e / (p - e) (ASHRAE
// Handbook, Fundamentals, chapter 1), for a vapour pressure below the station pressure.
double humidityRatio(double vapourPascals, double stationPascals);

// The same in grains of water per pound of dry air, as racers quote it (7000 grains a pound).
double waterGrainsPerPound(const Air& air);

}  // namespace moravik::raceday
