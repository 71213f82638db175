// moravik-calc solve-hp, convert and jet-for-hp: the quarter-mile formulas and
// the nitrous relation of the Calculate pass, run backwards.
#include <charconv>
#include <cmath>
#include <ostream>

#include "display_text.h"
#include "moravik/raceday/jet_for_hp.h"
#include "moravik/raceday/mile_conversion.h"
#include "moravik/raceday/plausible.h"
#include "moravik/raceday/quarter_mile_solver.h"
#include "raceday_cli.h"

namespace moravik::cli {
namespace {

using namespace raceday;

double mphOf(double speed) { return speed / metresPerSecondPerMph; }

struct SolveHpOptions {
    CommonOptions common;
    std::string weight, et, speed;
};

void printSolvedPower(const SolveHpOptions& o, std::ostream& out) {
    const UnitSystem system = o.common.system();
    const double mass =
        readMeasure(o.weight, Quantity::Weight, Measure::Weight, system, "--weight");
    const bool fromEt = !o.et.empty();
    if (!fromEt && o.speed.empty()) throw UsageFailure{"give --et or --mph"};
    const Quantity quantity = fromEt ? Quantity::Time : Quantity::Speed;
    const double given = readMeasure(fromEt ? o.et : o.speed, quantity,
                                     fromEt ? Measure::QuarterEt : Measure::QuarterSpeed, system,
                                     fromEt ? "--et" : "--mph");
    const FormulaValues watts =
        required(fromEt ? solvePowerFromEt(given, mass) : solvePowerFromSpeed(given, mass),
                 {{Field::Weight, "--weight", Quantity::Weight},
                  {Field::Et, "--et", Quantity::Time},
                  {Field::Speed, "--mph", Quantity::Speed}});
    if (o.common.json) {
        JsonDocument byFormula = JsonDocument::object();
        for (std::size_t i = 0; i < formulaCount; ++i) {
            byFormula[std::string(formulaKeys[i])] = jsonNumber(watts[i] / wattsPerHorsepower);
        }
        out << jsonText(JsonDocument{{fromEt ? "hp_from_et" : "hp_from_mph", byFormula}}) << '\n';
        return;
    }
    out << "Horsepower from " << (fromEt ? "ET " : "trap speed ")
        << displayText(given, quantity, system) << " at "
        << displayText(mass, Quantity::Weight, system) << '\n';
    for (const FormulaConstants& f : formulaTable) {
        reportLine(
            out, std::string(f.name) + ":",
            displayText(watts[static_cast<std::size_t>(f.formula)], Quantity::Power, system));
    }
}

struct ConvertOptions {
    CommonOptions common;
    std::string eighthEt, eighthSpeed, quarterEt, quarterSpeed, etFactor, speedFactor;
};

double readFactor(const std::string& text, double fallback, std::string_view option) {
    if (text.empty()) return fallback;
    double value = 0;
    const auto [end, error] = fromChars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        throw UsageFailure{std::string(option) + ": " + quotedText(text) +
                           " is not a factor; give a plain number such as 1.57"};
    }
    if (auto problem = checkPlausible(value, Measure::MileFactor, option))
        throw UsageFailure{problem->message};
    return value;
}

void printConversion(const ConvertOptions& o, std::ostream& out) {
    const UnitSystem system = o.common.system();
    const MileFactors defaults;
    const MileFactors factors{readFactor(o.etFactor, defaults.et, "--et-factor"),
                              readFactor(o.speedFactor, defaults.speed, "--mph-factor")};
    const bool fromEighth = !o.eighthEt.empty();
    const std::string& speedText = fromEighth ? o.eighthSpeed : o.quarterSpeed;
    const std::string_view speedOption = fromEighth ? "--eighth-mph" : "--quarter-mph";
    const std::optional<double> speed =
        speedText.empty()
            ? std::nullopt
            : std::optional(readMeasure(speedText, Quantity::Speed,
                                        fromEighth ? Measure::EighthSpeed : Measure::QuarterSpeed,
                                        system, speedOption));
    const double et =
        fromEighth
            ? readMeasure(o.eighthEt, Quantity::Time, Measure::EighthEt, system, "--eighth-et")
            : readMeasure(o.quarterEt, Quantity::Time, Measure::QuarterEt, system, "--quarter-et");
    const MileRun run = required(
        fromEighth ? eighthToQuarter(et, speed, factors) : quarterToEighth(et, speed, factors),
        {{Field::Et, fromEighth ? "--eighth-et" : "--quarter-et", Quantity::Time},
         {Field::Speed, speedOption, Quantity::Speed}});
    const auto mph = [](const std::optional<double>& s) {
        return s ? std::optional(mphOf(*s)) : std::nullopt;
    };
    if (o.common.json) {
        const JsonDocument json{
            {"eighth_et", jsonNumber(run.eighthEtSeconds)},
            {"eighth_mph", jsonNumber(mph(run.eighthSpeed))},
            {"quarter_et", jsonNumber(run.quarterEtSeconds)},
            {"quarter_mph", jsonNumber(mph(run.quarterSpeed))},
            {"et_factor", jsonNumber(run.factors.et)},
            {"mph_factor", jsonNumber(run.factors.speed)},
        };
        out << jsonText(json) << '\n';
        return;
    }
    const auto line = [&](double seconds, const std::optional<double>& s) {
        return displayText(seconds, Quantity::Time, system) +
               (s ? "  " + displayText(*s, Quantity::Speed, system) : std::string());
    };
    reportLine(out, "Eighth mile:", line(run.eighthEtSeconds, run.eighthSpeed));
    reportLine(out, "Quarter mile:", line(run.quarterEtSeconds, run.quarterSpeed));
    reportLine(out, "Eighth to quarter:",
               "ET x " + numberText(run.factors.et) + ", speed x " + numberText(run.factors.speed));
}

struct JetOptions {
    CommonOptions common;
    std::string targetHp, fuelPressure, bottlePressure, nozzles;
};

std::optional<std::int64_t> readNozzles(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw UsageFailure{"--nozzles: " + quotedText(text) +
                           " is not a whole number from 1 to 32767"};
    }
    return value;
}

