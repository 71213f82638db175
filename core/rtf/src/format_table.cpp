#include "format_table.h"

namespace moravik::rtf::detail {

std::size_t FormatTable::indexOf(const CharProps& props) {
    if (cacheValid_ && cachedProps_ == props) return cachedIndex_;
    CharProps key = props;
    const FontEntry* font = fontOf(props);
    key.font = font != nullptr && !font->symbol
                   ? std::optional<int>(props.font.value_or(defaultFont_))
                   : std::nullopt;
    key.color = colors_.find(props.color) ? props.color : 0;
    key.highlight = colors_.find(props.highlight) ? props.highlight : 0;
    key.hidden = false;
    const auto [entry, added] = indexes_.try_emplace(key, formats_.size());
    if (added) {
        formats_.push_back(makeFormat(key));
        const Face face{key.font,
                        key.halfPoints,
                        key.bold,
                        key.italic,
                        key.verticalAlignment != VerticalAlignment::Baseline,
                        key.capitalization == Capitalization::SmallCaps};
        faceOfFormat_.push_back(faces_.try_emplace(face, faces_.size()).first->second);
    }
    cachedProps_ = props;
    cachedIndex_ = entry->second;
    cacheValid_ = true;
    return cachedIndex_;
}

const FontEntry* FormatTable::fontOf(const CharProps& props) const {
    return fonts_.find(props.font.value_or(defaultFont_));
}

void FormatTable::setDefaultFont(int number) {
    defaultFont_ = number;
    cacheValid_ = false;
}

CharFormat FormatTable::makeFormat(const CharProps& props) const {
    CharFormat format;
    format.bold = props.bold;
    format.italic = props.italic;
    format.underline = props.underline;
    format.strikeOut = props.strikeOut;
    format.halfPoints = props.halfPoints;
    if (props.font) format.font = fonts_.find(*props.font)->name;
    format.color = colors_.find(props.color);
    format.highlight = colors_.find(props.highlight);
    format.verticalAlignment = props.verticalAlignment;
    format.capitalization = props.capitalization;
    if (props.link >= 0) format.link = static_cast<std::size_t>(props.link);
    return format;
}

}  // namespace moravik::rtf::detail
