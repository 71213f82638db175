#include "moravik/raceday/air.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "moravik/portable_math.h"
#include "moravik/raceday/air_density.h"
#include "moravik/raceday/plausible.h"

namespace moravik::raceday {
namespace {

// Herman Wobus's polynomial for the saturation vapour pressure over water, the
// fit that matches the Smithsonian Meteorological Tables best, as published by
// R. Shelquist, "An Introduction to Air Density and Density Altitude
// Calculations": Es = 6.1078 / p^8 hPa, p a polynomial in °C.
constexpr double wobusSeaLevelHpa = 6.1078;
constexpr std::array<double, 10> wobusCoefficients{
    0.99999683,      -0.90826951e-2, 0.78736169e-4,   -0.61117958e-6, 0.43884187e-8,
    -0.29883885e-10, 0.21874425e-12, -0.17892321e-14, 0.11112018e-16, -0.30994571e-19,
};
// The polynomial rises steadily over this span, so the dew point is unique.
constexpr double coldestDewPointCelsius = -120;
constexpr double warmestDewPointCelsius = 100;

// Specific gas constants of dry air and water vapour, J/(kg·K), as Shelquist
// uses them for the partial-pressure density.
constexpr double dryAirGasConstant = 287.05;
constexpr double waterVapourGasConstant = 461.495;

// The standard atmosphere's troposphere solved for height: H = 44330.8 m ×
// (1 - (ρ / 1.225)^0.234969) (ICAO, as in Shelquist).
constexpr double standardDensity = 1.225;
constexpr double densityAltitudeScaleMetres = 44330.8;
constexpr double densityAltitudeExponent = 0.234969;

// The NWS station pressure from an altimeter setting: P = A × ((288 - 0.0065 h)
// / 288)^5.2561, h in metres (NWS El Paso, "Station Pressure").
constexpr double standardKelvinAtSeaLevel = 288;
constexpr double lapseRateKelvinPerMetre = 0.0065;
constexpr double altimeterExponent = 5.2561;

// The NWS density altitude exactly as its calculator does it (NWS El Paso,
// "Density Altitude" and "Pressure Conversion"): e = 6.11 × 10^(7.5 Td /
// (237.7 + Td)) hPa; Tv = T / (1 - (e / P) × (1 - 0.622)); Tv to Rankine as
// 9/5 (Tv - 273.15) + 32 + 459.69; DA = 145366 ft × (1 - (17.326 P / Tv)^0.235)
// with P in inHg = 0.02953 × hPa.
constexpr double nwsVapourHpa = 6.11;
constexpr double nwsMagnusA = 7.5;
constexpr double nwsMagnusB = 237.7;
constexpr double nwsMolarMassRatio = 0.622;
constexpr double nwsFahrenheitToRankine = 459.69;
constexpr double nwsScaleFeet = 145366;
constexpr double nwsPressureFactor = 17.326;
constexpr double nwsExponent = 0.235;
constexpr double nwsInchesOfMercuryPerHpa = 0.02953;

// Molar mass of water over that of dry air (ASHRAE Handbook, Fundamentals, 2017, ch. 1, eq. 22).
constexpr double waterToDryAirMolarMass = 0.621945;
constexpr double grainsPerPound = 7000;  // the grain's definition

constexpr double lowestDewPointKelvin = 213.15;  // -60 °C

double wobusHpa(double celsius) {
    double p = 0;
    for (auto c = wobusCoefficients.rbegin(); c != wobusCoefficients.rend(); ++c) {
        p = p * celsius + *c;
    }
    return wobusSeaLevelHpa / portable::pow(p, 8);
}

// Dry air has no dew point, and then no vapour term.
double nwsDensityAltitudeFeet(double kelvin, double stationPascals,
                              std::optional<double> dewPointKelvin) {
    const double stationHpa = stationPascals / 100;
    double vapourHpa = 0;
    if (dewPointKelvin) {
        const double dewPointCelsius = *dewPointKelvin - celsiusZero;
        vapourHpa = nwsVapourHpa * portable::pow(10, nwsMagnusA * dewPointCelsius /
                                                         (nwsMagnusB + dewPointCelsius));
    }
    const double virtualKelvin = kelvin / (1 - (vapourHpa / stationHpa) * (1 - nwsMolarMassRatio));
    const double virtualRankine =
        (9.0 / 5.0 * (virtualKelvin - celsiusZero) + 32) + nwsFahrenheitToRankine;
    const double stationInHg = nwsInchesOfMercuryPerHpa * stationHpa;
    return nwsScaleFeet *
           (1 - portable::pow(nwsPressureFactor * stationInHg / virtualRankine, nwsExponent));
}

// A limit typed in another unit (°F, bar, inHg) lands within a few ulps of its
// SI value; a relative slack far below any reading keeps it in.
constexpr double slack = 1e-12;

bool within(double value, double low, double high) {
    return value >= low - std::fabs(low) * slack && value <= high + std::fabs(high) * slack;
}

Error rangeError(Field field, const std::string& accepted) {
    return Error{field, std::string(fieldName(field)) + " must lie within " + accepted};
}

Error rangeError(Field field, Measure measure) {
    return Error{field, outOfRangeSentence(fieldName(field), measure)};
}

// Saturated air typed in two units: the dew point is the temperature.
double saturatedAtMost(const DewPoint& dewPoint, double kelvin) {
    return std::min(dewPoint.kelvin, kelvin);
}

// The vapour pressure of the moisture given, in Pa; zero for dry air.
Outcome<double> vapourPascalsOf(const Moisture& moisture, double kelvin) {
    if (const auto* humidity = std::get_if<RelativeHumidity>(&moisture)) {
        if (!within(humidity->ratio, 0, 1)) return rangeError(Field::Humidity, "0 to 100 %");
        return humidity->ratio == 0 ? 0 : humidity->ratio * saturationVapourPressure(kelvin);
    }
    if (const auto* dewPoint = std::get_if<DewPoint>(&moisture)) {
        if (!within(dewPoint->kelvin, -1, kelvin)) {
            return Error{Field::DewPoint, "dew point must not lie above the air temperature"};
        }
        if (!within(dewPoint->kelvin, lowestDewPointKelvin, kelvin)) {
            return rangeError(Field::DewPoint, "-60 °C (-76 °F) to the air temperature");
        }
        return saturationVapourPressure(saturatedAtMost(*dewPoint, kelvin));
    }
    return 0.0;
}

// The dew point of the moisture given, none for dry air.
std::optional<double> dewPointOf(const Moisture& moisture, double kelvin, double vapourPascals) {
    if (const auto* dewPoint = std::get_if<DewPoint>(&moisture)) {
        return saturatedAtMost(*dewPoint, kelvin);
    }
    if (vapourPascals == 0) return std::nullopt;
    return dewPointFor(vapourPascals);
}

}  // namespace

double saturationVapourPressure(double kelvin) { return wobusHpa(kelvin - celsiusZero) * 100; }

double dewPointFor(double vapourPascals) {
    const double hpa = vapourPascals / 100;
    double cold = coldestDewPointCelsius;
    double warm = warmestDewPointCelsius;
    // Halve the span until it cannot shrink: the nearest double to the root.
    for (double middle = (cold + warm) / 2; middle != cold && middle != warm;
         middle = (cold + warm) / 2) {
        (wobusHpa(middle) < hpa ? cold : warm) = middle;
    }
    return warm + celsiusZero;
}

double stationPressure(const AltimeterSetting& setting) {
    const double ratio =
        (standardKelvinAtSeaLevel - lapseRateKelvinPerMetre * setting.elevationMetres) /
        standardKelvinAtSeaLevel;
    return setting.pascals * portable::pow(ratio, altimeterExponent);
}

double densityAltitude(double densityKgPerM3) {
    return densityAltitudeScaleMetres *
           (1 - portable::pow(densityKgPerM3 / standardDensity, densityAltitudeExponent));
}

double humidityRatio(double vapourPascals, double stationPascals) {
    return waterToDryAirMolarMass * vapourPascals / (stationPascals - vapourPascals);
}

double waterGrainsPerPound(const Air& air) {
    return grainsPerPound * humidityRatio(air.vapourPascals, air.stationPascals);
}

Outcome<AirDensity> evaluateAirDensity(const Weather& weather) {
    const double kelvin = weather.kelvin;
    if (!within(kelvin, lowestKelvin, highestKelvin)) {
        return rangeError(Field::Temperature, Measure::Temperature);
    }
    double station = 0;
    if (const auto* setting = std::get_if<AltimeterSetting>(&weather.pressure)) {
        station = stationPressure(*setting);
    } else {
        station = std::get<StationPressure>(weather.pressure).pascals;
    }
    if (!within(station, lowestStationPascals, highestStationPascals)) {
        return rangeError(Field::StationPressure, Measure::Pressure);
    }
    const auto vapour = vapourPascalsOf(weather.moisture, kelvin);
    if (const Error* error = errorOf(vapour)) return *error;
    const double vapourPascals = std::get<double>(vapour);

    const double dryPascals = station - vapourPascals;
    const double density = dryPascals / (dryAirGasConstant * kelvin) +
                           vapourPascals / (waterVapourGasConstant * kelvin);
    return AirDensity{kelvin, station, vapourPascals, density, densityAltitude(density)};
}

std::optional<Weather> atDensityAltitude(const Weather& weather, double densityAltitudeMetres) {
    Weather moved = weather;
    const auto altitudeAt = [&moved](double pascals) -> std::optional<double> {
        moved.pressure = StationPressure{pascals};
        const auto air = evaluateAirDensity(moved);
        if (errorOf(air) != nullptr) return std::nullopt;
        return std::get<AirDensity>(air).densityAltitudeMetres;
    };
    // The density altitude falls as the pressure rises; halving the bracket 60 times leaves
    // less than a millipascal.
    double low = lowestStationPascals;
    double high = highestStationPascals;
    const auto highest = altitudeAt(low);
    const auto lowest = altitudeAt(high);
    if (!highest || !lowest || densityAltitudeMetres > *highest || densityAltitudeMetres < *lowest)
        return std::nullopt;
    constexpr int halvings = 60;
    for (int step = 0; step < halvings; ++step) {
        const double middle = (low + high) / 2;
        if (*altitudeAt(middle) > densityAltitudeMetres) {
            low = middle;
        } else {
            high = middle;
        }
    }
    moved.pressure = StationPressure{(low + high) / 2};
    return moved;
}

Outcome<Air> evaluateAir(const Weather& weather) {
    const auto evaluated = evaluateAirDensity(weather);
    if (const Error* error = errorOf(evaluated)) return *error;
    const AirDensity& air = std::get<AirDensity>(evaluated);
    const auto dewPointKelvin = dewPointOf(weather.moisture, air.kelvin, air.vapourPascals);
    return Air{
        .kelvin = air.kelvin,
        .stationPascals = air.stationPascals,
        .vapourPascals = air.vapourPascals,
        .dewPointKelvin = dewPointKelvin,
        .densityKgPerM3 = air.densityKgPerM3,
        .densityAltitudeMetres = air.densityAltitudeMetres,
        .nwsDensityAltitudeFeet =
            nwsDensityAltitudeFeet(air.kelvin, air.stationPascals, dewPointKelvin),
        .relativeDensityPercent = air.densityKgPerM3 / standardDensity * 100,
    };
}

}  // namespace moravik::raceday
