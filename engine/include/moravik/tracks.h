// The drag-strip list of the track drop-down and the altitude correction.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace moravik {

inline constexpr std::size_t trackEntryCount = 59;

// The 59 drop-down entries in display order, blanks included: group headings,
// division headings, separator lines and strips.
std::span<const std::string_view, trackEntryCount> trackEntries();

struct AltitudeFactors {
    double et;   // multiplies an elapsed time (below 1)
    double mph;  // multiplies a trap speed (above 1)
};

// The factors of a strip, found by its exact text; nothing for any other text.
std::optional<AltitudeFactors> altitudeFactorsFor(std::string_view trackText);

}  // namespace moravik
