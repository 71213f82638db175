// moravik-calc bottle: the nitrous bottle's pressure for its temperature, the
// heater's set point for a pressure, and the fuel jet for today's bottle.
#include <memory>

#include "raceday_cli.h"

namespace moravik::cli {

using namespace raceday;

namespace {

struct BottleOptions {
    CommonOptions common;
    BottleRequest request;
};

constexpr const char* bottlePressureUnits =
    "units psi, psig, psia, bar, kPa; psi, bar and kPa are gauge, as the bottle's gauge reads "
    "(a bare number is in psi, or bar with --units metric)";

}  // namespace

RacedayCommand addBottleCommand(CLI::App& app) {
    auto options = std::make_shared<BottleOptions>();
    CLI::App* command = app.add_subcommand(
        "bottle", "Nitrous bottle pressure for its temperature, or the heater's set point");
    addQuantityOption(*command, "--temperature", options->request.temperature,
                      quantityHelp("Bottle temperature, -30 C to 36.42 C", Quantity::Temperature));
    addQuantityOption(*command, "--pressure", options->request.pressure,
                      std::string("Bottle pressure wanted; ") + bottlePressureUnits);
    addQuantityOption(*command, "--outside-pressure", options->request.outsidePressure,
                      quantityHelp("Outside air's station pressure, which a gauge figure is "
                                   "measured against",
                                   Quantity::Barometer, "one standard atmosphere, 29.92 inHg"));
    const InputTexts initial;
    command
        ->add_option("--nitrous-jet", options->request.nitrousJet,
                     "Nitrous jet in inches; default " + initial.njt)
        ->type_name("IN");
    addQuantityOption(*command, "--fuel-pressure", options->request.fuelPressure,
                      quantityHelp("Fuel pressure", Quantity::LinePressure, initial.flp + " psi"));
    addQuantityOption(*command, "--tune-pressure", options->request.tunePressure,
                      "Bottle pressure the fuel jet was tuned at; " +
                          std::string(bottlePressureUnits) + "; default " + initial.nbp + " psi");
    options->common.addTo(*command);
    command->footer(
        "One of --temperature and --pressure is required. The curve is the ESDU 91022\n"
        "vapour-pressure correlation for nitrous oxide, from -30 C up to its critical\n"
        "point, 36.42 C (97.56 F), above which no liquid is left in the bottle.\n"
        "The fuel jets are the Calculate pass's for the nitrous jet at the tune's\n"
        "bottle pressure and at today's, both as whole psi.\n\nExamples:\n"
        "  moravik-calc bottle --temperature 85F\n"
        "  moravik-calc bottle --pressure 950psi --nitrous-jet .062\n");
    return {command, &options->common, answerOf(options, &answerBottle)};
}

}  // namespace moravik::cli
