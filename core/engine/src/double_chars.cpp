#include "moravik/double_chars.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

#include "hex_digits.h"

#if !defined(__cpp_lib_to_chars)
#include <fast_float/fast_float.h>  // the algorithm GCC's library uses
#endif
#if !defined(__cpp_lib_to_chars) && _LIBCPP_VERSION < 14000
#define FMT_HEADER_ONLY
#if defined(__EMSCRIPTEN__)
// WebAssembly has no 128-bit product: fmt's four 64-bit ones beat the compiler's __multi3 call.
#define FMT_USE_INT128 0
#endif
#include <fmt/compile.h>
#include <fmt/format.h>
#endif

namespace moravik {

#if defined(__cpp_lib_to_chars) || _LIBCPP_VERSION >= 14000

std::to_chars_result toCharsScientific(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::scientific, precision);
}

std::to_chars_result toCharsFixed(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::fixed, precision);
}

std::to_chars_result toCharsGeneral(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::general, precision);
}

std::to_chars_result toCharsShortest(char* first, char* last, double value) {
    return std::to_chars(first, last, value);
}

#else

namespace {

std::to_chars_result copyOut(char* first, char* last, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(last - first))
        return {last, std::errc::value_too_large};
    return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

// A magnitude as significand x 10^(exponent - count + 1): exponent is the power of ten of the
// significand's first digit, count its number of digits.
struct Decimal {
    std::uint64_t significand = 0;
    int count = 0;
    int exponent = 0;
};

constexpr int kMaxShortestDigits = 17;
constexpr auto kPowersOfTen = [] {
    std::array<std::uint64_t, kMaxShortestDigits + 1> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

// The shortest round-trip digits of a finite magnitude above zero, from fmt's Dragonbox itself:
// the formatting around it cost more than it.
Decimal shortestDecimal(double magnitude) {
    const auto shortest = fmt::detail::dragonbox::to_decimal(magnitude);
    Decimal found{shortest.significand, 1, 0};
    while (found.count < kMaxShortestDigits &&
           found.significand >= kPowersOfTen[static_cast<std::size_t>(found.count)])
        ++found.count;
    found.exponent = shortest.exponent + found.count - 1;
    return found;
}

// The shortest digits laid out the way to_chars picks: fixed unless scientific is shorter, a
// large whole number in all its exact digits. Checked against GCC's to_chars on 2,000,000
// doubles.
std::string shortestText(double value) {
    if (!std::isfinite(value)) return fmt::format("{}", value);
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0) return sign + "0";
    const Decimal found = shortestDecimal(std::fabs(value));
    std::string digits = fmt::format("{}", found.significand);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = found.exponent;
    const int count = static_cast<int>(digits.size());
    const int size = std::abs(exponent);
    const std::string scientific = digits.substr(0, 1) + (count > 1 ? "." + digits.substr(1) : "") +
                                   (exponent < 0 ? "e-" : "e+") + (size < 10 ? "0" : "") +
                                   fmt::format("{}", size);
    std::string fixed;
    if (exponent + 1 >= count) {
        fixed = fmt::format("{:.0f}", std::fabs(value));
    } else if (exponent >= 0) {
        fixed = digits.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
                digits.substr(static_cast<std::size_t>(exponent) + 1);
    } else {
        fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return sign + (fixed.size() <= scientific.size() ? fixed : scientific);
}

// The shortest digits of a normal magnitude rounded to `significant`, at most 15 (digits10),
// are the value's own correctly rounded digits. No more than 15 of them already are. Of 16 or 17,
// none shorter lies between them and the value, and of their length they are the closest to it,
// so no halfway point of the rounding lies between them either, unless they end on it: then the
// direction is open, and this gives nothing.
std::optional<Decimal> roundedDecimal(double magnitude, int significant) {
    Decimal found = shortestDecimal(magnitude);
    if (found.count <= significant) {
        found.significand *= kPowersOfTen[static_cast<std::size_t>(significant - found.count)];
    } else {
        const std::uint64_t unit =
            kPowersOfTen[static_cast<std::size_t>(found.count - significant)];
        const std::uint64_t dropped = found.significand % unit;
        if (dropped == unit / 2) return std::nullopt;
        found.significand = found.significand / unit + (dropped > unit / 2 ? 1 : 0);
        if (found.significand == kPowersOfTen[static_cast<std::size_t>(significant)]) {
            found.significand /= 10;
            ++found.exponent;
        }
    }
    found.count = significant;
    return found;
}

// "d.ddde+XX", as to_chars writes it with the decimal's digits.
std::to_chars_result writeScientific(char* first, char* last, bool negative,
                                     const Decimal& decimal) {
    const int magnitude = std::abs(decimal.exponent);
    const std::ptrdiff_t length = (negative ? 1 : 0) + decimal.count + (decimal.count > 1 ? 1 : 0) +
                                  2 + (magnitude < 100 ? 2 : 3);
    if (length > last - first) return {last, std::errc::value_too_large};
    char* out = first;
    if (negative) *out++ = '-';
    char* const lead = out;
    // The digits one place on, and the first brought back before the point.
    out = std::to_chars(lead + 1, last, decimal.significand).ptr;
    lead[0] = lead[1];
    if (decimal.count > 1) {
        lead[1] = '.';
    } else {
        out = lead + 1;
    }
    *out++ = 'e';
    *out++ = decimal.exponent < 0 ? '-' : '+';
    if (magnitude < 10) *out++ = '0';
    return {std::to_chars(out, last, magnitude).ptr, std::errc{}};
}

}  // namespace

std::to_chars_result toCharsScientific(char* first, char* last, double value, int precision) {
    // From the shortest digits where they settle the rounding: with fmt's "e" and a precision,
    // the result texts took half of a WebAssembly Calculate pass.
    if (std::isnormal(value) && precision >= 0 &&
        precision < std::numeric_limits<double>::digits10) {
        if (const auto rounded = roundedDecimal(std::fabs(value), precision + 1))
            return writeScientific(first, last, std::signbit(value), *rounded);
    }
    // fmt's "e" gives to_chars' digits: correctly rounded, an exponent of two digits at least.
    const auto room = static_cast<std::size_t>(last - first);
    // Parsed at compile time: parsing the format string at run time took a
    // sixth of a WebAssembly pass.
    const auto written = fmt::format_to_n(first, room, FMT_COMPILE("{:.{}e}"), value, precision);
    if (written.size > room) return {last, std::errc::value_too_large};
    return {written.out, std::errc{}};
}

// fmt's "f" and "g" follow printf, as to_chars with a precision does.
std::to_chars_result toCharsFixed(char* first, char* last, double value, int precision) {
    return copyOut(first, last, fmt::format("{:.{}f}", value, precision));
}

std::to_chars_result toCharsGeneral(char* first, char* last, double value, int precision) {
    return copyOut(first, last, fmt::format("{:.{}g}", value, precision));
}

std::to_chars_result toCharsShortest(char* first, char* last, double value) {
    return copyOut(first, last, shortestText(value));
}

#endif

#if defined(__cpp_lib_to_chars)

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

std::from_chars_result fromHexDigits(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value, std::chars_format::hex);
}

