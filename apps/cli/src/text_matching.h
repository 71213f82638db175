// Loose comparison of names a user typed: blanks collapsed, case ignored, and
// the number of typing mistakes between two names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace moravik::cli {

// Runs of blanks and tabs become one blank, blanks at either end go, and
// ASCII letters become lower case: "  Denver, CO  5800" -> "denver, co 5800".
std::string looseName(std::string_view text);

// The fewest single-character insertions, deletions and substitutions that
// turn a into b.
std::size_t editDistance(std::string_view a, std::string_view b);

// Whether `typed` looks like a mistyped `name`: at most one mistake in three
// characters, and at least one allowed.
bool isNearMatch(std::string_view typed, std::string_view name);

}  // namespace moravik::cli
