#include "moravik/answers/json_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "moravik/double_chars.h"
#include "moravik/answers/decimal_text.h"
#include "moravik/answers/shown_text.h"

namespace moravik {
namespace {

void append(std::string& text, const JsonDocument& json, NumberDigits digits) {
    switch (json.type()) {
        case JsonDocument::value_t::number_float:
            text += digits == NumberDigits::Shortest ? shortestText(json.get<double>())
                                                     : numberText(json.get<double>());
            return;
        case JsonDocument::value_t::object: {
            text += '{';
            bool first = true;
            for (const auto& [key, value] : json.items()) {
                if (!std::exchange(first, false)) text += ',';
                text += JsonDocument(key).dump();
                text += ':';
                append(text, value, digits);
            }
            text += '}';
            return;
        }
        case JsonDocument::value_t::array: {
            text += '[';
            bool first = true;
            for (const JsonDocument& value : json) {
                if (!std::exchange(first, false)) text += ',';
                append(text, value, digits);
            }
            text += ']';
            return;
        }
        default:
            text += json.dump();
    }
}

}  // namespace

JsonDocument jsonNumber(double value) {
    if (!std::isfinite(value))
        throw ArithmeticFault(std::isnan(value) ? Fault::InvalidArgument : Fault::Overflow);
    return value;
}

JsonDocument jsonNumber(const std::optional<double>& value) {
    return value ? jsonNumber(*value) : JsonDocument(nullptr);
}

std::string jsonText(const JsonDocument& json, NumberDigits digits) {
    std::string text;
    append(text, json, digits);
    return withJsonControlEscapes(text);
}

std::string numberText(double value) {
    std::array<char, 32> digits{};
    const auto end = toCharsGeneral(digits.data(), digits.data() + digits.size(), value, 15).ptr;
    return {digits.data(), end};
}

}  // namespace moravik
