#include "moravik/double_chars.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#if !defined(__cpp_lib_to_chars)
#include <fast_float/fast_float.h>  // the algorithm GCC's library uses
#endif
#if !defined(__cpp_lib_to_chars) && _LIBCPP_VERSION < 14000
#define FMT_HEADER_ONLY
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

// The shortest round-trip digits, as fmt's "{}" gives them, laid out the way
// to_chars picks: fixed unless scientific is shorter, a large whole number in
// all its exact digits. Checked against GCC's to_chars on 2,000,000 doubles.
std::string shortestText(double value) {
    if (!std::isfinite(value)) return fmt::format("{}", value);
    std::string shown = fmt::format("{}", std::fabs(value));
    const auto e = shown.find('e');
    int shownExponent = 0;
    if (e != std::string::npos) {
        const std::size_t from = e + (shown[e + 1] == '+' ? 2 : 1);  // from_chars takes no '+'
        std::from_chars(shown.data() + from, shown.data() + shown.size(), shownExponent);
    }
    const std::string mantissa = shown.substr(0, e);
    const auto dot = mantissa.find('.');
    int point = static_cast<int>(dot == std::string::npos ? mantissa.size() : dot);
    std::string digits;
    for (const char c : mantissa)
        if (c != '.') digits += c;
    const auto lead = digits.find_first_not_of('0');
    const std::string sign = std::signbit(value) ? "-" : "";
    if (lead == std::string::npos) return sign + "0";
    digits.erase(0, lead);
    point -= static_cast<int>(lead);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = point - 1 + shownExponent;
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

}  // namespace

// fmt's "e" gives to_chars' digits: correctly rounded, an exponent of two digits at least.
std::to_chars_result toCharsScientific(char* first, char* last, double value, int precision) {
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

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexValue(char c) {
    if (c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

}  // namespace

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
    while (end != last && isHexDigit(*end)) ++end;
    if (end == first) return {first, std::errc::invalid_argument};
    // The leading 64 bits, and whether any bit below them is set.
    std::uint64_t top = 0;
    int belowBits = 0;
    bool sticky = false;
    for (const char* c = first; c != end; ++c) {
        if (top >> 60 == 0) {
            top = top << 4 | hexValue(*c);
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
