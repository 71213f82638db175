#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "encoding.h"
#include "font_table.h"

namespace moravik::rtf::detail {

// Turns the bytes of the text into characters by the current font: through its symbol map, or
// else by its code page, or else by the document's (\ansicpgN).
class TextDecoder {
public:
    TextDecoder() : unknown_(0) {}
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    void setDocumentCodePage(int codePage);  // \ansicpgN; the next useFont() follows it
    // Decodes by the font numbered fontNumber, whose entry is font (nullptr: no such font).
    void useFont(std::optional<int> fontNumber, const FontEntry* font);
    bool follows(std::optional<int> fontNumber) const {
        return valid_ && fontNumber_ == fontNumber;
    }
    // The font table or the default font changed: the next useFont() looks the font up anew.
    void invalidate() { valid_ = false; }

    // The character for a byte, or nothing while a lead byte waits for its trail byte.
    std::optional<char32_t> decode(std::uint8_t byte);
    // Word writes the glyphs of a symbol font as U+F020 to U+F0FF.
    char32_t mapUnicode(char32_t codePoint) const;
    // Printable ASCII stands for itself, so runs of it need no decoding.
    bool passesAscii() const { return !symbol_ && current_->passesAscii(); }
    // False while the code page is one this reader cannot decode.
    bool decodes() const { return symbol_ || current_->supported(); }
    void reset() { current_->reset(); }

private:
    CodePageDecoder& decoderFor(int codePage);

    std::map<int, CodePageDecoder> decoders_;  // the known code pages met so far
    CodePageDecoder unknown_;                  // shared by every code page iconv cannot decode
    CodePageDecoder* current_ = &unknown_;
    std::optional<SymbolFont> symbol_;
    int documentCodePage_ = 1252;
    int fontCodePage_ = 0;  // 0: the document's
    bool valid_ = false;
    std::optional<int> fontNumber_;
};

}  // namespace moravik::rtf::detail
