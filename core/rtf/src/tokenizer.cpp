#include "tokenizer.h"

#include <algorithm>
#include <limits>

#include "moravik/rtf/parser.h"
#include "text_rules.h"

namespace moravik::rtf::detail {
namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSpecial(char c) {
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == '\0';
}

}  // namespace

Token Tokenizer::next() {
    if (binaryLength_ >= 0) return readBinary();
    while (position_ < input_.size() && (input_[position_] == '\r' || input_[position_] == '\n')) {
        ++position_;
    }
    Token token;
    token.offset = position_;
    if (position_ >= input_.size()) return token;
    switch (input_[position_]) {
        case '{':
            ++position_;
            token.kind = TokenKind::GroupStart;
            return token;
        case '}':
            ++position_;
            token.kind = TokenKind::GroupEnd;
            return token;
        case '\0':
            ++position_;
            token.kind = TokenKind::Nul;
            return token;
        case '\\':
            return readEscape();
        default:
            break;
    }
    const std::size_t start = position_;
    while (position_ < input_.size() && !isSpecial(input_[position_])) ++position_;
    token.kind = TokenKind::Text;
    token.text = input_.substr(start, position_ - start);
    return token;
}

Token Tokenizer::readEscape() {
    Token token;
    token.offset = position_;
    ++position_;  // the backslash
    if (position_ >= input_.size()) {
        token.kind = TokenKind::Truncated;
        return token;
    }
    const char first = input_[position_];
    if (first == '\'') return readHexByte(token);
    if (!isLetter(first)) {
        token.kind = TokenKind::ControlSymbol;
        token.text = input_.substr(position_, 1);
        ++position_;
        return token;
    }

    const std::size_t start = position_;
    while (position_ < input_.size() && isLetter(input_[position_])) ++position_;
    if (position_ - start > kMaxControlWordLetters) {
        token.kind = TokenKind::WordTooLong;
        return token;
    }
    token.kind = TokenKind::ControlWord;
    token.text = input_.substr(start, position_ - start);

    const bool negative =
        position_ + 1 < input_.size() && input_[position_] == '-' && isDigit(input_[position_ + 1]);
    if (negative) ++position_;
    if (position_ < input_.size() && isDigit(input_[position_])) {
        // The magnitude stops growing at 2^31, so it never overflows however many digits come.
        constexpr std::int64_t kCap = std::int64_t{1} << 31;
        std::int64_t magnitude = 0;
        while (position_ < input_.size() && isDigit(input_[position_])) {
            magnitude = std::min(kCap, magnitude * 10 + (input_[position_] - '0'));
            ++position_;
        }
        const std::int64_t value =
            negative ? -magnitude : std::min<std::int64_t>(magnitude, kCap - 1);
        token.parameter = static_cast<std::int32_t>(value);
        token.hasParameter = true;
    }
    if (position_ < input_.size() && input_[position_] == ' ') ++position_;  // the delimiter
    if (token.text == "bin") binaryLength_ = std::max<std::int32_t>(0, token.parameter);
    return token;
}

// \'hh: up to two hexadecimal digits. Without any it is a control symbol.
Token Tokenizer::readHexByte(Token token) {
    int value = 0;
    int digits = 0;
    ++position_;  // the quote
    while (digits < 2 && position_ < input_.size() && hexValue(input_[position_]) >= 0) {
        value = value * 16 + hexValue(input_[position_]);
        ++digits;
        ++position_;
    }
    if (digits == 0 && position_ >= input_.size()) {
        token.kind = TokenKind::Truncated;
        return token;
    }
    token.kind = digits == 0 ? TokenKind::ControlSymbol : TokenKind::HexByte;
    token.text = "'";
    token.parameter = value;
    return token;
}

Token Tokenizer::readBinary() {
    Token token;
    token.offset = position_;
    const auto length = static_cast<std::size_t>(binaryLength_);
    binaryLength_ = -1;
    if (length > input_.size() - position_) {
        position_ = input_.size();
        token.kind = TokenKind::Truncated;
        return token;
    }
    token.kind = TokenKind::Binary;
    token.text = input_.substr(position_, length);
    position_ += length;
    return token;
}

}  // namespace moravik::rtf::detail
