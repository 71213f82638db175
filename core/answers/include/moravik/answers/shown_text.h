// Texts a user typed, shown back in messages, notes and the report.
//
// A shown text never adds a line or reaches the terminal as a control
// sequence: control characters (C0, DEL, C1), backslashes and bytes that are
// not UTF-8 are written as escapes (\n, \t, \r, \\, \xNN), the bidirectional
// controls that reorder text as \u202e, and everything else as typed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace moravik {

std::string escapedText(std::string_view text);

// escapedText that leaves backslashes as they are, so that a message whose
// parts are escaped already can pass through it once more unchanged.
std::string withoutControls(std::string_view text);

// escapedText in double quotes. A text of more than maxShown bytes is cut
// before the character that crosses that limit and ends in "...".
std::string quotedText(std::string_view text, std::size_t maxShown = 40);

// escapedText cut to at most maxColumns characters as shown, ending in "..."
// when cut: for names that must not widen a line.
std::string shortEscapedText(std::string_view text, std::size_t maxColumns);

// A JSON text with DEL, the C1 controls and the bidirectional controls inside
// its strings written as \u escapes: the same data for any JSON reader, and
// nothing a terminal acts on. C0 controls are escaped by the JSON writer itself.
std::string withJsonControlEscapes(std::string_view json);

// The first character of text, a whole UTF-8 sequence when there is one.
std::string_view firstCharacter(std::string_view text);

}  // namespace moravik
