#pragma once

// Small rules that several of the reader's units follow alike.

#include <algorithm>
#include <string_view>

namespace moravik::rtf::detail {

// Word's own limit for a length in a document (indents, spacing, cell edges, tab stops and a
// picture's shown size): 22 inches.
inline constexpr int kMaxTwips = 31680;

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A hexadecimal digit's value, or -1 for any other character.
inline int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

inline char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, {}, lowerAscii, lowerAscii);
}

inline bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace moravik::rtf::detail
