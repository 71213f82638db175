#include "moravik/raceday/bottle.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "moravik/portable_math.h"
#include "moravik/raceday/jet_for_hp.h"

namespace moravik::raceday {
namespace {

// ESDU 91022, "Vapour pressures and critical points of liquids, part 13:
// nitrous oxide" (Engineering Sciences Data Unit, 1991), as reproduced in
// Aspire Space's "Modelling the nitrous run tank emptying":
// ln(p / pc) = (Tc / T) (b1 θ + b2 θ^1.5 + b3 θ^2.5 + b4 θ^5), θ = 1 - T / Tc.
constexpr double b1 = -6.71893;
constexpr double b2 = 1.35966;
constexpr double b3 = -1.3779;
constexpr double b4 = -4.051;

// exp through the portable pow: the C library's exp, like its pow, has a
// variant per processor.
constexpr double euler = 2.718281828459045;

// A limit typed in another unit lands within a few ulps of its SI value.
constexpr double limitSlack = 1e-12;

std::string fahrenheitAndCelsius(double kelvin) {
    return fixedText(fromSi(kelvin, fahrenheitUnit), 2) + " °F (" +
           fixedText(kelvin - celsiusZero, 2) + " °C)";
}

std::string gaugeText(double pascals) {
    return fixedText(pascals / pascalsPerPsi, 1) + " psi (" + fixedText(pascals / 1e5, 2) +
           " bar) gauge";
}

// The temperature whose vapour pressure is `absolutePascals`, within the
// covered range: bisection down to neighbouring doubles, as the curve rises
// steadily there.
double temperatureFor(double absolutePascals) {
    double low = coldestBottleKelvin;
    double high = nitrousCriticalKelvin;
    for (;;) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high) break;
        (nitrousVapourPressure(middle) < absolutePascals ? low : high) = middle;
    }
    return absolutePascals - nitrousVapourPressure(low) <
                   nitrousVapourPressure(high) - absolutePascals
               ? low
               : high;
}

}  // namespace

double nitrousVapourPressure(double kelvin) {
    const double theta = 1 - kelvin / nitrousCriticalKelvin;
    const double root = std::sqrt(theta);
    const double square = theta * theta;
    const double sum =
        b1 * theta + b2 * theta * root + b3 * square * root + b4 * square * square * theta;
    return nitrousCriticalPascals * portable::pow(euler, nitrousCriticalKelvin / kelvin * sum);
}

const BottlePressureUnit& bareBottleUnit(UnitSystem system) {
    return bottlePressureUnits[system == UnitSystem::Imperial ? 0 : 3];
}

Outcome<BottlePressure> parseBottlePressure(std::string_view text,
                                            const BottlePressureUnit& bareUnit,
                                            std::string_view label) {
    const auto parts = splitQuantity(text);
    const auto named = [&parts](const BottlePressureUnit& u) {
        return parts->symbol.size() == u.symbol.size() &&
               std::equal(u.symbol.begin(), u.symbol.end(), parts->symbol.begin(),
                          [](char a, char b) {
                              return std::tolower(static_cast<unsigned char>(a)) ==
                                     std::tolower(static_cast<unsigned char>(b));
                          });
    };
    const BottlePressureUnit* unit = nullptr;
    if (parts) {
        const auto found =
            std::find_if(bottlePressureUnits.begin(), bottlePressureUnits.end(), named);
        unit = parts->symbol.empty()                ? &bareUnit
               : found == bottlePressureUnits.end() ? nullptr
                                                    : &*found;
    }
    if (unit == nullptr) {
        return Error{Field::Labelled,
                     labelPrefix(label) + echoedText(text) +
                         " is not a bottle pressure; give a number with one of the units psi, "
                         "psig, psia, bar, kPa (psi, bar and kPa read on the gauge, as psig; "
                         "a bare number is in " +
                         std::string(bareUnit.symbol) + ")"};
    }
    return BottlePressure{parts->number * unit->pascals, unit->reference};
}

std::optional<Error> checkOutsidePressure(double pascals, std::string_view label) {
    if (std::isfinite(pascals) && pascals >= lowestStationPascals * (1 - limitSlack) &&
        pascals <= highestStationPascals * (1 + limitSlack))
        return std::nullopt;
    return Error{Field::Labelled, labelPrefix(label) +
                                      "the outside air's pressure must lie within 500 to 1100 "
                                      "hPa (14.77 to 32.48 inHg)"};
}

