#include "text_decoder.h"

namespace moravik::rtf::detail {

CodePageDecoder& TextDecoder::decoderFor(int codePage) {
    if (!CodePageDecoder::known(codePage)) return unknown_;
    return decoders_.try_emplace(codePage, codePage).first->second;
}

void TextDecoder::setDocumentCodePage(int codePage) {
    documentCodePage_ = codePage;
    valid_ = false;
}

void TextDecoder::useFont(std::optional<int> fontNumber, const FontEntry* font) {
    fontNumber_ = fontNumber;
    valid_ = true;
    symbol_ = font != nullptr ? font->symbol : std::nullopt;
    fontCodePage_ = font != nullptr ? font->codePage : 0;
    CodePageDecoder& next = decoderFor(fontCodePage_ != 0 ? fontCodePage_ : documentCodePage_);
    if (&next != current_) current_->reset();
    current_ = &next;
}

std::optional<char32_t> TextDecoder::decode(std::uint8_t byte) {
    if (symbol_) return symbolCharacter(*symbol_, byte);
    return current_->decode(byte);
}

char32_t TextDecoder::mapUnicode(char32_t codePoint) const {
    if (!symbol_ || codePoint < 0xF020 || codePoint > 0xF0FF) return codePoint;
    return symbolCharacter(*symbol_, static_cast<std::uint8_t>(codePoint - 0xF000));
}

}  // namespace moravik::rtf::detail
