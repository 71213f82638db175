#pragma once

#include "control_words.h"
#include "moravik/rtf/document.h"
#include "tokenizer.h"

namespace moravik::rtf::detail {

// The paragraph formatting that a group carries.
struct ParagraphProps {
    ParagraphFormat format;
    bool inTable = false;                       // \intbl: the paragraph is a cell's
    TabAlignment nextTab = TabAlignment::Left;  // \tqr, \tqc, \tqdec: for the next \tx
};

// Applies a word of the Paragraph topic that changes the paragraph format, such as \qc or \li.
// \par itself is the parser's.
void applyParagraphFormat(const WordEntry& word, const Token& token, ParagraphProps& paragraph);

}  // namespace moravik::rtf::detail
