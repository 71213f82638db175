#include "answer_support.h"

#include "moravik/raceday_json/shown_text.h"

namespace moravik::raceday {

Refusal refusal(const Error& error, std::initializer_list<FieldOption> options) {
    for (const FieldOption& option : options) {
        if (option.field != error.field) continue;
        std::string message = std::string(option.option) + ": " + error.message;
        if (option.quantity) message += " (units " + acceptedUnits(*option.quantity) + ")";
        return Refusal{std::move(message)};
    }
    return Refusal{error.message};
}

UnitSystem unitSystemOf(const UnitsField& request) {
    return required(parseUnitSystem(request.units, "--units"));
}

double readQuantity(const std::string& text, Quantity quantity, UnitSystem system,
                    std::string_view option) {
    return required(parseQuantity(text, quantity, system, option));
}

double readMeasure(const std::string& text, Quantity quantity, Measure measure, UnitSystem system,
                   std::string_view option) {
    const double value = readQuantity(text, quantity, system, option);
    if (auto error = checkPlausible(value, measure, option)) throw Refused{error->message};
    return value;
}

std::string standardChoices() {
    std::string keys;
    for (const StandardName& s : standards) keys += (keys.empty() ? "" : ", ") + std::string(s.key);
    return keys + "; default " + std::string(standardName(defaultStandard).key);
}

Answered<Standard> readStandard(const std::string& key) {
    if (const auto standard = findStandard(key)) return *standard;
    return Refusal{"--standard: " + quotedText(key) + " is not a standard; give " +
                   standardChoices()};
}

Answered<Air> evaluated(const Weather& weather, std::string_view option) {
    auto air = evaluateAir(weather);
    if (const Error* error = errorOf(air)) return Refusal{std::string(option) + ": " + error->message};
    return std::get<Air>(std::move(air));
}

}  // namespace moravik::raceday
