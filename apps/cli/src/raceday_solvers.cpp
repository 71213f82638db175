// moravik-calc solve-hp, convert and jet-for-hp: the quarter-mile formulas and
// the nitrous relation of the Calculate pass, run backwards.
#include <memory>

#include "moravik/raceday/mile_conversion.h"
#include "moravik/answers/json_text.h"
#include "raceday_cli.h"

namespace moravik::cli {

using namespace raceday;

namespace {

struct SolveHpOptions {
    CommonOptions common;
    SolveHpRequest request;
};

struct ConvertOptions {
    CommonOptions common;
    ConvertRequest request;
};

struct JetOptions {
    CommonOptions common;
    JetForHpRequest request;
};

}  // namespace

RacedayCommand addSolveHpCommand(CLI::App& app) {
    auto options = std::make_shared<SolveHpOptions>();
    CLI::App* command = app.add_subcommand(
        "solve-hp", "Horsepower from a time slip by the four quarter-mile formulas");
    addQuantityOption(*command, "--weight", options->request.weight,
                      quantityHelp("Vehicle weight with driver", Quantity::Weight));
    addQuantityOption(*command, "--et", options->request.et,
                      quantityHelp("Quarter-mile ET", Quantity::Time));
    addQuantityOption(*command, "--mph", options->request.speed,
                      quantityHelp("Quarter-mile trap speed", Quantity::Speed));
    options->common.addTo(*command);
    command->footer("Example:\n  moravik-calc solve-hp --weight 3400lb --et 12.30 --json\n");
    return {command, &options->common, answerOf(options, &answerSolveHp)};
}

RacedayCommand addConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command =
        app.add_subcommand("convert", "Eighth-mile ET and MPH to the quarter mile, or back");
    addQuantityOption(*command, "--eighth-et", options->request.eighthEt,
                      quantityHelp("Eighth-mile ET", Quantity::Time));
    addQuantityOption(*command, "--eighth-mph", options->request.eighthSpeed,
                      quantityHelp("Eighth-mile trap speed", Quantity::Speed));
    addQuantityOption(*command, "--quarter-et", options->request.quarterEt,
                      quantityHelp("Quarter-mile ET", Quantity::Time));
    addQuantityOption(*command, "--quarter-mph", options->request.quarterSpeed,
                      quantityHelp("Quarter-mile trap speed", Quantity::Speed));
    const MileFactors defaults;
    command
        ->add_option("--et-factor", options->request.etFactor,
                     "Quarter-mile ET per eighth-mile ET; default " + numberText(defaults.et))
        ->type_name("F");
    command
        ->add_option(
            "--mph-factor", options->request.speedFactor,
            "Quarter-mile speed per eighth-mile speed; default " + numberText(defaults.speed))
        ->type_name("F");
    options->common.addTo(*command);
    command->footer(
        "One of --eighth-et and --quarter-et is required.\n\nExample:\n"
        "  moravik-calc convert --eighth-et 7.00 --eighth-mph 98\n");
    return {command, &options->common, answerOf(options, &answerConvert)};
}

RacedayCommand addJetForHpCommand(CLI::App& app) {
    auto options = std::make_shared<JetOptions>();
    CLI::App* command = app.add_subcommand(
        "jet-for-hp", "The nitrous jet that adds a target horsepower, with the window's figures");
    const InputTexts initial;
    addQuantityOption(*command, "--target-hp", options->request.targetHp,
                      quantityHelp("Horsepower the nitrous should add", Quantity::Power));
    addQuantityOption(*command, "--fuel-pressure", options->request.fuelPressure,
                      quantityHelp("Fuel pressure", Quantity::LinePressure, initial.flp + " psi"));
    addQuantityOption(
        *command, "--bottle-pressure", options->request.bottlePressure,
        quantityHelp("Bottle pressure", Quantity::LinePressure, initial.nbp + " psi"));
    addQuantityOption(*command, "--bottle-temperature", options->request.bottleTemperature,
                      quantityHelp("Bottle temperature, for the bottle pressure the nitrous "
                                   "vapour-pressure curve gives it (see bottle)",
                                   Quantity::Temperature));
    command
        ->add_option("--nozzles", options->request.nozzles,
                     "Number of nozzles; default " + initial.jtn)
        ->type_name("N");
    options->common.addTo(*command);
    command->footer(
        "The jet is rounded to a whole thousandth of an inch. Pressures are passed to the\n"
        "calculation as whole psi, the engine horsepower and weight keep the window's\n"
        "initial texts.\n\nExample:\n  moravik-calc jet-for-hp --target-hp 150 --nozzles 4\n");
    return {command, &options->common, answerOf(options, &answerJetForHp)};
}

}  // namespace moravik::cli
