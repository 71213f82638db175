// The air of the day, and a run carried to it.
#include "answer_support.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/metar.h"
#include "moravik/raceday/prediction.h"
#include "moravik/raceday/weather_text.h"

namespace moravik::raceday {
namespace {

Moisture typedMoisture(const AirRequest& o, UnitSystem system) {
    Moisture moisture;
    if (!o.humidity.empty()) {
        moisture =
            RelativeHumidity{readQuantity(o.humidity, Quantity::Humidity, system, "--humidity")};
    } else if (!o.dewPoint.empty()) {
        moisture = DewPoint{readQuantity(o.dewPoint, Quantity::Temperature, system, "--dew-point")};
    }
    return moisture;
}

// The weather, and what reading a METAR chose that the racer should know of.
struct GivenWeather {
    Weather weather;
    std::vector<std::string> notes;
};

GivenWeather weatherOf(const AirRequest& o, UnitSystem system) {
    if (o.metarGiven) {
        const MetarReport report = required(readMetar(o.metar), "--metar");
        const double elevation =
            readQuantity(o.elevation, Quantity::Elevation, system, "--elevation");
        return {required(weatherFromMetar(report, elevation, typedMoisture(o, system)), "--metar"),
                report.notes};
    }
    if (o.temperature.empty()) throw Refusal{"give one of them", {"--temperature", "--metar"}};
    if (!o.elevation.empty() && o.altimeter.empty())
        throw Refusal{"read only with an altimeter setting or a METAR", {"--elevation"}};
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
        throw Refusal{"give one of them", {"--pressure", "--altimeter"}};
    }
    weather.moisture = typedMoisture(o, system);
    return {weather, {}};
}

struct AirFigures {
    Air air;
    Standard standard;
    double factor;
    std::optional<double> observedWatts;
    std::vector<std::string> notes;
};

JsonDocument airJson(const AirFigures& f) {
    const Air& air = f.air;
    JsonDocument json;
    json["station_pressure_hpa"] = jsonNumber(air.stationPascals / 100);
    json["vapour_pressure_hpa"] = jsonNumber(air.vapourPascals / 100);
    json["water_grains_per_lb"] = jsonNumber(waterGrainsPerPound(air));
    json["dew_point_c"] = jsonNumber(
        air.dewPointKelvin ? std::optional(*air.dewPointKelvin - celsiusZero) : std::nullopt);
    json["air_density_kg_m3"] = jsonNumber(air.densityKgPerM3);
    json["density_altitude_ft"] = jsonNumber(air.densityAltitudeMetres / metresPerFoot);
    json["density_altitude_m"] = jsonNumber(air.densityAltitudeMetres);
    json["density_altitude_nws_ft"] = jsonNumber(air.nwsDensityAltitudeFeet);
    json["relative_air_density_percent"] = jsonNumber(air.relativeDensityPercent);
    json["standard"] = standardName(f.standard).key;
    json["correction_factor"] = jsonNumber(f.factor);
    json["relative_hp_percent"] = jsonNumber(relativeHpPercent(f.factor));
    if (f.observedWatts)
        json["corrected_hp"] =
            jsonNumber(correctedPower(*f.observedWatts, f.factor) / wattsPerHorsepower);
    if (!f.notes.empty()) json["notes"] = f.notes;
    return json;
}

// The air's report with the corrected horsepower, last in its correction section, and the
// METAR's notes.
Report withObserved(Report report, const AirFigures& f, UnitSystem system, UnitTexts texts) {
    if (f.observedWatts) {
        report.back().lines.push_back(
            {"Corrected horsepower:", displayText(correctedPower(*f.observedWatts, f.factor),
                                                  Quantity::Power, system, texts)});
    }
    if (!f.notes.empty()) {
        ReportSection notes{"METAR", {}};
        for (const std::string& note : f.notes) notes.lines.push_back({"Note:", note});
        report.push_back(std::move(notes));
    }
    return report;
}

}  // namespace

AirFigureTexts airFigureTexts(const Air& air, Standard standard) {
    constexpr int densityDecimals = 4;
    constexpr int grainsDecimals = 1;
    const double factor = correctionFactor(standard, air);
    return {fixedText(air.densityKgPerM3, densityDecimals),
            fixedText(air.relativeDensityPercent, percentDecimals), factorText(factor),
            fixedText(relativeHpPercent(factor), percentDecimals),
            fixedText(waterGrainsPerPound(air), grainsDecimals)};
}

