#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace moravik::rtf::detail {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Turns the bytes of one Windows code page into characters with the C library's iconv. A
// double-byte code page (932, 936, 949, 950, 1361) holds a lead byte until its trail byte comes.
class CodePageDecoder {
public:
    // A code page that iconv does not know gives a decoder that keeps ASCII only.
    explicit CodePageDecoder(int codePage);
    static bool known(int codePage);
    bool supported() const { return converter_ != nullptr; }
    // Printable ASCII stands for itself, and no lead byte waits: such text needs no decoding.
    bool passesAscii() const { return asciiCompatible_ && lead_ == 0; }

    // The character, or nothing while a lead byte waits for its trail byte.
    std::optional<char32_t> decode(std::uint8_t byte);
    // Drops a waiting lead byte, when text in another encoding or a group end comes between.
    void reset() { lead_ = 0; }

private:
    char32_t convert(std::string_view bytes) const;

    struct Closer {
        void operator()(void* converter) const;
    };
    std::unique_ptr<void, Closer> converter_;
    std::array<char32_t, 256> singleBytes_{};  // each byte's character, or kLeadByte
    bool asciiCompatible_ = true;
    std::uint8_t lead_ = 0;
};

// The fonts whose bytes name glyphs of their own instead of characters of a code page.
enum class SymbolFont { Symbol, Wingdings, Wingdings2, Wingdings3, Webdings };

// The Unicode character for a byte of a symbol font. Word writes the same glyphs as U+F020 to
// U+F0FF, which symbolCharacter(font, code point - 0xF000) maps alike.
char32_t symbolCharacter(SymbolFont font, std::uint8_t byte);

// Appends the UTF-8 form of a code point; surrogates and values past U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace moravik::rtf::detail
