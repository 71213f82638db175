// The Calculate pass for the browser: the seven input texts in, and out an
// object as one `moravik-calc --batch` line has it: {fields: {TextBox1: ...}}
// with the 31 texts in the writing order, or {fault: "overflow"}; the page's
// reading of what a racer typed (calculateTyped); the track
// drop-down's entries, so the page lists the engine's own table; the results'
// labels and units (resultNames), so the page names them as the report; and race
// day's answers (air, predict, solve-hp, convert, jet-for-hp, jet-chart) from
// the core, the same figures and messages as moravik-calc's.
#include <emscripten/bind.h>

#include <algorithm>
#include <string>
#include <utility>
#include <variant>

#include "moravik/answers/jet_chart_texts.h"
#include "moravik/answers/request_json.h"
#include "moravik/calculate.h"
#include "moravik/result_names.h"
#include "moravik/tracks.h"

namespace {

void setOutcome(emscripten::val& answer, const moravik::InputTexts& inputs) {
    const moravik::CalculationOutcome outcome = moravik::calculate(inputs);
    if (const auto* fault = std::get_if<moravik::Fault>(&outcome)) {
        answer.set("fault", std::string(moravik::faultName(*fault)));
        return;
    }
    const auto& texts = std::get<moravik::ResultTexts>(outcome);
    emscripten::val fields = emscripten::val::object();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        fields.set(std::string(moravik::resultFieldNames[i]),
                   std::string(static_cast<std::string_view>(texts[i])));
    }
    answer.set("fields", fields);
}

emscripten::val calculateTexts(std::string njt, std::string flp, std::string nbp, std::string jtn,
                               std::string draghp, std::string vweight, std::string altitudeDD) {
    const moravik::InputTexts inputs{std::move(njt),       std::move(flp),    std::move(nbp),
                                     std::move(jtn),       std::move(draghp), std::move(vweight),
                                     std::move(altitudeDD)};
    emscripten::val answer = emscripten::val::object();
    setOutcome(answer, inputs);
    return answer;
}

// The page's Calculate: the texts as typed, read with a decimal comma
// (moravik-calc --decimal-comma). Besides the outcome, notes: {vweight: ...}
// on the texts not read as typed and {altitudeDD: ...} on a heading; a text
// refused is in refused: {flp: ...} and then there is no outcome.
emscripten::val calculateTyped(std::string njt, std::string flp, std::string nbp, std::string jtn,
                               std::string draghp, std::string vweight, std::string altitudeDD) {
    moravik::InputTexts inputs{std::move(njt),       std::move(flp),    std::move(nbp),
                               std::move(jtn),       std::move(draghp), std::move(vweight),
                               std::move(altitudeDD)};
    emscripten::val answer = emscripten::val::object();
    emscripten::val notes = emscripten::val::object();
    emscripten::val refused = emscripten::val::object();
    bool anyRefused = false;
    for (const auto& input : moravik::raceday::inputOptions) {
        const auto* field =
            std::find_if(moravik::inputFields.begin(), moravik::inputFields.end(),
                         [&input](const moravik::InputField& f) { return f.text == input.text; });
        const std::string name(field->name);
        auto reading = moravik::raceday::readField(input, inputs.*input.text,
                                                   moravik::raceday::CommaRule::DecimalComma);
        if (!reading.refusal.empty()) {
            refused.set(name, reading.refusal);
            anyRefused = true;
        }
        if (!reading.note.empty()) notes.set(name, reading.note);
        inputs.*input.text = std::move(reading.text);
    }
    if (auto note = moravik::raceday::noStripNote(inputs.altitudeDD))
        notes.set("altitudeDD", *note);
    answer.set("notes", notes);
    answer.set("refused", refused);
    if (!anyRefused) setOutcome(answer, inputs);
    return answer;
}

// The 59 entries in display order, blanks included, as an array of strings.
emscripten::val trackTexts() {
    emscripten::val entries = emscripten::val::array();
    for (const std::string_view entry : moravik::trackEntries()) {
        entries.call<void>("push", std::string(entry));
    }
    return entries;
}

// What the page calls each result, from the one table of names: {groups:
// [{heading, results: [{field, label, unit}]}], formulas: [{name, results:
// {et: {field, label, unit}, ...}}]}, the columns by their keys.
emscripten::val resultNameTexts() {
    const auto result = [](std::size_t index, const moravik::ResultName& name) {
        emscripten::val texts = emscripten::val::object();
        texts.set("field", std::string(moravik::resultFieldNames[index]));
        texts.set("label", std::string(name.label));
        texts.set("unit", std::string(name.unit));
        return texts;
    };
    emscripten::val groups = emscripten::val::array();
    for (const auto& group : moravik::singleResultGroups) {
        emscripten::val results = emscripten::val::array();
        for (const auto single : group.results)
            results.call<void>("push",
                               result(moravik::resultIndex(single), moravik::resultName(single)));
        emscripten::val texts = emscripten::val::object();
        texts.set("heading", std::string(group.heading));
        texts.set("results", results);
        groups.call<void>("push", texts);
    }
    emscripten::val formulas = emscripten::val::array();
    for (const auto& formula : moravik::formulaTable) {
        emscripten::val results = emscripten::val::object();
        for (const auto column : moravik::columns) {
            const moravik::ResultName& name = moravik::resultName(column);
            results.set(std::string(name.key),
                        result(moravik::resultIndex(formula.formula, column), name));
        }
        emscripten::val texts = emscripten::val::object();
        texts.set("name", std::string(formula.name));
        texts.set("results", results);
        formulas.call<void>("push", texts);
    }
    emscripten::val names = emscripten::val::object();
    names.set("groups", groups);
    names.set("formulas", formulas);
    return names;
}

// Race day's answer to a request of named texts, as JSON text
// (moravik/answers/request_json.h), its report's units as the Race Day
// window displays them ("°F", "kg/m³").
std::string racedayAnswer(const std::string& command, const std::string& request) {
    return moravik::raceday::answerJson(command, request, moravik::raceday::UnitTexts::Display);
}

// For bench/web_bench.py: `count` passes on the initial texts in one call, so
// that the time per pass leaves out the call from JavaScript; gives how many
// ended without a fault.
int calculateRepeatedly(int count) {
    const moravik::InputTexts inputs;
    int clean = 0;
    for (int i = 0; i < count; ++i)
        clean += std::holds_alternative<moravik::ResultTexts>(moravik::calculate(inputs)) ? 1 : 0;
    return clean;
}

}  // namespace

EMSCRIPTEN_BINDINGS(moravik) {
    emscripten::function("calculate", &calculateTexts);
    emscripten::function("calculateTyped", &calculateTyped);
    emscripten::function("tracks", &trackTexts);
    emscripten::function("resultNames", &resultNameTexts);
    emscripten::function("racedayAnswer", &racedayAnswer);
    emscripten::function("calculateRepeatedly", &calculateRepeatedly);
}
