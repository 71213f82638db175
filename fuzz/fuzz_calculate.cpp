// Runs the Calculate pass on seven texts cut from the fuzzer's bytes and checks
// that it is deterministic and that every result text is well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "moravik/calculate.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A sign slot (blank or minus), digits with at most one point, and an optional
// exponent "E", sign, at least two digits. At least one mantissa digit.
bool isWellFormed(std::string_view text) {
    if (text.size() < 2 || (text[0] != ' ' && text[0] != '-')) return false;
    std::size_t i = 1;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == '.'); ++i) {
        if (text[i] == '.') {
            if (point) return false;
            point = true;
        } else {
            ++digits;
        }
    }
    if (digits == 0 || digits > 15 + 3) return false;
    if (i == text.size()) return true;
    if (text[i] != 'E' || i + 1 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-')) {
        return false;
    }
    const std::string_view exponent = text.substr(i + 2);
    if (exponent.size() < 2 || exponent.size() > 3) return false;
    for (char c : exponent) {
        if (!isDigit(c)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    moravik::InputTexts inputs;
    // The input fields' texts in the engine's order, separated by '|'; missing ones are empty.
    for (const moravik::InputField& field : moravik::inputFields) {
        const auto cut = bytes.find('|');
        inputs.*field.text = bytes.substr(0, cut);
        bytes = cut == std::string_view::npos ? std::string_view{} : bytes.substr(cut + 1);
    }

    const moravik::CalculationOutcome first = moravik::calculate(inputs);
    if (first != moravik::calculate(inputs)) std::abort();
    if (const auto* results = std::get_if<moravik::ResultTexts>(&first)) {
        for (const auto& text : *results) {
            if (!isWellFormed(text)) std::abort();
        }
    }
    return 0;
}
