// JSON Lines in, JSON Lines out: one Calculate pass for each input line.
//
// An input line is a JSON object whose keys are input field names (njt, flp,
// nbp, jtn, draghp, vweight, altitudeDD) with string values; a missing key keeps
// the window's initial text, and altitudeDD must be empty or a track entry.
// Anything else yields {"error":"line N: reason"}, and
// the run goes on with the next line.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace moravik::cli {

struct BatchLineOutput {
    std::string json;  // one line of output, without the line break
    bool valid;        // false when the input line was not a usable object
};

// The output for input line number lineNumber (counted from 1, blank lines
// included); nothing for a blank line.
std::optional<BatchLineOutput> batchLine(std::string_view line, std::size_t lineNumber);

// Handles every line of in and writes one output line for each non-blank one.
// Returns whether every non-blank line was valid.
bool runBatch(std::istream& in, std::ostream& out);

}  // namespace moravik::cli
