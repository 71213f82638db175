// The units beside the web app's fields as the desktop shows them ("°F",
// "inHg"), from the race-day library's one table of quantities: unitTexts(units)
// gives them by the name the pages use in data-quantity. standards() gives the
// correction standards' choices from the library's list.
#include <emscripten/bind.h>

#include <array>
#include <string>
#include <utility>

#include "module_answer.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/units.h"

namespace {

using moravik::raceday::Quantity;

constexpr std::array<std::pair<const char*, Quantity>, 9> quantityNames{{
    {"temperature", Quantity::Temperature},
    {"barometer", Quantity::Barometer},
    {"line-pressure", Quantity::LinePressure},
    {"elevation", Quantity::Elevation},
    {"humidity", Quantity::Humidity},
    {"weight", Quantity::Weight},
    {"power", Quantity::Power},
    {"speed", Quantity::Speed},
    {"time", Quantity::Time},
}};

emscripten::val unitTexts(const emscripten::val& units) {
    const auto system = moravik::web::unitSystemOf(units);
    if (!system) return moravik::web::unitsRefused();
    emscripten::val texts = emscripten::val::object();
    for (const auto& [name, quantity] : quantityNames) {
        texts.set(name,
                  moravik::raceday::shownSymbol(moravik::raceday::displayUnit(quantity, *system)));
    }
    return texts;
}

// [{key, title, chosen}], the default standard chosen.
emscripten::val standardChoices() {
    emscripten::val choices = emscripten::val::array();
    for (const auto& standard : moravik::raceday::standards) {
        emscripten::val choice = emscripten::val::object();
        choice.set("key", std::string(standard.key));
        choice.set("title", std::string(standard.title));
        choice.set("chosen", standard.standard == moravik::raceday::defaultStandard);
        choices.call<void>("push", choice);
    }
    return choices;
}

}  // namespace

EMSCRIPTEN_BINDINGS(moravik_unit_texts) {
    emscripten::function("unitTexts", &unitTexts);
    emscripten::function("standards", &standardChoices);
}
