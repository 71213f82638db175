// Numbers as text, the same in every locale.
#pragma once

#include <array>
#include <charconv>
#include <concepts>
#include <string>

#include "moravik/double_chars.h"

namespace moravik {

template <std::integral Number>
std::string decimalText(Number number) {
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
    return std::string(digits.data(), end);
}

// The shortest text that reads back as the same double: 3, 0.03, 1e+300.
inline std::string shortestText(double number) {
    std::array<char, 32> digits{};
    const auto end = toCharsShortest(digits.data(), digits.data() + digits.size(), number).ptr;
    return std::string(digits.data(), end);
}

}  // namespace moravik
