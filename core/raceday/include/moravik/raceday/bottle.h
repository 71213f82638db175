// The nitrous bottle. A bottle holding liquid nitrous oxide is at the
// liquid's vapour pressure, which follows its temperature alone; the gauge on
// the bottle reads that pressure less the air's. This gives the pressure for a
// temperature, the temperature (a heater's set point) for a pressure, and the
// fuel jet the Calculate pass gives for a bottle pressure.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "moravik/calculate.h"
#include "moravik/raceday/air.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/jet.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {

// The critical point of the vapour-pressure correlation (ESDU 91022): above
// this temperature there is no liquid, and the pressure no longer follows the
// curve. The coldest bottle covered is -30 °C.
inline constexpr double nitrousCriticalKelvin = 309.57;
inline constexpr double nitrousCriticalPascals = 7251e3;
inline constexpr double coldestBottleKelvin = celsiusZero - 30;
// What a gauge figure is measured against when today's air is not known.
inline constexpr double standardAtmospherePascals = 101325;

// The absolute vapour pressure of nitrous oxide in Pa, for a temperature from
// coldestBottleKelvin to nitrousCriticalKelvin (not checked).
double nitrousVapourPressure(double kelvin);

// A bottle pressure is read against the air (a gauge reading) or against vacuum.
enum class PressureReference { Gauge, Absolute };

struct BottlePressureUnit {
    std::string_view symbol;
    double pascals;
    PressureReference reference;
};

// A bare "psi", "bar" or "kPa" is what a bottle gauge reads: gauge pressure.
inline constexpr std::array<BottlePressureUnit, 5> bottlePressureUnits{{
    {"psi", pascalsPerPsi, PressureReference::Gauge},
    {"psig", pascalsPerPsi, PressureReference::Gauge},
    {"psia", pascalsPerPsi, PressureReference::Absolute},
    {"bar", 1e5, PressureReference::Gauge},
    {"kPa", 1e3, PressureReference::Gauge},
}};

struct BottlePressure {
    double pascals;
    PressureReference reference;
};

// The unit of a bare number: psi under Imperial, bar under Metric.
const BottlePressureUnit& bareBottleUnit(UnitSystem system);

// Reads "950psi", "950 psia", "65.5bar"; a bare number is in `bareUnit`. The
// Error's message starts with `label`.
Outcome<BottlePressure> parseBottlePressure(std::string_view text,
                                            const BottlePressureUnit& bareUnit,
                                            std::string_view label);

struct Bottle {
    double kelvin;
    double absolutePascals;
    double outsidePascals;  // what the gauge figure is measured against

    double gaugePascals() const { return absolutePascals - outsidePascals; }
};

// An Error naming `label` unless the outside air's absolute pressure lies in
// the air's range (lowestStationPascals to highestStationPascals).
std::optional<Error> checkOutsidePressure(double pascals, std::string_view label);

// The bottle at a temperature, or an Error naming `label` that says why the
// curve does not give it. `outsidePascals` must pass checkOutsidePressure.
Outcome<Bottle> bottleAtTemperature(double kelvin, double outsidePascals, std::string_view label);

// The bottle at a pressure: the temperature its heater must hold.
Outcome<Bottle> bottleAtPressure(const BottlePressure& pressure, double outsidePascals,
                                 std::string_view label);

// The gauge pressure as the calculation's bottle pressure field takes it:
// whole psi, ties to even ("890").
std::string bottlePressureFieldText(const Bottle& bottle);

// What the fuel jet was tuned with; a missing value keeps the window's
// initial text. Pressures in Pa, gauge.
struct BottleTune {
    std::optional<Jet> nitrousJet{};
    std::optional<double> fuelPressure{};
    std::optional<double> bottlePressure{};
};

// The nitrous jet's fuel jet at the tune's bottle pressure and at today's:
// the Calculate pass run on the tune's texts, and again with today's bottle.
struct FuelJetsForBottle {
    InputTexts tune;   // as passed to the pass
    InputTexts today;  // the same with today's bottle pressure
    std::string fuelJetAtTune;
    std::string fuelJetToday;
};

Outcome<FuelJetsForBottle> fuelJetsForBottle(const BottleTune& tune, const Bottle& today);

}  // namespace moravik::raceday
