#include "character_words.h"

#include <algorithm>

namespace moravik::rtf::detail {
namespace {

// Word's own limit for a font size: 1638 points.
constexpr int kMaxHalfPoints = 3276;

VerticalAlignment raisedOrLowered(const WordEntry& word, const Token& token) {
    if (token.hasParameter && token.parameter <= 0) return VerticalAlignment::Baseline;
    return word.action == Action::Up ? VerticalAlignment::Superscript
                                     : VerticalAlignment::Subscript;
}

}  // namespace

void applyCharacterFormat(const WordEntry& word, const Token& token, CharProps& chars) {
    const std::int32_t parameter = token.parameter;
    const bool on = !token.hasParameter || parameter != 0;
    switch (word.action) {
        case Action::Plain: {
            const int link = chars.link;
            chars = CharProps{};
            chars.link = link;
            break;
        }
        case Action::Bold:
            chars.bold = on;
            break;
        case Action::Italic:
            chars.italic = on;
            break;
        case Action::Underline:
            chars.underline = on;
            break;
        case Action::UnderlineNone:
            chars.underline = false;
            break;
        case Action::StrikeOut:
            chars.strikeOut = on;
            break;
        case Action::Hidden:
            chars.hidden = on;
            break;
        case Action::Caps:
        case Action::SmallCaps:
            if (on) {
                chars.capitalization = word.action == Action::Caps ? Capitalization::AllCaps
                                                                   : Capitalization::SmallCaps;
            } else {
                chars.capitalization = Capitalization::AsWritten;
            }
            break;
        case Action::FontSize:
            chars.halfPoints =
                parameter > 0 ? std::min(parameter, kMaxHalfPoints) : kDefaultHalfPoints;
            break;
        case Action::Font:
            chars.font = parameter;
            break;
        case Action::Color:
            chars.color = parameter;
            break;
        case Action::Highlight:
            chars.highlight = parameter;
            break;
        case Action::Superscript:
            chars.verticalAlignment = VerticalAlignment::Superscript;
            break;
        case Action::Subscript:
            chars.verticalAlignment = VerticalAlignment::Subscript;
            break;
        case Action::NoSuperSub:
            chars.verticalAlignment = VerticalAlignment::Baseline;
            break;
        case Action::Up:
        case Action::Down:
            chars.verticalAlignment = raisedOrLowered(word, token);
            break;
        default:
            break;
    }
}

}  // namespace moravik::rtf::detail
