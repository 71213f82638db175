// moravik-calc air and predict: the air of the day and a run carried to it.
#include <ostream>

#include "display_text.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/metar.h"
#include "moravik/raceday/prediction.h"
#include "moravik/raceday/weather_text.h"
#include "raceday_cli.h"

namespace moravik::cli {

using namespace raceday;

std::string standardHelp() {
    std::string keys;
    for (const StandardName& s : standards) keys += (keys.empty() ? "" : ", ") + std::string(s.key);
    return "Correction standard: " + keys + "; default " +
           std::string(standardName(defaultStandard).key);
}

Standard readStandard(const std::string& key) {
    if (const auto standard = findStandard(key)) return *standard;
    throw UsageFailure{"--standard: " + quotedText(key) + " is not a standard; give " +
                       standardHelp().substr(standardHelp().find(": ") + 2)};
}

Air evaluated(const Weather& weather, std::string_view option) {
    const auto air = evaluateAir(weather);
    if (const Error* error = errorOf(air)) {
        throw UsageFailure{std::string(option) + ": " + error->message};
    }
    return std::get<Air>(air);
}

namespace {

struct AirOptions {
    CommonOptions common;
    std::string temperature, pressure, altimeter, elevation, humidity, dewPoint, observedHp;
    std::string metar;
    const CLI::Option* metarOption = nullptr;
    bool metarGiven() const { return metarOption->count() > 0; }  // even as an empty text
    std::string standard{standardName(defaultStandard).key};
};

Weather weatherOf(const AirOptions& o, UnitSystem system) {
    // The option table keeps --metar apart from the typed weather and makes it need --elevation.
    if (o.metarGiven()) {
        return required(weatherFromMetar(
            o.metar, readQuantity(o.elevation, Quantity::Elevation, system, "--elevation"),
            "--metar"));
    }
    if (o.temperature.empty()) throw UsageFailure{"give --temperature, or --metar"};
    if (!o.elevation.empty() && o.altimeter.empty())
        throw UsageFailure{"--elevation needs --altimeter or --metar"};
    Weather weather;
    weather.kelvin = readQuantity(o.temperature, Quantity::Temperature, system, "--temperature");
    if (!o.pressure.empty()) {
        weather.pressure =
            StationPressure{readQuantity(o.pressure, Quantity::Barometer, system, "--pressure")};
    } else if (!o.altimeter.empty()) {
        weather.pressure =
            AltimeterSetting{readQuantity(o.altimeter, Quantity::Barometer, system, "--altimeter"),
                             readQuantity(o.elevation, Quantity::Elevation, system, "--elevation")};
    } else {
        throw UsageFailure{"give --pressure, or --altimeter with --elevation"};
    }
    if (!o.humidity.empty()) {
        weather.moisture =
            RelativeHumidity{readQuantity(o.humidity, Quantity::Humidity, system, "--humidity")};
    } else if (!o.dewPoint.empty()) {
        weather.moisture =
            DewPoint{readQuantity(o.dewPoint, Quantity::Temperature, system, "--dew-point")};
    }
    return weather;
}

void printAir(const AirOptions& o, std::ostream& out) {
    const UnitSystem system = o.common.system();
    const Standard standard = readStandard(o.standard);
    const Weather weather = weatherOf(o, system);
    const std::string_view pressureOption = o.metarGiven()       ? "--metar and --elevation"
                                            : o.pressure.empty() ? "--altimeter and --elevation"
                                                                 : "--pressure";
    const std::string_view temperatureOption = o.metarGiven() ? "--metar" : "--temperature";
    const std::string_view dewPointOption = o.metarGiven() ? "--metar" : "--dew-point";
    const Air air = required(evaluateAir(weather),
                             {{Field::Temperature, temperatureOption, Quantity::Temperature},
                              {Field::StationPressure, pressureOption, Quantity::Barometer},
                              {Field::Humidity, "--humidity", Quantity::Humidity},
                              {Field::DewPoint, dewPointOption, Quantity::Temperature}});
    const bool hasObserved = !o.observedHp.empty();
    const double observed = hasObserved ? readMeasure(o.observedHp, Quantity::Power, Measure::Power,
                                                      system, "--observed-hp")
                                        : 1;
    const double factor = correctionFactor(standard, air);
    const std::optional<double> dewPointCelsius =
        air.dewPointKelvin ? std::optional(*air.dewPointKelvin - celsiusZero) : std::nullopt;

    if (o.common.json) {
        JsonDocument json;
        json["station_pressure_hpa"] = jsonNumber(air.stationPascals / 100);
        json["vapour_pressure_hpa"] = jsonNumber(air.vapourPascals / 100);
        json["water_grains_per_lb"] = jsonNumber(waterGrainsPerPound(air));
        json["dew_point_c"] = jsonNumber(dewPointCelsius);
        json["air_density_kg_m3"] = jsonNumber(air.densityKgPerM3);
        json["density_altitude_ft"] = jsonNumber(air.densityAltitudeMetres / metresPerFoot);
        json["density_altitude_m"] = jsonNumber(air.densityAltitudeMetres);
        json["density_altitude_nws_ft"] = jsonNumber(air.nwsDensityAltitudeFeet);
        json["relative_air_density_percent"] = jsonNumber(air.relativeDensityPercent);
        json["standard"] = standardName(standard).key;
        json["correction_factor"] = jsonNumber(factor);
        json["relative_hp_percent"] = jsonNumber(relativeHpPercent(factor));
        if (hasObserved)
            json["corrected_hp"] =
                jsonNumber(correctedPower(observed, factor) / wattsPerHorsepower);
        out << jsonText(json) << '\n';
        return;
    }
    out << "Air\n";
    reportLine(out, "Temperature:", displayText(air.kelvin, Quantity::Temperature, system));
    reportLine(out,
               "Station pressure:", displayText(air.stationPascals, Quantity::Barometer, system));
    reportLine(out,
               "Vapour pressure:", displayText(air.vapourPascals, Quantity::Barometer, system));
    reportLine(out, "Water:", fixedText(waterGrainsPerPound(air), 1) + " grains/lb of dry air");
    reportLine(out, "Dew point:",
               air.dewPointKelvin ? displayText(*air.dewPointKelvin, Quantity::Temperature, system)
                                  : "none (dry air)");
    reportLine(out, "Air density:", fixedText(air.densityKgPerM3, 4) + " kg/m3");
    reportLine(out, "Density altitude:",
               displayText(air.densityAltitudeMetres, Quantity::Elevation, system));
    reportLine(
        out, "Density altitude (NWS):",
        displayText(air.nwsDensityAltitudeFeet * metresPerFoot, Quantity::Elevation, system));
    reportLine(out, "Relative air density:", fixedText(air.relativeDensityPercent, 2) + " %");
    out << "\nCorrection (" << standardName(standard).title << ")\n";
    reportLine(out, "Correction factor:", fixedText(factor, 4));
    reportLine(out, "Relative horsepower:", fixedText(relativeHpPercent(factor), 2) + " %");
    if (hasObserved) {
        reportLine(out, "Corrected horsepower:",
                   displayText(correctedPower(observed, factor), Quantity::Power, system));
    }
}

struct PredictOptions {
    CommonOptions common;
    std::string et, speed, then, now;
    std::string standard{standardName(defaultStandard).key};
};

void printPrediction(const PredictOptions& o, std::ostream& out) {
    const UnitSystem system = o.common.system();
    const Standard standard = readStandard(o.standard);
    const QuarterMileRun slip{
        readMeasure(o.et, Quantity::Time, Measure::RunEt, system, "--et"),
        readMeasure(o.speed, Quantity::Speed, Measure::RunSpeed, system, "--mph")};
    const Air airThen = evaluated(required(parseWeather(o.then, system, "--then")), "--then");
    const Air airNow = evaluated(required(parseWeather(o.now, system, "--now")), "--now");
    const QuarterMileRun predicted = predictRun(slip, standard, airThen, airNow);
    const double factorThen = correctionFactor(standard, airThen);
    const double factorNow = correctionFactor(standard, airNow);
    const double mphPerMetrePerSecond = 1 / metresPerSecondPerMph;
    if (o.common.json) {
        const JsonDocument json{
            {"standard", standardName(standard).key},
            {"et_then_s", jsonNumber(slip.etSeconds)},
            {"mph_then", jsonNumber(slip.speed * mphPerMetrePerSecond)},
            {"correction_factor_then", jsonNumber(factorThen)},
            {"correction_factor_now", jsonNumber(factorNow)},
            {"predicted_et_s", jsonNumber(predicted.etSeconds)},
            {"predicted_mph", jsonNumber(predicted.speed * mphPerMetrePerSecond)},
        };
        out << jsonText(json) << '\n';
        return;
    }
    out << "Prediction by the cube-root rule (" << standardName(standard).title << ")\n";
    reportLine(out, "Correction factor then:", fixedText(factorThen, 4));
    reportLine(out, "Correction factor now:", fixedText(factorNow, 4));
    reportLine(out, "ET then -> now:",
               displayText(slip.etSeconds, Quantity::Time, system) + " -> " +
                   displayText(predicted.etSeconds, Quantity::Time, system));
    reportLine(out, "Speed then -> now:",
               displayText(slip.speed, Quantity::Speed, system) + " -> " +
                   displayText(predicted.speed, Quantity::Speed, system));
}

}  // namespace

RacedayCommand addAirCommand(CLI::App& app) {
    auto options = std::make_shared<AirOptions>();
    CLI::App* command = app.add_subcommand(
        "air", "Air density, density altitude and horsepower correction for the weather");
    auto* temperature = addQuantityOption(*command, "--temperature", options->temperature,
                                          quantityHelp("Air temperature", Quantity::Temperature));
    auto* pressure =
        addQuantityOption(*command, "--pressure", options->pressure,
                          quantityHelp("Station (absolute) pressure", Quantity::Barometer));
    auto* altimeter = addQuantityOption(*command, "--altimeter", options->altimeter,
                                        quantityHelp("Altimeter setting", Quantity::Barometer));
    auto* elevation =
        addQuantityOption(*command, "--elevation", options->elevation,
                          quantityHelp("Elevation of the strip", Quantity::Elevation));
    auto* humidity =
        addQuantityOption(*command, "--humidity", options->humidity,
                          quantityHelp("Relative humidity", Quantity::Humidity, "dry air"));
    auto* dewPoint = addQuantityOption(*command, "--dew-point", options->dewPoint,
                                       quantityHelp("Dew point", Quantity::Temperature));
    auto* metar = command
                      ->add_option("--metar", options->metar,
                                   "An airfield's METAR, in quotes, for the temperature, dew "
                                   "point and altimeter setting; needs --elevation")
                      ->type_name("REPORT");
    pressure->excludes(altimeter)->excludes(elevation);
    altimeter->needs(elevation);
    humidity->excludes(dewPoint);
    for (auto* typed : {temperature, pressure, altimeter, humidity, dewPoint})
        metar->excludes(typed);
    metar->needs(elevation);
    options->metarOption = metar;
    command->add_option("--standard", options->standard, standardHelp())->type_name("NAME");
    addQuantityOption(*command, "--observed-hp", options->observedHp,
                      quantityHelp("Horsepower measured in this air, to correct", Quantity::Power));
    options->common.addTo(*command);
    command->footer(
        "Examples:\n"
        "  moravik-calc air --temperature 86F --pressure 29.10inHg --humidity 40%\n"
        "  moravik-calc air --units metric --temperature 30 --altimeter 1013 \\\n"
        "      --elevation 1768 --dew-point 12 --json\n"
        "  moravik-calc air --elevation 5434ft --metar \\\n"
        "      \"KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 T00501028\"\n");
    return {command, &options->common, [options](std::ostream& out) { printAir(*options, out); }};
}

RacedayCommand addPredictCommand(CLI::App& app) {
    auto options = std::make_shared<PredictOptions>();
    CLI::App* command = app.add_subcommand(
        "predict", "ET and MPH of a run carried from the weather of its time slip to today's");
    addQuantityOption(*command, "--et", options->et, quantityHelp("ET of the run", Quantity::Time))
        ->required();
    addQuantityOption(*command, "--mph", options->speed,
                      quantityHelp("Trap speed of the run", Quantity::Speed))
        ->required();
    command->add_option("--then", options->then, "Weather of the run (see WEATHER below)")
        ->type_name("WEATHER")
        ->required();
    command->add_option("--now", options->now, "Weather now (see WEATHER below)")
        ->type_name("WEATHER")
        ->required();
    command->add_option("--standard", options->standard, standardHelp())->type_name("NAME");
    options->common.addTo(*command);
    command->footer(std::string(weatherGrammar) +
                    "\nExample:\n  moravik-calc predict --et 12.10 --mph 108.5 "
                    "--then \"86F 29.10inHg 40%\" \\\n      --now \"60F 29.92inHg 20%\"\n");
    return {command, &options->common,
            [options](std::ostream& out) { printPrediction(*options, out); }};
}

}  // namespace moravik::cli
