// The units beside the web app's fields as the desktop shows them ("°F",
// "inHg"), from the race-day library's one table of quantities: unitTexts(units)
// gives them by the name the pages use in data-quantity.
#include <emscripten/bind.h>

#include <array>
#include <string>
#include <utility>

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

emscripten::val unitTexts(const std::string& units) {
    const auto system = units == "metric" ? moravik::raceday::UnitSystem::Metric
                                          : moravik::raceday::UnitSystem::Imperial;
    emscripten::val texts = emscripten::val::object();
    for (const auto& [name, quantity] : quantityNames) {
        texts.set(name, moravik::raceday::shownSymbol(moravik::raceday::displayUnit(quantity, system)));
    }
    return texts;
}

}  // namespace

EMSCRIPTEN_BINDINGS(moravik_unit_texts) { emscripten::function("unitTexts", &unitTexts); }
