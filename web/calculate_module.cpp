// The Calculate pass for the browser: the seven input texts in, and out an
// object as one `moravik-calc --batch` line has it: {fields: {TextBox1: ...}}
// with the 31 texts in the writing order, or {fault: "overflow"}; the track
// drop-down's entries, so the page lists the engine's own table; and race
// day's answers (air, predict, solve-hp, convert, jet-for-hp, jet-chart) from
// the core, the same figures and messages as moravik-calc's.
#include <emscripten/bind.h>

#include <string>
#include <utility>
#include <variant>

#include "moravik/calculate.h"
#include "moravik/raceday_json/request_json.h"
#include "moravik/tracks.h"

namespace {

emscripten::val calculateTexts(std::string njt, std::string flp, std::string nbp, std::string jtn,
                               std::string draghp, std::string vweight, std::string altitudeDD) {
    const moravik::InputTexts inputs{std::move(njt),       std::move(flp),    std::move(nbp),
                                     std::move(jtn),       std::move(draghp), std::move(vweight),
                                     std::move(altitudeDD)};
    const moravik::CalculationOutcome outcome = moravik::calculate(inputs);
    emscripten::val answer = emscripten::val::object();
    if (const auto* fault = std::get_if<moravik::Fault>(&outcome)) {
        answer.set("fault", std::string(moravik::faultName(*fault)));
        return answer;
    }
    const auto& texts = std::get<moravik::ResultTexts>(outcome);
    emscripten::val fields = emscripten::val::object();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        fields.set(std::string(moravik::resultFieldNames[i]),
                   std::string(static_cast<std::string_view>(texts[i])));
    }
    answer.set("fields", fields);
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

// Race day's answer to a request of named texts, as JSON text
// (moravik/raceday_json/request_json.h), its report's units as the Race Day
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
    emscripten::function("tracks", &trackTexts);
    emscripten::function("racedayAnswer", &racedayAnswer);
    emscripten::function("calculateRepeatedly", &calculateRepeatedly);
}
