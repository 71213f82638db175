// moravik-calc air and predict: the air of the day and a run carried to it.
#include <memory>

#include "moravik/raceday/weather_text.h"
#include "raceday_cli.h"

namespace moravik::cli {

using namespace raceday;

namespace {

struct AirOptions {
    CommonOptions common;
    AirRequest request;
    const CLI::Option* metarOption = nullptr;
};

struct PredictOptions {
    CommonOptions common;
    PredictRequest request;
};

}  // namespace

RacedayCommand addAirCommand(CLI::App& app) {
    auto options = std::make_shared<AirOptions>();
    CLI::App* command = app.add_subcommand(
        "air", "Air density, density altitude and horsepower correction for the weather");
    addQuantityOption(*command, "--temperature", options->request.temperature,
                                          quantityHelp("Air temperature", Quantity::Temperature));
    addQuantityOption(*command, "--pressure", options->request.pressure,
                          quantityHelp("Station (absolute) pressure", Quantity::Barometer));
    addQuantityOption(*command, "--altimeter", options->request.altimeter,
                                        quantityHelp("Altimeter setting", Quantity::Barometer));
    addQuantityOption(*command, "--elevation", options->request.elevation,
                          quantityHelp("Elevation of the strip", Quantity::Elevation));
    addQuantityOption(*command, "--humidity", options->request.humidity,
                          quantityHelp("Relative humidity", Quantity::Humidity, "dry air"));
    addQuantityOption(*command, "--dew-point", options->request.dewPoint,
                                       quantityHelp("Dew point", Quantity::Temperature));
    auto* metar = command
                      ->add_option("--metar", options->request.metar,
                                   "An airfield's METAR, in quotes, for the temperature, dew "
                                   "point and altimeter setting; needs --elevation")
                      ->type_name("REPORT");
    options->metarOption = metar;
    command->add_option("--standard", options->request.standard, standardHelp())->type_name("NAME");
    addQuantityOption(*command, "--observed-hp", options->request.observedHp,
                      quantityHelp("Horsepower measured in this air, to correct", Quantity::Power));
    options->common.addTo(*command);
    command->footer(
        "Examples:\n"
        "  moravik-calc air --temperature 86F --pressure 29.10inHg --humidity 40%\n"
        "  moravik-calc air --units metric --temperature 30 --altimeter 1013 \\\n"
        "      --elevation 1768 --dew-point 12 --json\n"
        "  moravik-calc air --elevation 5434ft --metar \\\n"
        "      \"KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 T00501028\"\n");
    return {command, &options->common, [options] {
                AirRequest request = options->request;
                request.units = options->common.units;
                request.metarGiven = options->metarOption->count() > 0;
                return answerAir(request);
            }};
}

RacedayCommand addPredictCommand(CLI::App& app) {
    auto options = std::make_shared<PredictOptions>();
    CLI::App* command = app.add_subcommand(
        "predict", "ET and MPH of a run carried from the weather of its time slip to today's");
    addQuantityOption(*command, "--et", options->request.et,
                      quantityHelp("ET of the run", Quantity::Time));
    addQuantityOption(*command, "--mph", options->request.speed,
                      quantityHelp("Trap speed of the run", Quantity::Speed));
    command->add_option("--then", options->request.then, "Weather of the run (see WEATHER below)")
        ->type_name("WEATHER");
    command->add_option("--now", options->request.now, "Weather now (see WEATHER below)")
        ->type_name("WEATHER");
    command->add_option("--standard", options->request.standard, standardHelp())->type_name("NAME");
    options->common.addTo(*command);
    command->footer(std::string(weatherGrammar) +
                    "\nExample:\n  moravik-calc predict --et 12.10 --mph 108.5 "
                    "--then \"86F 29.10inHg 40%\" \\\n      --now \"60F 29.92inHg 20%\"\n");
    return {command, &options->common, [options] {
                PredictRequest request = options->request;
                request.units = options->common.units;
                return answerPredict(request);
            }};
}

}  // namespace moravik::cli
