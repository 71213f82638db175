#include "moravik/result_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "moravik/double_chars.h"

namespace moravik {
namespace {

constexpr int significantDigits = 15;
constexpr int smallestPlainExponent = -3;  // 0.001
constexpr int largestPlainExponent = 14;   // below 1E15
constexpr double plainBelow = 1e15;

// Room for a sign, 15 digits, a point, up to 14 padding zeros and an exponent.
using TextBuffer = std::array<char, 48>;
static_assert(ResultText::capacity >= 1 + significantDigits + 1 + 2 + 5,
              "a result text holds the longest exponential form");

char* writePlain(char* out, std::string_view digits, int exponent) {
    if (exponent < 0) {
        *out++ = '.';
        for (int i = -1; i > exponent; --i) *out++ = '0';
        for (char d : digits) *out++ = d;
        return out;
    }
    const auto integerLength = static_cast<std::size_t>(exponent) + 1;
    for (std::size_t i = 0; i < integerLength; ++i) *out++ = i < digits.size() ? digits[i] : '0';
    if (digits.size() > integerLength) {
        *out++ = '.';
        for (char d : digits.substr(integerLength)) *out++ = d;
    }
    return out;
}

char* writeExponential(char* out, std::string_view digits, int exponent, char* end) {
    *out++ = digits.front();
    if (digits.size() > 1) {
        *out++ = '.';
        for (char d : digits.substr(1)) *out++ = d;
    }
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) *out++ = '0';
    return std::to_chars(out, end, magnitude).ptr;
}

}  // namespace

ResultText formatResult(double value) {
    if (value == 0) return ResultText(" 0");  // -0 included

    // "d.dddddddddddddde+XX": the value correctly rounded to 15 digits.
    TextBuffer scientific{};
    const auto printed = toCharsScientific(scientific.data(), scientific.data() + scientific.size(),
                                           std::fabs(value), significantDigits - 1);
    const std::string_view printedText(scientific.data(),
                                       static_cast<std::size_t>(printed.ptr - scientific.data()));
    const auto e = printedText.find('e');

    // The leading digit moves onto the point, so the digits follow each other.
    scientific[1] = scientific[0];
    std::string_view digits(scientific.data() + 1, e - 1);
    digits = digits.substr(0, digits.find_last_not_of('0') + 1);

    int exponent = 0;
    const char* exponentDigits = printedText.data() + e + 2;
    std::from_chars(exponentDigits, printedText.data() + printedText.size(), exponent);
    if (printedText[e + 1] == '-') exponent = -exponent;

    TextBuffer text{};
    char* out = text.data();
    *out++ = value < 0 ? '-' : ' ';
    // A magnitude below 1E15 is written plainly even when its digits round up to 1E15.
    const bool plain = exponent >= smallestPlainExponent &&
                       (exponent <= largestPlainExponent || std::fabs(value) < plainBelow);
    out = plain ? writePlain(out, digits, exponent)
                : writeExponential(out, digits, exponent, text.data() + text.size());
    return ResultText(std::string_view(text.data(), static_cast<std::size_t>(out - text.data())));
}

ResultText formatResult(std::int16_t value) { return formatResult(static_cast<double>(value)); }

}  // namespace moravik
