#include <algorithm>

#include "decimal.h"
#include "parser_internal.h"

namespace moravik::rtf::detail {

void Parser::text(std::string_view bytes) {
    const std::size_t skipped = std::min(pendingSkip_, bytes.size());
    pendingSkip_ -= skipped;
    bytes.remove_prefix(skipped);
    if (state_.destination == Destination::Picture) {
        picture_->appendHex(bytes);
        return;
    }
    const bool plainText = state_.destination == Destination::Text && !state_.chars.hidden;
    while (!bytes.empty()) {
        std::size_t plain = 0;
        if (plainText && decoder().passesAscii()) {
            while (plain < bytes.size() &&
                   ((bytes[plain] >= 0x20 && bytes[plain] < 0x7F) || bytes[plain] == '\t')) {
                ++plain;
            }
        }
        if (plain > 0) {
            flushHighSurrogate();
            writer_.appendText(format(), bytes.substr(0, plain));
            bytes.remove_prefix(plain);
        } else {
            byte(static_cast<std::uint8_t>(bytes.front()));
            bytes.remove_prefix(1);
        }
    }
}

void Parser::byte(std::uint8_t value) {
    if (state_.destination == Destination::Picture) return;
    TextDecoder& current = decoder();
    if (value >= 0x80 && !current.decodes()) {
        diagnostics_.noteOnce(
            DiagnosticKind::UnsupportedCodePage,
            "characters of a code page this reader does not know are shown as U+FFFD",
            tokenizer_.position());
    }
    if (const std::optional<char32_t> decoded = current.decode(value)) codePoint(*decoded);
}

void Parser::unicode(std::int32_t value) {
    // RTF writes code points above 32767 as negative 16-bit numbers.
    const std::int64_t widened = value < 0 ? std::int64_t{value} + 0x10000 : value;
    codePoint(widened < 0 || widened > 0x10FFFF
                  ? kReplacementCharacter
                  : decoder().mapUnicode(static_cast<char32_t>(widened)));
    pendingSkip_ = static_cast<std::size_t>(state_.unicodeSkip);
}

void Parser::codePoint(char32_t value) {
    if (value >= 0xDC00 && value <= 0xDFFF) {
        if (pendingHighSurrogate_ == 0) {
            emit(kReplacementCharacter);
            return;
        }
        value = 0x10000 + ((pendingHighSurrogate_ - 0xD800) << 10) + (value - 0xDC00);
        pendingHighSurrogate_ = 0;
    } else {
        flushHighSurrogate();
        if (value >= 0xD800 && value <= 0xDBFF) {
            pendingHighSurrogate_ = value;
            return;
        }
    }
    emit(value);
}

void Parser::flushHighSurrogate() {
    if (pendingHighSurrogate_ == 0) return;
    pendingHighSurrogate_ = 0;
    emit(kReplacementCharacter);
}

void Parser::emit(char32_t value) {
    switch (state_.destination) {
        case Destination::Text:
            if (state_.chars.hidden || value == 0x7F ||
                (value < 0x20 && value != '\t' && value != '\n')) {
                return;
            }
            writer_.appendCharacter(format(), value);
            break;
        case Destination::FieldInstruction:
            if (!fields_.empty() && fields_.back().instruction.size() < kMaxInstructionBytes) {
                appendUtf8(fields_.back().instruction, value);
            }
            break;
        case Destination::FontTable:
            if (value == ';') {
                endFontEntry();
            } else {
                fonts_.appendToName(value);
            }
            break;
        case Destination::ColorTable:
            if (value != ';') break;
            if (!colors_.endEntry()) {
                diagnostics_.noteOnce(
                    DiagnosticKind::TableLimit,
                    "colours past the first " + decimal(kMaxTableEntries) + " are ignored",
                    tokenizer_.position());
            }
            tablesChanged();
            break;
        case Destination::Picture:
            break;
    }
}

TextDecoder& Parser::decoder() {
    if (!decoder_.follows(state_.chars.font)) {
        decoder_.useFont(state_.chars.font, formats_.fontOf(state_.chars));
    }
    return decoder_;
}

// The character of a SYMBOL field: a Unicode code point, a glyph of a symbol font, or a byte of
// the current font.
char32_t Parser::symbolCharacter(const SymbolField& field) {
    if (field.unicode) return field.code <= 0x10FFFF ? field.code : kReplacementCharacter;
    if (field.code > 0xFF) return decoder().mapUnicode(field.code);
    const auto byte = static_cast<std::uint8_t>(field.code);
    if (const std::optional<SymbolFont> font = symbolFontNamed(field.font)) {
        return detail::symbolCharacter(*font, byte);
    }
    return decoder().decode(byte).value_or(kReplacementCharacter);
}

}  // namespace moravik::rtf::detail
