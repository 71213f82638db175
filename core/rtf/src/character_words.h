#pragma once

#include "control_words.h"
#include "format_table.h"
#include "tokenizer.h"

namespace moravik::rtf::detail {

// Applies a word of the Character topic that changes the character format, such as \b or \fs.
// Words that stand for text (\tab, \u...) are the parser's.
void applyCharacterFormat(const WordEntry& word, const Token& token, CharProps& chars);

}  // namespace moravik::rtf::detail
