#pragma once

#include <cstdint>
#include <string>

namespace moravik::rtf::detail {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// How the bytes of the current font are turned into characters. RTF names code pages through
// \ansicpgN and each font's \fcharsetN. Code page 1252 is decoded fully. The symbol fonts that
// list bullets use (Symbol, Wingdings) map their common bullet glyphs to Unicode and all other
// bytes as Latin-1. Any other code page keeps ASCII and shows higher bytes as U+FFFD; writers
// of such documents give the text as \uN as well, which is what this reader then shows.
enum class Encoding { Windows1252, Symbol, Wingdings, Unsupported };

char32_t decodeByte(Encoding encoding, std::uint8_t byte);

// Appends the UTF-8 form of a code point; surrogates and values past U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace moravik::rtf::detail
