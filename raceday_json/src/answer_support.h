// What the race-day answers share: reading a field's text, and the refusal
// that ends a request. Inside an answer a refusal is thrown; answered() alone
// turns it into a Refusal, so none leaves this library.
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
#include "moravik/raceday_json/answers.h"

namespace moravik::raceday {

struct Refused {
    std::string message;
};

template <typename T>
T required(Outcome<T> outcome) {
    if (const auto* error = errorOf(outcome)) throw Refused{error->message};
    return std::get<T>(std::move(outcome));
}

template <typename T>
T required(Outcome<T> outcome, std::initializer_list<FieldOption> options) {
    if (const auto* error = errorOf(outcome)) throw Refused{refusal(*error, options).message};
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
    if (const auto* refusal = std::get_if<Refusal>(&answered)) throw Refused{refusal->message};
    return std::get<T>(std::move(answered));
}

// The JSON of an answer; a figure that is not finite gives its fault instead.
template <typename Build>
std::variant<JsonDocument, FigureFault> figuresJson(Build build) {
    try {
        return build();
    } catch (const CalculationFault& fault) {
        return FigureFault{fault.name};
    }
}

// What `answer` gives, or the refusal it threw.
template <typename T, typename Answer>
Answered<T> answeredAs(Answer answer) {
    try {
        return answer();
    } catch (const Refused& refused) {
        return Refusal{refused.message};
    }
}

template <typename Answer>
Answered<raceday::Answer> answered(Answer answer) {
    return answeredAs<raceday::Answer>(std::move(answer));
}

}  // namespace moravik::raceday