Report airReport(const Air& air, Standard standard, UnitSystem system, UnitTexts texts) {
    const auto shown = [system, texts](double si, Quantity quantity) {
        return displayText(si, quantity, system, texts);
    };
    const AirFigureTexts figures = airFigureTexts(air, standard);
    ReportSection airSection{"Air", {}};
    auto& lines = airSection.lines;
    lines.push_back({"Temperature:", shown(air.kelvin, Quantity::Temperature)});
    lines.push_back({"Station pressure:", shown(air.stationPascals, Quantity::Barometer)});
    lines.push_back({"Vapour pressure:", shown(air.vapourPascals, Quantity::Barometer)});
    lines.push_back({"Water:", figures.waterGrains + " grains/lb of dry air"});
    lines.push_back({"Dew point:", air.dewPointKelvin
                                       ? shown(*air.dewPointKelvin, Quantity::Temperature)
                                       : "none (dry air)"});
    lines.push_back(
        {"Air density:", figures.airDensity + " " + std::string(densityUnitText(texts))});
    lines.push_back({"Density altitude:", shown(air.densityAltitudeMetres, Quantity::Elevation)});
    lines.push_back({"Density altitude (NWS):",
                     shown(air.nwsDensityAltitudeFeet * metresPerFoot, Quantity::Elevation)});
    lines.push_back({"Relative air density:", figures.relativeAirDensity + " %"});
    ReportSection correction{"Correction (" + std::string(standardName(standard).title) + ")", {}};
    correction.lines.push_back({"Correction factor:", figures.correctionFactor});
    correction.lines.push_back({"Relative horsepower:", figures.relativeHp + " %"});
    return {std::move(airSection), std::move(correction)};
}

Answered<Answer> answerAir(const AirRequest& o) {
    return answered([&o] {
        const UnitSystem system = unitSystemOf(o);
        const Standard standard = required(readStandard(o.standard));
        const GivenWeather given = weatherOf(o, system);
        const Weather& weather = given.weather;
        const std::string_view pressureOption = o.metarGiven         ? "--metar"
                                                : o.pressure.empty() ? "--altimeter"
                                                                     : "--pressure";
        const std::string_view pressureAlso = o.pressure.empty() ? "--elevation" : "";
        const std::string_view temperatureOption = o.metarGiven ? "--metar" : "--temperature";
        const std::string_view dewPointOption =
            o.metarGiven && o.dewPoint.empty() ? "--metar" : "--dew-point";
        const Air air =
            required(evaluateAir(weather),
                     {{Field::Temperature, temperatureOption, Quantity::Temperature},
                      {Field::StationPressure, pressureOption, Quantity::Barometer, pressureAlso},
                      {Field::Humidity, "--humidity", Quantity::Humidity},
                      {Field::DewPoint, dewPointOption, Quantity::Temperature}});
        const std::optional<double> observed =
            o.observedHp.empty()
                ? std::nullopt
                : std::optional(readMeasure(o.observedHp, Quantity::Power, Measure::Power, system,
                                            "--observed-hp"));
        const AirFigures figures{air, standard, correctionFactor(standard, air), observed,
                                 given.notes};
        return Answer{figuresJson([&figures] { return airJson(figures); }),
                      withObserved(airReport(air, standard, system, o.unitTexts), figures, system,
                                   o.unitTexts)};
    });
}

Answered<Answer> answerPredict(const PredictRequest& o) {
    return answered([&o] {
        const UnitSystem system = unitSystemOf(o);
        const Standard standard = required(readStandard(o.standard));
        const QuarterMileRun slip{
            readMeasure(o.et, Quantity::Time, Measure::RunEt, system, "--et"),
            readMeasure(o.speed, Quantity::Speed, Measure::RunSpeed, system, "--mph")};
        const Air airThen =
            required(evaluated(required(parseWeather(o.then, system), "--then"), "--then"));
        const Air airNow =
            required(evaluated(required(parseWeather(o.now, system), "--now"), "--now"));
        const PredictedRun predicted = predictRun(slip, standard, airThen, airNow);
        const double mphPerMetrePerSecond = 1 / metresPerSecondPerMph;
        auto json = figuresJson([&] {
            return JsonDocument{
                {"standard", standardName(standard).key},
                {"et_then_s", jsonNumber(slip.etSeconds)},
                {"mph_then", jsonNumber(slip.speed * mphPerMetrePerSecond)},
                {"correction_factor_then", jsonNumber(predicted.factorThen)},
                {"correction_factor_now", jsonNumber(predicted.factorNow)},
                {"predicted_et_s", jsonNumber(predicted.etSeconds)},
                {"predicted_mph", jsonNumber(predicted.speed * mphPerMetrePerSecond)},
            };
        });
        const auto time = [system, &o](double seconds) {
            return displayText(seconds, Quantity::Time, system, o.unitTexts);
        };
        const auto speed = [system, &o](double metresPerSecond) {
            return displayText(metresPerSecond, Quantity::Speed, system, o.unitTexts);
        };
        ReportSection section{
            "Prediction by the cube-root rule (" + std::string(standardName(standard).title) + ")",
            {{"Correction factor then:", factorText(predicted.factorThen)},
             {"Correction factor now:", factorText(predicted.factorNow)},
             {"ET then -> now:", time(slip.etSeconds) + " -> " + time(predicted.etSeconds)},
             {"Speed then -> now:", speed(slip.speed) + " -> " + speed(predicted.speed)}}};
        return Answer{std::move(json), {std::move(section)}};
    });
}

}  // namespace moravik::raceday
