// JSON Lines in, JSON Lines out: one Calculate pass for each input line.
//
// An input line is a JSON object whose keys are input field names (njt, flp,
// nbp, jtn, draghp, vweight, altitudeDD) with string values; a missing key keeps
// the window's initial text, and altitudeDD must be empty or a track entry.
// bottle_temperature ("85F", bare in F) stands for nbp: the bottle pressure of
// the nitrous vapour-pressure curve in whole psi gauge, as --bottle-temperature.
// Anything else, a line longer than maxBatchLineLength included, yields
// {"error":"line N: reason"}, and the run goes on with the next line.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "moravik/cli/exit_status.h"

namespace moravik::cli {

// 1 MiB, line break not counted. A longer line is skipped as it is read, so
// memory stays flat whatever the input holds.
inline constexpr std::size_t maxBatchLineLength = std::size_t{1} << 20;

struct BatchLineOutput {
    std::string json;   // one line of output, without the line break
    ExitStatus status;  // Success, ArithmeticFault, or UsageError for an unusable line
};

// The output for input line number lineNumber (counted from 1, blank lines
// included); nothing for a blank line.
std::optional<BatchLineOutput> batchLine(std::string_view line, std::size_t lineNumber);

struct BatchInput {
    std::istream& stream;
    std::string_view name;  // for messages: "standard input" or the file's name
};

// Handles every line of the input and writes one output line for each
// non-blank one. Gives the worst status of the lines, or InputOutputError when
// reading failed (said on err, after the answers so far are written) or a
// write failed (the run stops there; the caller reports it).
ExitStatus runBatch(const BatchInput& input, std::ostream& out, std::ostream& err);

}  // namespace moravik::cli
