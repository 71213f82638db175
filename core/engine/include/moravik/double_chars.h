// std::from_chars and std::to_chars for double, also where the standard
// library lacks them (libc++ lacks from_chars before version 17, and to_chars
// with a precision before version 14).
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

// std::to_chars(first, last, value, std::chars_format::scientific, precision).
std::to_chars_result toCharsScientific(char* first, char* last, double value, int precision);

// std::to_chars(first, last, value, std::chars_format::fixed, precision).
std::to_chars_result toCharsFixed(char* first, char* last, double value, int precision);

// std::to_chars(first, last, value, std::chars_format::general, precision).
std::to_chars_result toCharsGeneral(char* first, char* last, double value, int precision);

// std::to_chars(first, last, value): the shortest text that reads back as value.
std::to_chars_result toCharsShortest(char* first, char* last, double value);

}  // namespace moravik
