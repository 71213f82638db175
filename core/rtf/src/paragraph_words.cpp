#include "paragraph_words.h"

#include <algorithm>

#include "moravik/rtf/parser.h"
#include "text_rules.h"

namespace moravik::rtf::detail {
void applyParagraphFormat(const WordEntry& word, const Token& token, ParagraphProps& paragraph) {
    ParagraphFormat& format = paragraph.format;
    const auto twips = [&](int low) { return std::clamp(token.parameter, low, kMaxTwips); };
    switch (word.action) {
        case Action::Pard:
            paragraph = ParagraphProps{};
            break;
        case Action::Align:
            format.alignment = static_cast<Alignment>(word.value);
            break;
        case Action::LeftIndent:
            format.leftIndent = twips(-kMaxTwips);
            break;
        case Action::RightIndent:
            format.rightIndent = twips(-kMaxTwips);
            break;
        case Action::FirstLineIndent:
            format.firstLineIndent = twips(-kMaxTwips);
            break;
        case Action::SpaceBefore:
            format.spaceBefore = twips(0);
            break;
        case Action::SpaceAfter:
            format.spaceAfter = twips(0);
            break;
        case Action::TabKind:
            paragraph.nextTab = static_cast<TabAlignment>(word.value);
            break;
        case Action::TabStop:
            if (format.tabStops.size() < kMaxTabStops) {
                const TabStop stop{twips(0), paragraph.nextTab};
                format.tabStops.insert(std::ranges::upper_bound(format.tabStops, stop.position, {},
                                                                &TabStop::position),
                                       stop);
            }
            paragraph.nextTab = TabAlignment::Left;
            break;
        case Action::InTable:
            paragraph.inTable = true;
            break;
        default:
            break;
    }
}

}  // namespace moravik::rtf::detail
