#include "character_words.h"

#include <algorithm>

namespace moravik::rtf::detail {
namespace {

// Word's own limit for a font size: 1638 points.
constexpr int kMaxHalfPoints = 3276;

VerticalAlignment verticalAlignment(const WordEntry& word, const Token& token) {
    switch (word.action) {
        case Action::Superscript:
            return VerticalAlignment::Superscript;
        case Action::Subscript:
            return VerticalAlignment::Subscript;
        case Action::Up:
        case Action::Down:
            if (token.hasParameter && token.parameter <= 0) break;
            return word.action == Action::Up ? VerticalAlignment::Superscript
                                             : VerticalAlignment::Subscript;
        default:
            break;
    }
    return VerticalAlignment::Baseline;
}

// Words that turn a property on, or off with a parameter of 0. Returns false for other words.
bool applyToggle(const WordEntry& word, bool on, CharProps& chars) {
    switch (word.action) {
        case Action::Bold:
            chars.bold = on;
            return true;
        case Action::Italic:
            chars.italic = on;
            return true;
        case Action::Underline:
            chars.underline = on;
            return true;
        case Action::StrikeOut:
            chars.strikeOut = on;
            return true;
        case Action::Hidden:
            chars.hidden = on;
            return true;
        case Action::Caps:
        case Action::SmallCaps:
            chars.capitalization = !on                           ? Capitalization::AsWritten
                                   : word.action == Action::Caps ? Capitalization::AllCaps
                                                                 : Capitalization::SmallCaps;
            return true;
        default:
            return false;
    }
}

}  // namespace

void applyCharacterFormat(const WordEntry& word, const Token& token, CharProps& chars) {
    const std::int32_t parameter = token.parameter;
    if (applyToggle(word, !token.hasParameter || parameter != 0, chars)) return;
    switch (word.action) {
        case Action::Plain: {
            const int link = chars.link;
            chars = CharProps{};
            chars.link = link;
            break;
        }
        case Action::UnderlineNone:
            chars.underline = false;
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
        case Action::Subscript:
        case Action::NoSuperSub:
        case Action::Up:
        case Action::Down:
            chars.verticalAlignment = verticalAlignment(word, token);
            break;
        default:
            break;
    }
}

}  // namespace moravik::rtf::detail