Outcome<Bottle> bottleAtTemperature(double kelvin, double outsidePascals, std::string_view label) {
    if (!(kelvin >= coldestBottleKelvin * (1 - limitSlack))) {
        return Error{Field::Labelled, labelPrefix(label) + "the curve covers a bottle from " +
                                          fahrenheitAndCelsius(coldestBottleKelvin) +
                                          " up; a colder bottle is too cold to run"};
    }
    if (!(kelvin <= nitrousCriticalKelvin * (1 + limitSlack))) {
        return Error{Field::Labelled,
                     labelPrefix(label) + "above " + fahrenheitAndCelsius(nitrousCriticalKelvin) +
                         ", nitrous oxide's critical temperature, no liquid is left in the bottle "
                         "and its pressure no longer follows the vapour curve"};
    }
    const double clamped = std::clamp(kelvin, coldestBottleKelvin, nitrousCriticalKelvin);
    return Bottle{clamped, nitrousVapourPressure(clamped), outsidePascals};
}

Outcome<Bottle> bottleAtPressure(const BottlePressure& pressure, double outsidePascals,
                                 std::string_view label) {
    const double absolute = pressure.reference == PressureReference::Gauge
                                ? pressure.pascals + outsidePascals
                                : pressure.pascals;
    const double lowest = nitrousVapourPressure(coldestBottleKelvin);
    const std::string against = " against " + fixedText(outsidePascals / 100, 2) + " hPa outside";
    if (!(absolute >= lowest * (1 - limitSlack))) {
        return Error{Field::Labelled, labelPrefix(label) + "the curve covers a bottle from " +
                                          gaugeText(lowest - outsidePascals) + against + ", " +
                                          fixedText(lowest / 1e3, 1) + " kPa absolute, at " +
                                          fahrenheitAndCelsius(coldestBottleKelvin) + " up"};
    }
    if (!(absolute <= nitrousCriticalPascals * (1 + limitSlack))) {
        return Error{Field::Labelled,
                     labelPrefix(label) + "above " +
                         gaugeText(nitrousCriticalPascals - outsidePascals) + against + ", " +
                         fixedText(nitrousCriticalPascals / 1e3, 0) +
                         " kPa absolute, nitrous oxide's critical pressure, no liquid is left in "
                         "the bottle and no temperature gives that pressure"};
    }
    const double clamped = std::clamp(absolute, lowest, nitrousCriticalPascals);
    return Bottle{temperatureFor(clamped), clamped, outsidePascals};
}

std::string bottlePressureFieldText(const Bottle& bottle) {
    return std::get<std::string>(
        wholeFieldText(bottle.gaugePascals() / pascalsPerPsi, {}, Field::BottlePressure, "psi"));
}

Outcome<FuelJetsForBottle> fuelJetsForBottle(const BottleTune& tune, const Bottle& today) {
    const InputTexts initial;
    FuelJetsForBottle jets;
    jets.tune.njt = tune.nitrousJet ? jetText(*tune.nitrousJet) : initial.njt;
    const auto psi = [](std::optional<double> pascals) {
        return pascals ? std::optional(*pascals / pascalsPerPsi) : std::nullopt;
    };
    const auto fuel =
        wholeFieldText(psi(tune.fuelPressure), initial.flp, Field::FuelPressure, "psi");
    const auto bottle =
        wholeFieldText(psi(tune.bottlePressure), initial.nbp, Field::BottlePressure, "psi");
    for (const auto* text : {&fuel, &bottle}) {
        if (const Error* error = errorOf(*text)) return *error;
    }
    jets.tune.flp = std::get<std::string>(fuel);
    jets.tune.nbp = std::get<std::string>(bottle);
    jets.today = jets.tune;
    jets.today.nbp = bottlePressureFieldText(today);
    for (const auto& [inputs, fuelJet] :
         {std::pair{&jets.tune, &jets.fuelJetAtTune}, std::pair{&jets.today, &jets.fuelJetToday}}) {
        const CalculationOutcome outcome = calculate(*inputs);
        if (const Fault* fault = std::get_if<Fault>(&outcome)) {
            return Error{
                Field::BottlePressure,
                "the Calculate pass at bottle pressure " + inputs->nbp +
                    " psi ended in an arithmetic fault: " + std::string(faultName(*fault))};
        }
        // Without the blank the pass writes for a sign.
        const std::string_view text =
            std::get<ResultTexts>(outcome)[resultIndex(SingleResult::FuelJet)].view();
        *fuelJet = std::string(text.substr(text.starts_with(' ') ? 1 : 0));
    }
    return jets;
}

}  // namespace moravik::raceday
