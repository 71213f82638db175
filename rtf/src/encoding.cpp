#include "encoding.h"

#include <iconv.h>

#include <cerrno>
#include <string_view>

namespace moravik::rtf::detail {
namespace {

// Marks a byte of singleBytes_ that starts a two-byte character.
constexpr char32_t kLeadByte = 0xFFFFFFFF;

// The code pages that Word and WordPad write, by the names glibc's iconv knows them.
const char* iconvName(int codePage) {
    switch (codePage) {
        case 437:
            return "CP437";
        case 850:
            return "CP850";
        case 874:
            return "CP874";
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "CP950";
        case 1250:
            return "CP1250";
        case 1251:
            return "CP1251";
        case 1252:
            return "CP1252";
        case 1253:
            return "CP1253";
        case 1254:
            return "CP1254";
        case 1255:
            return "CP1255";
        case 1256:
            return "CP1256";
        case 1257:
            return "CP1257";
        case 1258:
            return "CP1258";
        case 1361:
            return "JOHAB";
        case 10000:
            return "MACINTOSH";
        default:
            return nullptr;
    }
}

// Adobe's Symbol encoding (Unicode's MAPPINGS/VENDORS/ADOBE/symbol.txt) from 0x20 on. Where
// Adobe maps to its corporate-use area, the nearest standard character stands instead, so
// that any font can draw it; 0 marks the bytes the encoding leaves unassigned.
constexpr char32_t kSymbol[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,  // 0x20
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,  // 0x28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 0x30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 0x38
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,  // 0x40
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,  // 0x48
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,  // 0x50
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,  // 0x58
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  // 0x60
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  // 0x68
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,  // 0x70
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,       // 0x78
    0,      0,      0,      0,      0,      0,      0,      0,       // 0x80
    0,      0,      0,      0,      0,      0,      0,      0,       // 0x88
    0,      0,      0,      0,      0,      0,      0,      0,       // 0x90
    0,      0,      0,      0,      0,      0,      0,      0,       // 0x98
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,  // 0xA0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,  // 0xA8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,  // 0xB0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,  // 0xB8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,  // 0xC0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,  // 0xC8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,  // 0xD0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,  // 0xD8
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,  // 0xE0
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,  // 0xE8
    0,      0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,  // 0xF0
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,       // 0xF8
};

// The Wingdings glyphs that bullets use; other bytes keep their own value.
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

void CodePageDecoder::Closer::operator()(void* converter) const {
    iconv_close(static_cast<iconv_t>(converter));
}

CodePageDecoder::CodePageDecoder(int codePage) {
    singleBytes_.fill(kReplacementCharacter);
    for (char32_t byte = 0; byte < 0x80; ++byte) singleBytes_[byte] = byte;
    const char* name = iconvName(codePage);
    if (name == nullptr) return;
    const iconv_t converter = iconv_open("UTF-32LE", name);
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
    converter_.reset(converter);
    for (unsigned byte = 0; byte < 256; ++byte) {
        const char single = static_cast<char>(byte);
        singleBytes_[byte] = convert(std::string_view(&single, 1));
        if (byte >= 0x20 && byte < 0x7F && singleBytes_[byte] != byte) asciiCompatible_ = false;
    }
}

bool CodePageDecoder::known(int codePage) { return iconvName(codePage) != nullptr; }

char32_t CodePageDecoder::convert(std::string_view bytes) const {
    const auto converter = static_cast<iconv_t>(converter_.get());
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    unsigned char utf32[8] = {};
    char* out = reinterpret_cast<char*>(utf32);
    std::size_t outLeft = sizeof utf32;
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    if (converted == static_cast<std::size_t>(-1) && errno == EINVAL) return kLeadByte;
    // CP1255 and CP1258 hold a letter back in case a combining mark follows: flush it out.
    const std::size_t flushed = iconv(converter, nullptr, nullptr, &out, &outLeft);
    if (converted == static_cast<std::size_t>(-1) || flushed == static_cast<std::size_t>(-1) ||
        sizeof utf32 - outLeft != 4) {
        return kReplacementCharacter;
    }
    return char32_t{utf32[0]} | char32_t{utf32[1]} << 8 | char32_t{utf32[2]} << 16 |
           char32_t{utf32[3]} << 24;
}

std::optional<char32_t> CodePageDecoder::decode(std::uint8_t byte) {
    if (lead_ != 0) {
        const char pair[2] = {static_cast<char>(lead_), static_cast<char>(byte)};
        lead_ = 0;
        const char32_t decoded = convert(std::string_view(pair, 2));
        return decoded == kLeadByte ? kReplacementCharacter : decoded;
    }
    const char32_t single = singleBytes_[byte];
    if (single != kLeadByte) return single;
    lead_ = byte;
    return std::nullopt;
}

char32_t symbolCharacter(SymbolFont font, std::uint8_t byte) {
    if (font == SymbolFont::Wingdings) return wingdings(byte);
    if (byte < 0x20) return byte;
    const char32_t mapped = kSymbol[byte - 0x20];
    return mapped != 0 ? mapped : kReplacementCharacter;
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
