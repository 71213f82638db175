#include "moravik/number_reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <system_error>

#include "hex_digits.h"
#include "moravik/double_chars.h"

namespace moravik {
namespace {

// Blanks, tabs and line feeds count nowhere in a number.
constexpr std::string_view ignoredCharacters = " \t\n";

bool isIgnored(char c) { return ignoredCharacters.find(c) != std::string_view::npos; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The position of the first character from pos on that accept() refuses.
std::size_t skip(std::string_view text, std::size_t pos, bool (*accept)(char)) {
    while (pos < text.size() && accept(text[pos])) ++pos;
    return pos;
}

bool startsWithAnyOf(std::string_view text, std::size_t pos, std::string_view characters) {
    return pos < text.size() && characters.find(text[pos]) != std::string_view::npos;
}

// A double needs at most 256 hexadecimal digits (1024 bits); more overflow.
constexpr std::size_t maxHexDigits = 256;

std::optional<double> hexDigitsToDouble(std::string digits) {
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0.0;
    digits.erase(0, first);
    if (digits.size() > maxHexDigits) return std::nullopt;
    double value = 0;
    const auto [end, error] = fromHexDigits(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{}) return std::nullopt;
    return value;
}

std::optional<double> octalDigitsToDouble(const std::string& digits) {
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0.0;
    const std::string_view significant = std::string_view(digits).substr(first);
    if (significant.size() * 3 > maxHexDigits * 4 + 3) return std::nullopt;
    // Regroup the 3-bit octal digits into 4-bit hexadecimal digits.
    std::string bits;
    for (char c : significant) {
        const int d = c - '0';
        bits += (d & 4) ? '1' : '0';
        bits += (d & 2) ? '1' : '0';
        bits += (d & 1) ? '1' : '0';
    }
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    std::string hex;
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                           (bits[i + 3] - '0');
        hex += "0123456789abcdef"[nibble];
    }
    return hexDigitsToDouble(std::move(hex));
}

// from_chars reports both overflow and underflow as out of range; the decimal
// exponent of the leading significant digit tells which one it was.
bool isBeyondLargestDouble(std::string_view integerDigits, std::string_view fractionDigits,
                           std::string_view exponentText) {
    long long magnitude = 0;
    const auto firstInteger = integerDigits.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
        magnitude = static_cast<long long>(integerDigits.size() - firstInteger) - 1;
    } else {
        magnitude = -static_cast<long long>(fractionDigits.find_first_not_of('0')) - 1;
    }
    long long exponent = 0;
    const bool negative = !exponentText.empty() && exponentText.front() == '-';
    for (char c : exponentText) {
        if (isDigit(c) && exponent < 1'000'000'000) exponent = exponent * 10 + (c - '0');
    }
    return magnitude + (negative ? -exponent : exponent) > 0;
}

struct Reading {
    std::optional<double> value;
    std::size_t length;  // how many characters belong to the number; 0 without a digit
};

// The decimal number at the start of a text without ignored characters.
Reading readDecimal(std::string_view text) {
    const bool hasSign = startsWithAnyOf(text, 0, "+-");
    const std::size_t integerStart = hasSign ? 1 : 0;
    std::size_t end = skip(text, integerStart, isDigit);
    const std::string_view integerDigits = text.substr(integerStart, end - integerStart);
    std::string_view fractionDigits;
    if (startsWithAnyOf(text, end, ".")) {
        const std::size_t fractionStart = end + 1;
        end = skip(text, fractionStart, isDigit);
        fractionDigits = text.substr(fractionStart, end - fractionStart);
    }
    if (integerDigits.empty() && fractionDigits.empty()) return {0.0, 0};

    // An exponent marker counts only when at least one digit follows it.
    std::string_view exponentText;
    if (startsWithAnyOf(text, end, "eE")) {
        const std::size_t exponentStart = end + 1;
        const std::size_t digitsStart =
            startsWithAnyOf(text, exponentStart, "+-") ? exponentStart + 1 : exponentStart;
        const std::size_t exponentEnd = skip(text, digitsStart, isDigit);
        if (exponentEnd > digitsStart) {
            exponentText = text.substr(exponentStart, exponentEnd - exponentStart);
            end = exponentEnd;
        }
    }

    // from_chars takes a minus sign but not a plus sign.
    const bool negative = hasSign && text[0] == '-';
    const char* first = text.data() + (hasSign && !negative ? 1 : 0);
    double value = 0;
    const auto [stop, error] = fromChars(first, text.data() + end, value);
    if (error == std::errc::result_out_of_range) {
        if (isBeyondLargestDouble(integerDigits, fractionDigits, exponentText)) return {{}, end};
        return {negative ? -0.0 : 0.0, end};
    }
    return {value, end};
}

template <typename Convert>
Reading readWholeDigits(std::string_view text, bool (*isDigitOfRadix)(char), Convert convert) {
    const std::size_t end = skip(text, 2, isDigitOfRadix);
    return {convert(std::string(text.substr(2, end - 2))), end > 2 ? end : 0};
}

// The number at the start of a text without ignored characters.
Reading readSignificant(std::string_view text) {
    if (!text.starts_with('&')) return readDecimal(text);
    if (startsWithAnyOf(text, 1, "hH"))
        return readWholeDigits(text, detail::isHexDigit, hexDigitsToDouble);
    if (startsWithAnyOf(text, 1, "oO")) {
        return readWholeDigits(text, isOctalDigit, octalDigitsToDouble);
    }
    return {0.0, 0};
}

Reading readText(std::string_view text) {
    // Most texts hold no ignored character and are read in place.
    if (text.find_first_of(ignoredCharacters) == std::string_view::npos) {
        return readSignificant(text);
    }
    std::string significant;
    std::copy_if(text.begin(), text.end(), std::back_inserter(significant),
                 [](char c) { return !isIgnored(c); });
    return readSignificant(significant);
}

}  // namespace

std::optional<double> readNumber(std::string_view text) { return readText(text).value; }

std::size_t readNumberLength(std::string_view text) {
    // Past the number's characters in the text, ignored ones included.
    std::size_t pos = 0;
    for (std::size_t remaining = readText(text).length; remaining > 0; ++pos) {
        if (!isIgnored(text[pos])) --remaining;
    }
    const auto ignoredFrom = text.find_first_not_of(ignoredCharacters, pos);
    return ignoredFrom == std::string_view::npos ? text.size() : ignoredFrom;
}

double roundHalfToEven(double value) {
    if (std::fabs(value - std::trunc(value)) == 0.5) return 2 * std::round(value / 2);
    return std::round(value);
}

std::optional<std::int16_t> toWholeNumber(double value) {
    const double rounded = roundHalfToEven(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace moravik
