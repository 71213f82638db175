#include "moravik/raceday/jet_for_hp.h"

#include <array>
#include <charconv>
#include <cmath>

#include "moravik/nitrous.h"
#include "moravik/number_reading.h"
#include "moravik/raceday/jet.h"
#include "moravik/raceday/plausible.h"
#include "moravik/raceday/units.h"
#include "moravik/whole_text.h"

namespace moravik::raceday {
Outcome<std::string> wholeFieldText(std::optional<double> value, const std::string& initial,
                                    Field field, std::string_view unit) {
    if (!value) return initial;
    const auto whole = std::isfinite(*value) ? toWholeNumber(*value) : std::nullopt;
    if (!whole || *whole < 1) {
        return Error{field, std::string(fieldName(field)) + " must lie within 1 to " +
                                wholeText(largestPassWhole) + " " + std::string(unit)};
    }
    return wholeText(*whole);
}

Outcome<JetForPower> jetForPower(double targetWatts, const NitrousSystem& system) {
    if (auto error = checkPositive(targetWatts, Field::TargetPower)) return *error;
    InputTexts inputs;
    const auto fuel = wholeFieldText(
        system.fuelPressure ? std::optional(*system.fuelPressure / pascalsPerPsi) : std::nullopt,
        inputs.flp, Field::FuelPressure, "psi");
    const auto bottle =
        wholeFieldText(system.bottlePressure ? std::optional(*system.bottlePressure / pascalsPerPsi)
                                             : std::nullopt,
                       inputs.nbp, Field::BottlePressure, "psi");
    const auto nozzles = wholeFieldText(
        system.nozzles ? std::optional(static_cast<double>(*system.nozzles)) : std::nullopt,
        inputs.jtn, Field::Nozzles, "nozzles");
    for (const auto* text : {&fuel, &bottle, &nozzles}) {
        if (const Error* error = errorOf(*text)) return *error;
    }
    inputs.flp = std::get<std::string>(fuel);
    inputs.nbp = std::get<std::string>(bottle);
    inputs.jtn = std::get<std::string>(nozzles);

    const auto nozzleCount = static_cast<std::int16_t>(*readNumber(inputs.jtn));
    const double exactJet = nitrousJetForHp(targetWatts / wattsPerHorsepower, nozzleCount);
    const double thousandths = roundHalfToEven(exactJet * Jet::thousandthsPerInch);
    if (!(thousandths >= 1 && thousandths <= largestPassWhole)) {
        return Error{Field::TargetPower, "target power gives no jet between .001 and 32.767 in"};
    }
    const Jet jet{static_cast<std::int64_t>(thousandths)};
    inputs.njt = jetText(jet);
    const CalculationOutcome outcome = calculate(inputs);
    if (const Fault* fault = std::get_if<Fault>(&outcome)) {
        return Error{Field::TargetPower,
                     "the Calculate pass for jet " + inputs.njt +
                         " ended in an arithmetic fault: " + std::string(faultName(*fault))};
    }
    return JetForPower{exactJet, jet, std::move(inputs), std::get<ResultTexts>(outcome)};
}

}  // namespace moravik::raceday
