// The quarter-mile formulas and the nitrous relation of the Calculate pass,
// run backwards: horsepower from a slip, eighth <-> quarter mile and the jet
// for a target.
#include <cmath>
#include <cstdint>

#include "answer_support.h"
#include "moravik/answers/shown_text.h"
#include "moravik/double_chars.h"
#include "moravik/raceday/jet_for_hp.h"
#include "moravik/raceday/mile_conversion.h"
#include "moravik/raceday/quarter_mile_solver.h"
#include "moravik/result_names.h"

namespace moravik::raceday {
namespace {

double mphOf(double speed) { return speed / metresPerSecondPerMph; }

double readFactor(const std::string& text, double fallback, std::string_view option) {
    if (text.empty()) return fallback;
    double value = 0;
    const auto [end, error] = fromChars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        throw Refusal{quotedText(text) + " is not a factor; give a plain number such as 1.57",
                      {option}};
    }
    if (auto problem = checkPlausible(value, Measure::MileFactor, ""))
        throw Refusal{problem->message, {option}};
    return value;
}

std::optional<std::int64_t> readNozzles(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return required(readWholeNumber(text, 1, largestPassWhole), "--nozzles");
}

}  // namespace

Answered<Answer> answerSolveHp(const SolveHpRequest& o) {
    return answered([&o] {
        const UnitSystem system = unitSystemOf(o);
        const double mass =
            readMeasure(o.weight, Quantity::Weight, Measure::Weight, system, "--weight");
        const bool fromEt = !o.et.empty();
        if (!fromEt && o.speed.empty()) throw Refusal{"give one of them", {"--et", "--mph"}};
        const Quantity quantity = fromEt ? Quantity::Time : Quantity::Speed;
        const double given = readMeasure(fromEt ? o.et : o.speed, quantity,
                                         fromEt ? Measure::QuarterEt : Measure::QuarterSpeed,
                                         system, fromEt ? "--et" : "--mph");
        const FormulaValues watts =
            required(fromEt ? solvePowerFromEt(given, mass) : solvePowerFromSpeed(given, mass),
                     {{Field::Weight, "--weight", Quantity::Weight},
                      {Field::Et, "--et", Quantity::Time},
                      {Field::Speed, "--mph", Quantity::Speed}});
        auto json = figuresJson([&] {
            JsonDocument byFormula = JsonDocument::object();
            for (std::size_t i = 0; i < formulaCount; ++i)
                byFormula[std::string(formulaKeys[i])] = jsonNumber(watts[i] / wattsPerHorsepower);
            return JsonDocument{{fromEt ? "hp_from_et" : "hp_from_mph", byFormula}};
        });
        ReportSection section{"Horsepower from " + std::string(fromEt ? "ET " : "trap speed ") +
                                  displayText(given, quantity, system, o.unitTexts) + " at " +
                                  displayText(mass, Quantity::Weight, system, o.unitTexts),
                              {}};
        for (const FormulaConstants& f : formulaTable) {
            section.lines.push_back(
                {std::string(f.name) + ":", displayText(watts[static_cast<std::size_t>(f.formula)],
                                                        Quantity::Power, system, o.unitTexts)});
        }
        return Answer{std::move(json), {std::move(section)}};
    });
}

Answered<Answer> answerConvert(const ConvertRequest& o) {
    return answered([&o] {
        if (o.eighthEt.empty() && o.quarterEt.empty())
            throw Refusal{"give one of them", {"--eighth-et", "--quarter-et"}};
        const UnitSystem system = unitSystemOf(o);
        const MileFactors defaults;
        const MileFactors factors{readFactor(o.etFactor, defaults.et, "--et-factor"),
                                  readFactor(o.speedFactor, defaults.speed, "--mph-factor")};
        const bool fromEighth = !o.eighthEt.empty();
        const std::string& speedText = fromEighth ? o.eighthSpeed : o.quarterSpeed;
        const std::string_view speedOption = fromEighth ? "--eighth-mph" : "--quarter-mph";
        const std::optional<double> speed =
            speedText.empty() ? std::nullopt
                              : std::optional(readMeasure(
                                    speedText, Quantity::Speed,
                                    fromEighth ? Measure::EighthSpeed : Measure::QuarterSpeed,
                                    system, speedOption));
        const double et = fromEighth ? readMeasure(o.eighthEt, Quantity::Time, Measure::EighthEt,
                                                   system, "--eighth-et")
                                     : readMeasure(o.quarterEt, Quantity::Time, Measure::QuarterEt,
                                                   system, "--quarter-et");
        const MileRun run = required(
            fromEighth ? eighthToQuarter(et, speed, factors) : quarterToEighth(et, speed, factors),
            {{Field::Et, fromEighth ? "--eighth-et" : "--quarter-et", Quantity::Time},
             {Field::Speed, speedOption, Quantity::Speed}});
        const auto mph = [](const std::optional<double>& s) {
            return s ? std::optional(mphOf(*s)) : std::nullopt;
        };
        auto json = figuresJson([&] {
            return JsonDocument{
                {"eighth_et", jsonNumber(run.eighthEtSeconds)},
                {"eighth_mph", jsonNumber(mph(run.eighthSpeed))},
                {"quarter_et", jsonNumber(run.quarterEtSeconds)},
                {"quarter_mph", jsonNumber(mph(run.quarterSpeed))},
                {"et_factor", jsonNumber(run.factors.et)},
                {"mph_factor", jsonNumber(run.factors.speed)},
            };
        });
        const auto line = [&](double seconds, const std::optional<double>& s) {
            return displayText(seconds, Quantity::Time, system, o.unitTexts) +
                   (s ? "  " + displayText(*s, Quantity::Speed, system, o.unitTexts)
                      : std::string());
        };
        ReportSection section{
            {},
            {{"Eighth mile:", line(run.eighthEtSeconds, run.eighthSpeed)},
             {"Quarter mile:", line(run.quarterEtSeconds, run.quarterSpeed)},
             {"Eighth to quarter:", "ET x " + numberText(run.factors.et) + ", speed x " +
                                        numberText(run.factors.speed)}}};
        return Answer{std::move(json), {std::move(section)}};
    });
}

