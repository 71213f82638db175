#include "moravik/raceday/correction.h"

#include <algorithm>
#include <cmath>

#include "moravik/raceday/air_density.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

// Temperatures in these standards are written t + 273 with t in °C, not 273.15.
constexpr double standardCelsiusOffset = 273;

struct SaeJ1349 {
    double multiplier;  // the factor is multiplier × ratio - (multiplier - 1)
};

// SAE J1349 (June 1990): CF = 1.18 × (99 kPa / Pd) × √((t + 273) / 298) - 0.18, Pd
// the dry-air pressure. The 2004 revision uses 1.176 and 0.176.
constexpr double j1349DryKilopascals = 99;
constexpr double j1349Kelvin = 298;
constexpr SaeJ1349 j1349Of1990{1.18};
constexpr SaeJ1349 j1349Of2004{1.176};

// SAE J607 (small engines, the dyno shops' "STD"): 29.92 inHg of dry air at 60 °F,
// CF = (29.92 / Pd) × √(T / T₆₀), temperatures absolute.
constexpr double j607DryInchesOfMercury = 29.92;
constexpr double j607Fahrenheit = 60;

// DIN 70020: 1013 mbar total pressure at 20 °C, CF = (1013 / P) × √((t + 273) / 293).
constexpr double dinHectopascals = 1013;
constexpr double dinKelvin = 293;

double j1349Factor(const SaeJ1349& edition, const AirDensity& air) {
    const double dryKilopascals = (air.stationPascals - air.vapourPascals) / 1000;
    const double ratio =
        (j1349DryKilopascals / dryKilopascals) *
        std::sqrt((air.kelvin - celsiusZero + standardCelsiusOffset) / j1349Kelvin);
    return edition.multiplier * ratio - (edition.multiplier - 1);
}

double j607Factor(const AirDensity& air) {
    const double dryPascals = air.stationPascals - air.vapourPascals;
    const double referencePascals = j607DryInchesOfMercury * pascalsPerInchOfMercury;
    const double referenceKelvin = toSi(j607Fahrenheit, fahrenheitUnit);
    return referencePascals / dryPascals * std::sqrt(air.kelvin / referenceKelvin);
}

double dinFactor(const AirDensity& air) {
    return dinHectopascals / (air.stationPascals / 100) *
           std::sqrt((air.kelvin - celsiusZero + standardCelsiusOffset) / dinKelvin);
}

constexpr int factorDecimals = 4;

}  // namespace

std::string factorText(double factor) { return fixedText(factor, factorDecimals); }

std::optional<Standard> findStandard(std::string_view key) {
    const auto found = std::find_if(standards.begin(), standards.end(),
                                    [&](const StandardName& name) { return name.key == key; });
    if (found == standards.end()) return std::nullopt;
    return found->standard;
}

double correctionFactor(Standard standard, const Air& air) {
    return correctionFactor(standard, AirDensity{air.kelvin, air.stationPascals, air.vapourPascals,
                                                 air.densityKgPerM3, air.densityAltitudeMetres});
}

double correctionFactor(Standard standard, const AirDensity& air) {
    switch (standard) {
        case Standard::SaeJ1349_1990:
            return j1349Factor(j1349Of1990, air);
        case Standard::SaeJ1349_2004:
            return j1349Factor(j1349Of2004, air);
        case Standard::SaeJ607:
            return j607Factor(air);
        case Standard::Din70020:
            return dinFactor(air);
    }
    return 1;
}

}  // namespace moravik::raceday
