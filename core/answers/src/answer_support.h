// What the race-day answers share: reading a field's text, and the refusal
// that ends a request. Inside an answer a Refusal is thrown; answered() alone
// returns it, so none leaves this library.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "moravik/raceday/air.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/plausible.h"
#include "moravik/raceday/units.h"
#include "moravik/answers/answers.h"

namespace moravik::raceday {

// The value, or the refusal of a message that names its text itself.
template <typename T>
T required(Outcome<T> outcome) {
    if (const auto* error = errorOf(outcome)) throw Refusal{error->message};
    return std::get<T>(std::move(outcome));
}

// The value, or the refusal of `option`'s text, read without a label.
template <typename T>
T required(Outcome<T> outcome, std::string_view option) {
    if (const auto* error = errorOf(outcome)) throw Refusal{error->message, {option}};
    return std::get<T>(std::move(outcome));
}

template <typename T>
T required(Outcome<T> outcome, std::initializer_list<FieldOption> options) {
    if (const auto* error = errorOf(outcome)) throw refusal(*error, options);
    return std::get<T>(std::move(outcome));
}

UnitSystem unitSystemOf(const UnitsField& request);

// The SI value of a field's text; a refusal names the option.
double readQuantity(const std::string& text, Quantity quantity, UnitSystem system,
                    std::string_view option);

// readQuantity, and a refusal unless the value is plausible for `measure`.
double readMeasure(const std::string& text, Quantity quantity, Measure measure, UnitSystem system,
                   std::string_view option);

template <typename T>
T required(Answered<T> answered) {
    if (auto* refusal = std::get_if<Refusal>(&answered)) throw std::move(*refusal);
    return std::get<T>(std::move(answered));
}

// What `answer` gives, or the refusal it threw.
template <typename T, typename Answer>
Answered<T> answeredAs(Answer answer) {
    try {
        return answer();
    } catch (Refusal& refusal) {
        return std::move(refusal);
    }
}

template <typename Answer>
Answered<raceday::Answer> answered(Answer answer) {
    return answeredAs<raceday::Answer>(std::move(answer));
}

}  // namespace moravik::raceday