void printJet(const JetOptions& o, std::ostream& out) {
    const UnitSystem system = o.common.system();
    const auto pressure = [system](const std::string& text, std::string_view option) {
        return text.empty()
                   ? std::nullopt
                   : std::optional(readQuantity(text, Quantity::LinePressure, system, option));
    };
    const double target = readQuantity(o.targetHp, Quantity::Power, system, "--target-hp");
    const JetForPower jet =
        required(jetForPower(target, {pressure(o.fuelPressure, "--fuel-pressure"),
                                      pressure(o.bottlePressure, "--bottle-pressure"),
                                      readNozzles(o.nozzles)}),
                 {{Field::TargetPower, "--target-hp", Quantity::Power},
                  {Field::FuelPressure, "--fuel-pressure", Quantity::LinePressure},
                  {Field::BottlePressure, "--bottle-pressure", Quantity::LinePressure},
                  {Field::Nozzles, "--nozzles"}});
    if (o.common.json) {
        // The pass's fields, as moravik-calc --json writes them, after the jet.
        JsonDocument fields = JsonDocument::object();
        for (std::size_t i = 0; i < jet.results.size(); ++i)
            fields[std::string(resultFieldNames[i])] = jet.results[i].str();
        out << jsonText(JsonDocument{{"nitrous_jet", jet.inputs.njt}, {"fields", fields}}) << '\n';
        return;
    }
    const auto result = [&jet](SingleResult r) { return jet.results[resultIndex(r)].str(); };
    out << "Nitrous jet for " << displayText(target, Quantity::Power, system) << " of nitrous\n";
    reportLine(
        out, "Nitrous jet:", jet.inputs.njt + " in (exact " + numberText(jet.exactJetInches) + ")");
    // The pass takes whole psi; shown in the report's units.
    const auto shownPressure = [system](const std::string& psi) {
        double value = 0;
        fromChars(psi.data(), psi.data() + psi.size(), value);
        return displayText(value * pascalsPerPsi, Quantity::LinePressure, system);
    };
    reportLine(out, "Fuel / bottle pressure:",
               shownPressure(jet.inputs.flp) + " / " + shownPressure(jet.inputs.nbp));
    reportLine(out, "Number of nozzles:", jet.inputs.jtn);
    reportLine(out, "Calculated HP:", result(SingleResult::NitrousHp));
    reportLine(out, "HP to wheels:", result(SingleResult::NitrousHpWheels));
    reportLine(out, "Fuel Jet:", result(SingleResult::FuelJet) + " in");
    reportLine(out, "Standard Jet size:", result(SingleResult::StandardJet) + " in");
    reportLine(out, "Holley Jet #:", result(SingleResult::HolleyJet));
}

}  // namespace

