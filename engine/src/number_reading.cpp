#include "moravik/number_reading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace moravik {
namespace {

bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Walks a field text with blanks, tabs and line feeds skipped.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    // The next significant character, or '\0' at the end.
    char peek() {
        while (pos_ < text_.size() && isIgnored(text_[pos_])) ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void advance() { ++pos_; }

    // Counts everything taken so far as part of the number.
    void markNumberEnd() { numberEnd_ = pos_; }
    std::size_t numberEnd() const { return numberEnd_; }

    template <typename Predicate>
    std::string takeWhile(Predicate accept) {
        std::string taken;
        for (char c = peek(); c != '\0' && accept(c); c = peek()) {
            taken += c;
            advance();
        }
        return taken;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t numberEnd_ = 0;
};

// A double needs at most 256 hexadecimal digits (1024 bits); more overflow.
constexpr std::size_t maxHexDigits = 256;

std::optional<double> hexDigitsToDouble(std::string digits) {
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0.0;
    digits.erase(0, first);
    if (digits.size() > maxHexDigits) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                              std::chars_format::hex);
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

std::optional<double> readDecimal(Cursor& cursor) {
    std::string sign;
    if (const char c = cursor.peek(); c == '+' || c == '-') {
        if (c == '-') sign = "-";
        cursor.advance();
    }
    const std::string integerDigits = cursor.takeWhile(isDigit);
    std::string fractionDigits;
    if (cursor.peek() == '.') {
        cursor.advance();
        fractionDigits = cursor.takeWhile(isDigit);
    }
    if (integerDigits.empty() && fractionDigits.empty()) return 0.0;
    cursor.markNumberEnd();

    // An exponent marker counts only when at least one digit follows it.
    std::string exponentText;
    if (const char c = cursor.peek(); c == 'e' || c == 'E') {
        cursor.advance();
        std::string exponentSign;
        if (const char s = cursor.peek(); s == '+' || s == '-') {
            exponentSign = s;
            cursor.advance();
        }
        const std::string exponentDigits = cursor.takeWhile(isDigit);
        if (!exponentDigits.empty()) {
            exponentText = exponentSign + exponentDigits;
            cursor.markNumberEnd();
        }
    }

    std::string number = sign + (integerDigits.empty() ? "0" : integerDigits);
    if (!fractionDigits.empty()) number += '.' + fractionDigits;
    if (!exponentText.empty()) number += 'e' + exponentText;

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (isBeyondLargestDouble(integerDigits, fractionDigits, exponentText)) return std::nullopt;
        return sign.empty() ? 0.0 : -0.0;
    }
    return value;
}

template <typename Predicate>
std::string takeDigits(Cursor& cursor, Predicate isDigitOfRadix) {
    std::string digits = cursor.takeWhile(isDigitOfRadix);
    if (!digits.empty()) cursor.markNumberEnd();
    return digits;
}

std::optional<double> readFrom(Cursor& cursor) {
    if (cursor.peek() == '&') {
        cursor.advance();
        const char radix = cursor.peek();
        if (radix == 'h' || radix == 'H') {
            cursor.advance();
            return hexDigitsToDouble(takeDigits(cursor, isHexDigit));
        }
        if (radix == 'o' || radix == 'O') {
            cursor.advance();
            return octalDigitsToDouble(takeDigits(cursor, isOctalDigit));
        }
        return 0.0;
    }
    return readDecimal(cursor);
}

}  // namespace

std::optional<double> readNumber(std::string_view text) {
    Cursor cursor(text);
    return readFrom(cursor);
}

std::size_t readNumberLength(std::string_view text) {
    Cursor cursor(text);
    readFrom(cursor);
    const auto ignoredFrom = text.find_first_not_of(" \t\n", cursor.numberEnd());
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