Answered<Answer> answerJetForHp(const JetForHpRequest& o) {
    return answered([&o] {
        const UnitSystem system = unitSystemOf(o);
        const auto pressure = [system](const std::string& text, std::string_view option) {
            return text.empty()
                       ? std::nullopt
                       : std::optional(readQuantity(text, Quantity::LinePressure, system, option));
        };
        const double target = readQuantity(o.targetHp, Quantity::Power, system, "--target-hp");
        // A bottle temperature stands for the pressure the curve gives it.
        const std::optional<BottleFieldText> fromTemperature =
            o.bottleTemperature.empty()
                ? std::nullopt
                : std::optional(required(
                      bottleFieldText(o.bottleTemperature, system, "--bottle-temperature")));
        const std::string& bottleText =
            fromTemperature ? fromTemperature->nbp + "psi" : o.bottlePressure;
        const JetForPower jet =
            required(jetForPower(target, {pressure(o.fuelPressure, "--fuel-pressure"),
                                          pressure(bottleText, "--bottle-pressure"),
                                          readNozzles(o.nozzles)}),
                     {{Field::TargetPower, "--target-hp", Quantity::Power},
                      {Field::FuelPressure, "--fuel-pressure", Quantity::LinePressure},
                      {Field::BottlePressure, "--bottle-pressure", Quantity::LinePressure},
                      {Field::Nozzles, "--nozzles"}});
        auto json = figuresJson([&jet] {
            // The pass's fields, as moravik-calc --json writes them, after the jet.
            JsonDocument fields = JsonDocument::object();
            for (std::size_t i = 0; i < jet.results.size(); ++i)
                fields[std::string(resultFieldNames[i])] = jet.results[i].str();
            return JsonDocument{{"nitrous_jet", jet.inputs.njt}, {"fields", fields}};
        });
        // A result's line as moravik-calc's report writes it.
        const auto resultLine = [&jet](SingleResult r) {
            const ResultName& name = resultName(r);
            std::string text = jet.results[resultIndex(r)].str();
            if (!name.unit.empty()) text.append(" ").append(name.unit);
            return ReportLine{std::string(name.label) + ':', std::move(text)};
        };
        // The pass takes whole psi; shown in the report's units.
        const auto shownPressure = [system, &o](const std::string& psi) {
            double value = 0;
            fromChars(psi.data(), psi.data() + psi.size(), value);
            return displayText(value * pascalsPerPsi, Quantity::LinePressure, system, o.unitTexts);
        };
        ReportSection section{
            "Nitrous jet for " + displayText(target, Quantity::Power, system, o.unitTexts) +
                " of nitrous",
            {{"Nitrous jet:",
              jet.inputs.njt + " in (exact " + numberText(jet.exactJetInches) + ")"},
             {"Fuel / bottle pressure:",
              shownPressure(jet.inputs.flp) + " / " + shownPressure(jet.inputs.nbp)},
             {"Number of nozzles:", jet.inputs.jtn},
             resultLine(SingleResult::NitrousHp),
             resultLine(SingleResult::NitrousHpWheels),
             resultLine(SingleResult::FuelJet),
             resultLine(SingleResult::StandardJet),
             resultLine(SingleResult::HolleyJet)}};
        if (fromTemperature) {
            section.lines.insert(
                section.lines.begin() + 2,
                {"Bottle temperature:",
                 displayText(readQuantity(o.bottleTemperature, Quantity::Temperature, system, {}),
                             Quantity::Temperature, system, o.unitTexts) +
                     " on the ESDU 91022 curve"});
        }
        return Answer{std::move(json), {std::move(section)}};
    });
}

}  // namespace moravik::raceday
