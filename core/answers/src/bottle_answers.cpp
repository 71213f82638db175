// The nitrous bottle: its pressure for a temperature or its temperature for a
// pressure, and the fuel jet for today's bottle.
#include "answer_support.h"
#include "moravik/answers/shown_text.h"
#include "moravik/double_chars.h"
#include "moravik/raceday/bottle.h"
#include "moravik/raceday/jet.h"

namespace moravik::raceday {
namespace {

// What the gauge figures are measured against: one standard atmosphere, or
// the outside air's pressure when given.
double outsidePressureOf(const BottleRequest& o, UnitSystem system) {
    if (o.outsidePressure.empty()) return standardAtmospherePascals;
    const double pascals =
        readQuantity(o.outsidePressure, Quantity::Barometer, system, "--outside-pressure");
    if (auto error = checkOutsidePressure(pascals, ""))
        throw Refusal{error->message, {"--outside-pressure"}};
    return pascals;
}

std::optional<double> gaugePressureOf(const std::string& text, double outside, UnitSystem system,
                                      std::string_view option) {
    if (text.empty()) return std::nullopt;
    const BottlePressure pressure =
        required(parseBottlePressure(text, bareBottleUnit(system), ""), option);
    return pressure.reference == PressureReference::Gauge ? pressure.pascals
                                                          : pressure.pascals - outside;
}

BottleTune tuneOf(const BottleRequest& o, double outside, UnitSystem system) {
    BottleTune tune;
    if (!o.nitrousJet.empty()) {
        tune.nitrousJet = readJet(o.nitrousJet);
        if (!tune.nitrousJet || tune.nitrousJet->thousandths == 0) {
            throw Refusal{notAJetSentence(o.nitrousJet, ZeroJet::Refused), {"--nitrous-jet"}};
        }
    }
    if (!o.fuelPressure.empty()) {
        tune.fuelPressure =
            readQuantity(o.fuelPressure, Quantity::LinePressure, system, "--fuel-pressure");
    }
    tune.bottlePressure = gaugePressureOf(o.tunePressure, outside, system, "--tune-pressure");
    return tune;
}

JsonDocument bottleJson(const Bottle& bottle, const FuelJetsForBottle& jets) {
    return JsonDocument{
        {"temperature_c", jsonNumber(bottle.kelvin - celsiusZero)},
        {"temperature_f", jsonNumber(fromSi(bottle.kelvin, fahrenheitUnit))},
        {"pressure_kpa_absolute", jsonNumber(bottle.absolutePascals / 1e3)},
        {"pressure_psig", jsonNumber(bottle.gaugePascals() / pascalsPerPsi)},
        {"pressure_psia", jsonNumber(bottle.absolutePascals / pascalsPerPsi)},
        {"pressure_bar_gauge", jsonNumber(bottle.gaugePascals() / 1e5)},
        {"outside_pressure_hpa", jsonNumber(bottle.outsidePascals / 100)},
        {"nitrous_jet", jets.tune.njt},
        {"fuel_pressure_psi", jets.tune.flp},
        {"tune_bottle_pressure_psi", jets.tune.nbp},
        {"today_bottle_pressure_psi", jets.today.nbp},
        {"fuel_jet_at_tune", jets.fuelJetAtTune},
        {"fuel_jet_today", jets.fuelJetToday},
    };
}

}  // namespace

Answered<Answer> answerBottle(const BottleRequest& o) {
    return answered([&o] {
        const UnitSystem system = unitSystemOf(o);
        if (o.temperature.empty() == o.pressure.empty())
            throw Refusal{"give one of them, not both", {"--temperature", "--pressure"}};
        const double outside = outsidePressureOf(o, system);
        const bool fromTemperature = !o.temperature.empty();
        const Bottle bottle =
            fromTemperature
                ? required(bottleAtTemperature(readQuantity(o.temperature, Quantity::Temperature,
                                                            system, "--temperature"),
                                               outside, ""),
                           "--temperature")
                : required(bottleAtPressure(
                               required(parseBottlePressure(o.pressure, bareBottleUnit(system), ""),
                                        "--pressure"),
                               outside, ""),
                           "--pressure");
        const FuelJetsForBottle jets =
            required(fuelJetsForBottle(tuneOf(o, outside, system), bottle),
                     {{Field::FuelPressure, "--fuel-pressure", Quantity::LinePressure},
                      {Field::BottlePressure, "--tune-pressure"}});
        const auto shown = [system, &o](double si, Quantity quantity) {
            return displayText(si, quantity, system, o.unitTexts);
        };
        const auto linePressure = [&shown](const std::string& psi) {
            double value = 0;
            fromChars(psi.data(), psi.data() + psi.size(), value);
            return shown(value * pascalsPerPsi, Quantity::LinePressure);
        };
        ReportSection state{
            fromTemperature ? "Bottle pressure for its temperature"
                            : "Heater temperature for a bottle pressure",
            {{"Bottle temperature:", shown(bottle.kelvin, Quantity::Temperature)},
             {"Bottle pressure:",
              shown(bottle.gaugePascals(), Quantity::LinePressure) + " gauge, " +
                  shown(bottle.absolutePascals, Quantity::LinePressure) + " absolute"},
             {"Gauge against:",
              shown(bottle.outsidePascals, Quantity::Barometer) +
                  (o.outsidePressure.empty() ? " (one standard atmosphere)" : " outside")}}};
        ReportSection fuel{"Fuel jet for nitrous jet " + jets.tune.njt + " in at " +
                               linePressure(jets.tune.flp) + " fuel",
                           {{"At the tune's bottle:",
                             linePressure(jets.tune.nbp) + ": " + jets.fuelJetAtTune + " in"},
                            {"At today's bottle:",
                             linePressure(jets.today.nbp) + ": " + jets.fuelJetToday + " in"}}};
        return Answer{figuresJson([&] { return bottleJson(bottle, jets); }),
                      {std::move(state), std::move(fuel)}};
    });
}

Answered<BottleFieldText> bottleFieldText(const std::string& temperature, UnitSystem system,
                                          std::string_view option) {
    return answeredAs<BottleFieldText>([&] {
        const Bottle bottle = required(
            bottleAtTemperature(readQuantity(temperature, Quantity::Temperature, system, option),
                                standardAtmospherePascals, ""),
            option);
        std::string nbp = bottlePressureFieldText(bottle);
        std::string note = std::string(option) + " " + quotedText(temperature) +
                           " gives a bottle pressure of " + nbp + " psi (" +
                           fixedText(bottle.gaugePascals() / pascalsPerPsi, 1) +
                           " psi gauge against one standard atmosphere, ESDU 91022 curve)";
        return BottleFieldText{std::move(nbp), std::move(note)};
    });
}

}  // namespace moravik::raceday
