// Race day's questions as every front end asks them. A request holds the texts
// a racer typed, each field named after moravik-calc's option for it; the
// answer is the figures as one JSON object (keys naming their units), a report
// of labelled figures in the request's units, or a message that names the
// field and what it accepts. moravik-calc's subcommands and the web page both
// call these, so neither computes a figure or words a message of its own.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "moravik/raceday/air.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/units.h"
#include "moravik/answers/json_text.h"

namespace moravik::raceday {

// A request that cannot be answered. The sentence says why and what is
// accepted, in words no front end owns; `options` are the request's fields it
// refuses, by moravik-calc's option names (none: the request as a whole), and
// `units` the units a typed text may carry. Each front end puts its own label
// for the fields in front: moravik-calc the option, the web page the field's.
struct Refusal {
    std::string sentence;
    std::vector<std::string_view> options = {};
    std::string units = {};

    // " (units F, C, K)", or nothing: what follows the sentence on every front
    // end that reads typed units.
    std::string unitsNote() const;
    // As moravik-calc words it: "--temperature: temperature must lie within
    // ... (units F, C, K)".
    std::string message() const;
};

template <typename T>
using Answered = std::variant<T, Refusal>;

// Which option gave a library field, for messages that name the option and
// its units. A field not listed, such as a Labelled one, keeps its message
// as it is. Two options give one field together ("--altimeter and
// --elevation"), `also` naming the second.
struct FieldOption {
    Field field;
    std::string_view option;
    std::optional<Quantity> quantity = std::nullopt;
    std::string_view also = {};
};

// The error's sentence for the option that gave its field, with that
// option's units; the sentence alone when no option gave it.
Refusal refusal(const Error& error, std::initializer_list<FieldOption> options);

struct ReportLine {
    std::string label;  // "Air density:"
    std::string text;
};

struct ReportSection {
    std::string heading;  // empty: the section has none
    std::vector<ReportLine> lines;
};

using Report = std::vector<ReportSection>;

// The JSON that `build` makes of figures; a figure that is not finite gives its
// fault instead, so no exception leaves the answers.
template <typename Build>
std::variant<JsonDocument, Fault> figuresJson(Build build) {
    try {
        return build();
    } catch (const ArithmeticFault& fault) {
        return fault.fault();
    }
}

struct Answer {
    std::variant<JsonDocument, Fault> json;
    Report report;
};

// Fields every request has: imperial or metric, for bare numbers and the
// report, and how the report writes its units: ASCII for moravik-calc, the
// window's display texts for the web page.
struct UnitsField {
    std::string units = "imperial";
    UnitTexts unitTexts = UnitTexts::Ascii;
};

struct AirRequest : UnitsField {
    std::string temperature, pressure, altimeter, elevation, humidity, dewPoint, observedHp;
    std::string metar;
    bool metarGiven = false;  // even as an empty text
    std::string standard{standardName(defaultStandard).key};
};

struct PredictRequest : UnitsField {
    std::string et, speed, then, now;
    std::string standard{standardName(defaultStandard).key};
};

struct SolveHpRequest : UnitsField {
    std::string weight, et, speed;
};

struct ConvertRequest : UnitsField {
    std::string eighthEt, eighthSpeed, quarterEt, quarterSpeed, etFactor, speedFactor;
};

struct JetForHpRequest : UnitsField {
    std::string targetHp, fuelPressure, bottlePressure, bottleTemperature, nozzles;
};

// The bottle at --temperature, or the temperature for --pressure; the fuel
// jet of the tune's nitrous jet at the tune's bottle pressure and at today's.
struct BottleRequest : UnitsField {
    std::string temperature, pressure, outsidePressure, nitrousJet, fuelPressure, tunePressure;
};

Answered<Answer> answerAir(const AirRequest& request);
Answered<Answer> answerPredict(const PredictRequest& request);
Answered<Answer> answerSolveHp(const SolveHpRequest& request);
Answered<Answer> answerConvert(const ConvertRequest& request);
Answered<Answer> answerJetForHp(const JetForHpRequest& request);
Answered<Answer> answerBottle(const BottleRequest& request);

// The calculation's bottle pressure field for a bottle temperature: the
// curve's gauge pressure against one standard atmosphere, rounded as the
// field takes it ("890"), and a note that says so. A bare number is in the
// temperature unit of `system`; a refusal names `option`.
struct BottleFieldText {
    std::string nbp;
    std::string note;
};

Answered<BottleFieldText> bottleFieldText(const std::string& temperature, UnitSystem system,
                                          std::string_view option);

// The air's figures that every front end shows as plain numbers, each to the
// decimals they are shown to: air density (kg/m3), relative air density (%),
// the standard's correction factor, relative horsepower (%) and water (grains
// a pound of dry air).
struct AirFigureTexts {
    std::string airDensity, relativeAirDensity, correctionFactor, relativeHp, waterGrains;
};

AirFigureTexts airFigureTexts(const Air& air, Standard standard);

// The report of an air already worked out: its "Air" and "Correction" sections
// as `air` prints them, in `system`'s units written as `texts`.
Report airReport(const Air& air, Standard standard, UnitSystem system, UnitTexts texts);

// The --standard keys in order, the default named: for help and messages.
std::string standardChoices();

// The standard a --standard key names.
Answered<Standard> readStandard(const std::string& key);

// The air of a weather; a range error is refused naming `option`.
Answered<Air> evaluated(const Weather& weather, std::string_view option);

}  // namespace moravik::raceday
