#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace moravik::rtf::detail {

enum class TokenKind {
    GroupStart,     // {
    GroupEnd,       // }
    ControlWord,    // \word or \wordN; text holds the letters
    ControlSymbol,  // \ followed by one non-letter; text holds that character
    HexByte,        // \'hh; parameter holds the byte
    Text,           // a run of plain bytes
    Binary,         // the N bytes that follow \binN; text holds them
    Nul,            // a NUL byte
    End,            // the end of the input
    Truncated,      // the input ends inside an escape or inside binary data
    WordTooLong,    // a control word of more than kMaxControlWordLetters letters
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;
    std::int32_t parameter = 0;  // saturated to the 32-bit range
    bool hasParameter = false;
    std::size_t offset = 0;
};

// Splits RTF into tokens without copying. Line ends are not text in RTF and are dropped here,
// so LF, CRLF and CR files give the same tokens. The bytes after \binN are returned as one
// Binary token; the count is checked against the bytes left and never allocated.
class Tokenizer {
public:
    Tokenizer(std::string_view input, std::size_t start) : input_(input), position_(start) {}

    Token next();
    std::size_t position() const { return position_; }

private:
    Token readEscape();
    Token readHexByte(Token token);
    Token readBinary();

    std::string_view input_;
    std::size_t position_ = 0;
    std::int64_t binaryLength_ = -1;  // >= 0 right after \binN
};

}  // namespace moravik::rtf::detail
