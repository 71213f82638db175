#include "moravik/result_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
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

// The value's 15 significant digits, correctly rounded (ties to even, as
// to_chars rounds), and the power of ten of the first.
struct Digits {
    std::array<char, significantDigits> chars;
    int exponent;
};

__extension__ typedef unsigned __int128 Wide;

constexpr auto powersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};  // 10^19 is the largest below 2^64
    std::uint64_t power = 1;
    for (auto& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

constexpr auto digitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The 15 digits of a whole number below 10^15, two at a time in 32 bits.
void writeDigits(std::uint64_t whole, std::array<char, significantDigits>& chars) {
    auto high = static_cast<std::uint32_t>(whole / 100'000'000);  // 7 digits
    auto low = static_cast<std::uint32_t>(whole % 100'000'000);   // 8 digits
    char* out = chars.data() + chars.size();
    const auto pair = [&out](std::uint32_t two) {
        out -= 2;
        std::copy_n(digitPairs.data() + 2 * two, 2, out);
    };
    for (int i = 0; i < 4; ++i, low /= 100) pair(low % 100);
    for (int i = 0; i < 3; ++i, high /= 100) pair(high % 100);
    *--out = static_cast<char>('0' + high);
}

// Exactly, in 128-bit integers, for a magnitude of 1E-08 up to 1E15, where
// most results lie: the magnitude is m * 2^-s with m below 2^53, and
// m * 10^k (k = 14 - exponent, at most 22) stays below 2^127. Writing the
// digits by to_chars and reading them back was half of a Calculate pass.
bool exactDigits(double magnitude, Digits& digits) {
    const auto bits = __builtin_bit_cast(std::uint64_t, magnitude);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;
    const std::uint64_t m = (bits & 0x000f'ffff'ffff'ffffULL) | (1ULL << 52);
    const int shift = 1075 - biased;  // magnitude = m * 2^-shift
    // floor(log10(2^binary)), which is the power of ten of the first digit or one below it.
    const int binary = biased - 1023;
    int exponent = (binary * 78913) >> 18;
    constexpr std::uint64_t digitsFrom = 100'000'000'000'000;  // 10^14
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = significantDigits - 1 - exponent;
        if (k < 0 || k > 22 || shift < 1 || shift > 100) return false;
        const Wide tenPower = k < 20 ? powersOfTen[static_cast<std::size_t>(k)]
                                     : static_cast<Wide>(powersOfTen[19]) *
                                           powersOfTen[static_cast<std::size_t>(k - 19)];
        const Wide scaled = tenPower * m;
        auto whole = static_cast<std::uint64_t>(scaled >> shift);
        if (whole >= 10 * digitsFrom) {
            ++exponent;
            continue;
        }
        const Wide rest = scaled & ((static_cast<Wide>(1) << shift) - 1);
        const Wide half = static_cast<Wide>(1) << (shift - 1);
        if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
        if (whole == 10 * digitsFrom) {
            whole = digitsFrom;
            ++exponent;
        }
        writeDigits(whole, digits.chars);
        digits.exponent = exponent;
        return true;
    }
    return false;
}

// The same through to_chars, for every other magnitude.
Digits printedDigits(double magnitude) {
    // "d.dddddddddddddde+XX"
    TextBuffer scientific{};
    const auto printed = toCharsScientific(scientific.data(), scientific.data() + scientific.size(),
                                           magnitude, significantDigits - 1);
    const std::string_view printedText(scientific.data(),
                                       static_cast<std::size_t>(printed.ptr - scientific.data()));
    const auto e = printedText.find('e');
    Digits digits{};
    digits.chars[0] = scientific[0];
    std::copy(scientific.data() + 2, scientific.data() + e, digits.chars.data() + 1);
    std::from_chars(printedText.data() + e + 2, printedText.data() + printedText.size(),
                    digits.exponent);
    if (printedText[e + 1] == '-') digits.exponent = -digits.exponent;
    return digits;
}

}  // namespace

ResultText formatResult(double value) {
    if (value == 0) return ResultText(" 0");  // -0 included

    const double magnitude = std::fabs(value);
    Digits rounded{};
    if (!exactDigits(magnitude, rounded)) rounded = printedDigits(magnitude);
    std::string_view digits(rounded.chars.data(), rounded.chars.size());
    digits = digits.substr(0, digits.find_last_not_of('0') + 1);
    const int exponent = rounded.exponent;

    TextBuffer text{};
    char* out = text.data();
    *out++ = value < 0 ? '-' : ' ';
    // A magnitude below 1E15 is written plainly even when its digits round up to 1E15.
    const bool plain = exponent >= smallestPlainExponent &&
                       (exponent <= largestPlainExponent || magnitude < plainBelow);
    out = plain ? writePlain(out, digits, exponent)
                : writeExponential(out, digits, exponent, text.data() + text.size());
    return ResultText(std::string_view(text.data(), static_cast<std::size_t>(out - text.data())));
}

ResultText formatResult(std::int16_t value) { return formatResult(static_cast<double>(value)); }

}  // namespace moravik
