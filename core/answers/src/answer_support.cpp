#include "answer_support.h"

#include "moravik/answers/shown_text.h"

namespace moravik::raceday {

std::string Refusal::unitsNote() const { return units.empty() ? "" : " (units " + units + ")"; }

std::string Refusal::message() const {
    std::string named;
    for (const std::string_view option : options)
        named += (named.empty() ? "" : " and ") + std::string(option);
    return labelPrefix(named) + sentence + unitsNote();
}

Refusal refusal(const Error& error, std::initializer_list<FieldOption> options) {
    for (const FieldOption& option : options) {
        if (option.field != error.field) continue;
        Refusal refused{error.message, {option.option}};
        if (!option.also.empty()) refused.options.push_back(option.also);
        if (option.quantity) refused.units = acceptedUnits(*option.quantity);
        return refused;
    }
    return Refusal{error.message};
}

UnitSystem unitSystemOf(const UnitsField& request) {
    return required(parseUnitSystem(request.units, ""), "--units");
}

double readQuantity(const std::string& text, Quantity quantity, UnitSystem system,
                    std::string_view option) {
    return required(parseQuantity(text, quantity, system, ""), option);
}

double readMeasure(const std::string& text, Quantity quantity, Measure measure, UnitSystem system,
                   std::string_view option) {
    const double value = readQuantity(text, quantity, system, option);
    if (auto error = checkPlausible(value, measure, "")) throw Refusal{error->message, {option}};
    return value;
}

std::string standardChoices() {
    std::string keys;
    for (const StandardName& s : standards) keys += (keys.empty() ? "" : ", ") + std::string(s.key);
    return keys + "; default " + std::string(standardName(defaultStandard).key);
}

Answered<Standard> readStandard(const std::string& key) {
    if (const auto standard = findStandard(key)) return *standard;
    return Refusal{quotedText(key) + " is not a standard; give " + standardChoices(),
                   {"--standard"}};
}

Answered<Air> evaluated(const Weather& weather, std::string_view option) {
    auto air = evaluateAir(weather);
    if (const Error* error = errorOf(air)) return Refusal{error->message, {option}};
    return std::get<Air>(std::move(air));
}

}  // namespace moravik::raceday