#else

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    double read = 0;
    const auto [end, error] = fast_float::from_chars(first, last, read);
    if (error != std::errc{}) return {end, error};
    // fast_float 3 gives infinity and zero where std::from_chars reports the range.
    const char* digits = first + (first != end && *first == '-' ? 1 : 0);
    const bool written = digits != end && (*digits == '.' || (*digits >= '0' && *digits <= '9'));
    bool nonZero = false;
    for (const char* c = digits; c != end && *c != 'e' && *c != 'E'; ++c) {
        nonZero = nonZero || (*c >= '1' && *c <= '9');
    }
    if (written && (std::isinf(read) || (read == 0 && nonZero))) {
        return {end, std::errc::result_out_of_range};
    }
    value = read;
    return {end, std::errc{}};
}

std::from_chars_result fromHexDigits(const char* first, const char* last, double& value) {
    const char* end = first;
    while (end != last && detail::isHexDigit(*end)) ++end;
    if (end == first) return {first, std::errc::invalid_argument};
    // The leading 64 bits, and whether any bit below them is set.
    std::uint64_t top = 0;
    int belowBits = 0;
    bool sticky = false;
    for (const char* c = first; c != end; ++c) {
        if (top >> 60 == 0) {
            top = top << 4 | detail::hexValue(*c);
        } else {
            belowBits += 4;
            sticky = sticky || *c != '0';
        }
    }
    // Round the leading bits to 53, ties to even.
    int width = 0;
    while (width < 64 && top >> width != 0) ++width;
    if (width > 53) {
        const int drop = width - 53;
        const std::uint64_t rest = top & ((std::uint64_t{1} << drop) - 1);
        const std::uint64_t half = std::uint64_t{1} << (drop - 1);
        top >>= drop;
        belowBits += drop;
        if (rest > half || (rest == half && (sticky || (top & 1) != 0))) ++top;
    }
    const double read = std::ldexp(static_cast<double>(top), belowBits);
    if (std::isinf(read)) return {end, std::errc::result_out_of_range};
    value = read;
    return {end, std::errc{}};
}

#endif

}  // namespace moravik
