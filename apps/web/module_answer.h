// How every function of the module refuses (calculate() alone answers as a
// --batch line does): {error: sentence, fields: [keys]}, the sentence in no
// front end's words, the keys the request's own (none: the request as a
// whole), which the page maps to its fields and labels. A request of the
// wrong type is refused so too: nothing is thrown across the module's edge.
#pragma once

#include <emscripten/val.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "moravik/raceday/units.h"

namespace moravik::web {

inline emscripten::val refusedAnswer(const std::string& sentence,
                                     std::initializer_list<std::string> fields = {}) {
    emscripten::val keys = emscripten::val::array();
    for (const std::string& field : fields) keys.call<void>("push", field);
    emscripten::val answer = emscripten::val::object();
    answer.set("error", sentence);
    answer.set("fields", keys);
    return answer;
}

// A plain object (not null, not an array), whose members may be read.
inline bool isObject(const emscripten::val& value) {
    return value.typeOf().as<std::string>() == "object" && !value.isNull() && !value.isArray();
}

// A member's text, or none when the object lacks it or it is not text.
inline std::optional<std::string> textOf(const emscripten::val& object, const char* key) {
    if (!isObject(object)) return std::nullopt;
    const emscripten::val member = object[key];
    if (!member.isString()) return std::nullopt;
    return member.as<std::string>();
}

// "imperial" or "metric", as the pages' Units choice gives it.
inline std::optional<raceday::UnitSystem> unitSystemOf(const emscripten::val& units) {
    if (!units.isString()) return std::nullopt;
    const auto name = units.as<std::string>();
    if (name == "imperial") return raceday::UnitSystem::Imperial;
    if (name == "metric") return raceday::UnitSystem::Metric;
    return std::nullopt;
}

inline emscripten::val unitsRefused() {
    return refusedAnswer("give imperial or metric", {"units"});
}

}  // namespace moravik::web
