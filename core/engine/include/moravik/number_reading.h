// Turning the texts of the input fields into numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace moravik {

// Reads the number at the start of a field text. Blanks, tabs and line feeds
// are ignored wherever they stand; reading stops at the first character that
// cannot continue the number, and a text that does not start with one reads
// as 0. "&H" and "&O" introduce hexadecimal and octal whole numbers. The
// decimal point is always a full stop. Nothing is returned when the value
// lies beyond the range of doubles; a value below the smallest double is 0.
std::optional<double> readNumber(std::string_view text);

// Where readNumber stops reading text: the index of the first character that
// it ignores (not a blank, tab or line feed), or text.size() when it uses the
// whole text. A text from which no digit is read stops at its first character
// that is not a blank: "3,200" stops at 1, "43 psi" at 3, "abc" at 0, "1e" at
// 1 and " 7 " at 3.
std::size_t readNumberLength(std::string_view text);

// Rounds to the nearest whole number, ties to the even neighbour. Nothing is
// returned when the result lies outside -32768..32767.
std::optional<std::int16_t> toWholeNumber(double value);

// Rounds to the nearest whole number, ties to the even neighbour, whatever
// the floating-point rounding mode is.
double roundHalfToEven(double value);

}  // namespace moravik
