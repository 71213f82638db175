// A whole number in decimal digits, for messages and reports.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace moravik {

inline std::string wholeText(std::int64_t value) {
    char digits[24];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

}  // namespace moravik
