#include "moravik/result_format.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <string_view>

namespace moravik {
namespace {

constexpr int significantDigits = 15;
constexpr int smallestPlainExponent = -3;  // 0.001
constexpr int largestPlainExponent = 14;   // below 1E15

std::string plainNotation(std::string_view digits, int exponent) {
    std::string text;
    if (exponent < 0) {
        text = '.';
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
        return text;
    }
    const auto integerLength = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerLength) {
        text = digits;
        text.append(integerLength - digits.size(), '0');
        return text;
    }
    text = digits.substr(0, integerLength);
    text += '.';
    text += digits.substr(integerLength);
    return text;
}

std::string exponentNotation(std::string_view digits, int exponent) {
    std::string text(digits.substr(0, 1));
    if (digits.size() > 1) {
        text += '.';
        text += digits.substr(1);
    }
    text += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) text += '0';
    std::array<char, 8> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude);
    text.append(buffer.data(), result.ptr);
    return text;
}

}  // namespace

std::string formatResult(double value) {
    if (value == 0) return " 0";  // -0 included

    // "d.dddddddddddddde+XX": the value correctly rounded to 15 digits.
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, significantDigits - 1);
    const std::string_view scientific(buffer.data(), result.ptr);

    const bool negative = scientific.front() == '-';
    const std::string_view unsigned_ = scientific.substr(negative ? 1 : 0);
    const auto e = unsigned_.find('e');
    std::string digits;
    digits += unsigned_.front();
    digits += unsigned_.substr(2, e - 2);
    digits.erase(digits.find_last_not_of('0') + 1);

    int exponent = 0;
    const std::string_view exponentText = unsigned_.substr(e + 1);
    const auto sign = exponentText.front() == '-' ? -1 : 1;
    std::from_chars(exponentText.data() + 1, exponentText.data() + exponentText.size(), exponent);
    exponent *= sign;

    const bool plain = exponent >= smallestPlainExponent && exponent <= largestPlainExponent;
    return (negative ? "-" : " ") +
           (plain ? plainNotation(digits, exponent) : exponentNotation(digits, exponent));
}

std::string formatResult(std::int16_t value) { return formatResult(static_cast<double>(value)); }

}  // namespace moravik
