// --track: an entry of the track list by its exact text, by its number in
// `moravik-calc --tracks --numbered`, or by the name of a strip.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace moravik::cli {

struct TrackEntry {
    std::size_t number;     // 1 to 59; 0 for the empty text, no entry
    std::string_view text;  // exactly as the list holds it
};

// A strip name matches when, blanks collapsed and case ignored, it starts the
// strip's text: "denver, co 5800" and "Denver" both name "Denver, CO  5800".
// Every strip is listed under both group headings with the same text and
// factors, so the two count as one match. Gives the entry, or a message that
// says why the text names none and lists the near matches.
std::variant<TrackEntry, std::string> chooseTrack(std::string_view text);

}  // namespace moravik::cli
