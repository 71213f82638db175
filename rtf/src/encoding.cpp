#include "encoding.h"

#include <array>

namespace moravik::rtf::detail {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned bytes become U+FFFD.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

char32_t wingdings(std::uint8_t byte) {
    switch (byte) {
        case 0x6C:
            return 0x25CF;  // black circle
        case 0x6E:
            return 0x25A0;  // black square
        case 0x71:
            return 0x2751;  // shadowed white square
        case 0x75:
            return 0x25C6;  // black diamond
        case 0x76:
            return 0x2756;  // black diamond minus white X
        case 0xA7:
            return 0x25AA;  // small black square
        case 0xD8:
            return 0x27A2;  // arrowhead
        case 0xFC:
            return 0x2713;  // check mark
        default:
            return byte;
    }
}

}  // namespace

char32_t decodeByte(Encoding encoding, std::uint8_t byte) {
    switch (encoding) {
        case Encoding::Windows1252:
            return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte;
        case Encoding::Symbol:
            return byte == 0xB7 ? char32_t{0x2022} : byte;
        case Encoding::Wingdings:
            return wingdings(byte);
        case Encoding::Unsupported:
            break;
    }
    return byte < 0x80 ? byte : kReplacementCharacter;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        codePoint = kReplacementCharacter;
    }
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace moravik::rtf::detail
