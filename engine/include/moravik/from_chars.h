// std::from_chars for double, also where the standard library lacks it
// (libc++ before version 17).
#pragma once

#include <charconv>

namespace moravik {

// A decimal number in std::chars_format::general, as std::from_chars reads it:
// result_out_of_range, with the value unchanged, for a number too large for a
// double or one so small that it rounds to zero.
std::from_chars_result fromChars(const char* first, const char* last, double& value);

// Hexadecimal digits alone ("1F", no sign, point or exponent) as the integer
// they write, rounded to the nearest double; result_out_of_range beyond the
// largest double.
std::from_chars_result fromHexDigits(const char* first, const char* last, double& value);

}  // namespace moravik
