// The Calculate pass for the browser: the input texts in as one object by
// field name, as a `moravik-calc --batch` line holds them, and out an object
// as that line's answer has it: {fields: {TextBox1: ...}} with the 31 texts in
// the writing order, {fault: "overflow"} or {error: ...}; the page's reading
// of what a racer typed (calculateTyped), refused as every other function
// refuses (module_answer.h); the track drop-down's entries, so the page
// lists the engine's own table; the results' labels and units (resultNames),
// so the page names them as the report; and race day's answers (air, predict,
// solve-hp, convert, jet-for-hp, jet-chart) from the core, the same figures
// and messages as moravik-calc's.
#include <emscripten/bind.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "module_answer.h"
#include "moravik/answers/jet_chart_texts.h"
#include "moravik/answers/request_json.h"
#include "moravik/calculate.h"
#include "moravik/result_names.h"
#include "moravik/tracks.h"

namespace {

using emscripten::val;

// The texts of a request by field name; a missing one keeps the initial text,
// as a missing key of a --batch line does. Gives the key of the first member
// that is not text, or "" for texts that are not an object at all.
std::variant<moravik::InputTexts, std::string> inputsOf(const val& texts) {
    if (!moravik::web::isObject(texts)) return std::string();
    moravik::InputTexts inputs;
    for (const auto& field : moravik::inputFields) {
        const std::string name(field.name);
        const val text = texts[name];
        if (text.isString()) {
            inputs.*field.text = text.as<std::string>();
        } else if (!text.isUndefined()) {
            return name;
        }
    }
    return inputs;
}

void setOutcome(val& answer, const moravik::InputTexts& inputs) {
    const moravik::CalculationOutcome outcome = moravik::calculate(inputs);
    if (const auto* fault = std::get_if<moravik::Fault>(&outcome)) {
        answer.set("fault", std::string(moravik::faultName(*fault)));
        return;
    }
    const auto& texts = std::get<moravik::ResultTexts>(outcome);
    val fields = val::object();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        fields.set(std::string(moravik::resultFieldNames[i]),
                   std::string(static_cast<std::string_view>(texts[i])));
    }
    answer.set("fields", fields);
}

// A text that is not a string is refused as a --batch line refuses it.
val calculateTexts(const val& texts) {
    val answer = val::object();
    const auto inputs = inputsOf(texts);
    if (const auto* key = std::get_if<std::string>(&inputs)) {
        answer.set("error", key->empty() ? "expected a JSON object"
                                         : "the value of \"" + *key + "\" must be a string");
    } else {
        setOutcome(answer, std::get<moravik::InputTexts>(inputs));
    }
    return answer;
}

// The page's Calculate: the texts as typed, read with a decimal comma
// (moravik-calc --decimal-comma). Besides the outcome, notes: {vweight: ...}
// on the texts not read as typed and {altitudeDD: ...} on a heading; a text
// refused (the first, as moravik-calc refuses it) is the answer's error, its
// field the one key of its fields, and then there is no outcome.
val calculateTyped(const val& texts) {
    auto typed = inputsOf(texts);
    if (const auto* key = std::get_if<std::string>(&typed)) {
        return key->empty() ? moravik::web::refusedAnswer("give the texts as an object")
                            : moravik::web::refusedAnswer("give it as text", {*key});
    }
    moravik::InputTexts& inputs = std::get<moravik::InputTexts>(typed);
    val notes = val::object();
    std::optional<val> refused;
    for (const auto& input : moravik::raceday::inputOptions) {
        const auto* field =
            std::find_if(moravik::inputFields.begin(), moravik::inputFields.end(),
                         [&input](const moravik::InputField& f) { return f.text == input.text; });
        const std::string name(field->name);
        auto reading = moravik::raceday::readField(input, inputs.*input.text,
                                                   moravik::raceday::CommaRule::DecimalComma);
        if (!reading.refusal.empty() && !refused)
            refused = moravik::web::refusedAnswer(reading.refusal, {name});
        if (!reading.note.empty()) notes.set(name, reading.note);
        inputs.*input.text = std::move(reading.text);
    }
    if (auto note = moravik::raceday::noStripNote(inputs.altitudeDD))
        notes.set("altitudeDD", *note);
    val answer = refused.value_or(val::object());
    answer.set("notes", notes);
    if (!refused) setOutcome(answer, inputs);
    return answer;
}

// The 59 entries in display order, blanks included, as an array of strings.
val trackTexts() {
    val entries = val::array();
    for (const std::string_view entry : moravik::trackEntries()) {
        entries.call<void>("push", std::string(entry));
    }
    return entries;
}

// What the page calls each result, from the one table of names: {groups:
// [{heading, results: [{field, label, unit}]}], formulas: [{name, results:
// {et: {field, label, unit}, ...}}]}, the columns by their keys.
val resultNameTexts() {
    const auto result = [](std::size_t index, const moravik::ResultName& name) {
        val texts = val::object();
        texts.set("field", std::string(moravik::resultFieldNames[index]));
        texts.set("label", std::string(name.label));
        texts.set("unit", std::string(name.unit));
        return texts;
    };
    val groups = val::array();
    for (const auto& group : moravik::singleResultGroups) {
        val results = val::array();
        for (const auto single : group.results)
            results.call<void>("push",
                               result(moravik::resultIndex(single), moravik::resultName(single)));
        val texts = val::object();
        texts.set("heading", std::string(group.heading));
        texts.set("results", results);
        groups.call<void>("push", texts);
    }
    val formulas = val::array();
    for (const auto& formula : moravik::formulaTable) {
        val results = val::object();
        for (const auto column : moravik::columns) {
            const moravik::ResultName& name = moravik::resultName(column);
            results.set(std::string(name.key),
                        result(moravik::resultIndex(formula.formula, column), name));
        }
        val texts = val::object();
        texts.set("name", std::string(formula.name));
        texts.set("results", results);
        formulas.call<void>("push", texts);
    }
    val names = val::object();
    names.set("groups", groups);
    names.set("formulas", formulas);
    return names;
}

// Race day's answer to a request of named texts (moravik/answers/request_json.h),
// its report's units as the Race Day window displays them ("°F", "kg/m³"). The
// core reads and writes both as JSON, as moravik-calc's --json does; they
// cross here as objects, as every answer of the module does. A request that
// is not an object of texts goes as null, which the core refuses in its words.
val racedayAnswer(const val& command, const val& request) {
    if (!command.isString()) return moravik::web::refusedAnswer("give the command as text");
    const val json = val::global("JSON");
    bool texts = moravik::web::isObject(request);
    if (texts) {
        const val members = val::global("Object").call<val>("values", request);
        for (unsigned i = 0, n = members["length"].as<unsigned>(); i < n && texts; ++i)
            texts = members[i].isString();
    }
    return json.call<val>(
        "parse", moravik::raceday::answerJson(
                     command.as<std::string>(),
                     texts ? json.call<std::string>("stringify", request) : std::string("null"),
                     moravik::raceday::UnitTexts::Display));
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