RacedayCommand addSolveHpCommand(CLI::App& app) {
    auto options = std::make_shared<SolveHpOptions>();
    CLI::App* command = app.add_subcommand(
        "solve-hp", "Horsepower from a time slip by the four quarter-mile formulas");
    addQuantityOption(*command, "--weight", options->weight,
                      quantityHelp("Vehicle weight with driver", Quantity::Weight))
        ->required();
    auto* et = addQuantityOption(*command, "--et", options->et,
                                 quantityHelp("Quarter-mile ET", Quantity::Time));
    auto* speed = addQuantityOption(*command, "--mph", options->speed,
                                    quantityHelp("Quarter-mile trap speed", Quantity::Speed));
    et->excludes(speed);
    options->common.addTo(*command);
    command->footer("Example:\n  moravik-calc solve-hp --weight 3400lb --et 12.30 --json\n");
    return {command, &options->common,
            [options](std::ostream& out) { printSolvedPower(*options, out); }};
}

RacedayCommand addConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command =
        app.add_subcommand("convert", "Eighth-mile ET and MPH to the quarter mile, or back");
    auto* eighth = addQuantityOption(*command, "--eighth-et", options->eighthEt,
                                     quantityHelp("Eighth-mile ET", Quantity::Time));
    auto* eighthSpeed = addQuantityOption(*command, "--eighth-mph", options->eighthSpeed,
                                          quantityHelp("Eighth-mile trap speed", Quantity::Speed));
    auto* quarter = addQuantityOption(*command, "--quarter-et", options->quarterEt,
                                      quantityHelp("Quarter-mile ET", Quantity::Time));
    auto* quarterSpeed =
        addQuantityOption(*command, "--quarter-mph", options->quarterSpeed,
                          quantityHelp("Quarter-mile trap speed", Quantity::Speed));
    eighth->excludes(quarter)->excludes(quarterSpeed);
    quarter->excludes(eighthSpeed);
    eighthSpeed->needs(eighth);
    quarterSpeed->needs(quarter);
    const MileFactors defaults;
    command
        ->add_option("--et-factor", options->etFactor,
                     "Quarter-mile ET per eighth-mile ET; default " + numberText(defaults.et))
        ->type_name("F");
    command
        ->add_option(
            "--mph-factor", options->speedFactor,
            "Quarter-mile speed per eighth-mile speed; default " + numberText(defaults.speed))
        ->type_name("F");
    options->common.addTo(*command);
    command->footer(
        "One of --eighth-et and --quarter-et is required.\n\nExample:\n"
        "  moravik-calc convert --eighth-et 7.00 --eighth-mph 98\n");
    return {command, &options->common, [options](std::ostream& out) {
                if (options->eighthEt.empty() && options->quarterEt.empty()) {
                    throw UsageFailure{"give --eighth-et or --quarter-et"};
                }
                printConversion(*options, out);
            }};
}

RacedayCommand addJetForHpCommand(CLI::App& app) {
    auto options = std::make_shared<JetOptions>();
    CLI::App* command = app.add_subcommand(
        "jet-for-hp", "The nitrous jet that adds a target horsepower, with the window's figures");
    const InputTexts initial;
    addQuantityOption(*command, "--target-hp", options->targetHp,
                      quantityHelp("Horsepower the nitrous should add", Quantity::Power))
        ->required();
    addQuantityOption(*command, "--fuel-pressure", options->fuelPressure,
                      quantityHelp("Fuel pressure", Quantity::LinePressure, initial.flp + " psi"));
    addQuantityOption(
        *command, "--bottle-pressure", options->bottlePressure,
        quantityHelp("Bottle pressure", Quantity::LinePressure, initial.nbp + " psi"));
    command->add_option("--nozzles", options->nozzles, "Number of nozzles; default " + initial.jtn)
        ->type_name("N");
    options->common.addTo(*command);
    command->footer(
        "The jet is rounded to a whole thousandth of an inch. Pressures are passed to the\n"
        "calculation as whole psi, the engine horsepower and weight keep the window's\n"
        "initial texts.\n\nExample:\n  moravik-calc jet-for-hp --target-hp 150 --nozzles 4\n");
    return {command, &options->common, [options](std::ostream& out) { printJet(*options, out); }};
}

}  // namespace moravik::cli
