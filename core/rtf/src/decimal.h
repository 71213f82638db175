#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <string>

namespace moravik::rtf::detail {

// A count in decimal digits, for messages.
inline std::string decimal(std::size_t value) {
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return std::string(digits.data(), end);
}

}  // namespace moravik::rtf::detail
