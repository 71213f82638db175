// The drag-strip list of the track drop-down and the altitude correction.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "moravik/quarter_mile.h"

namespace moravik {

inline constexpr std::size_t trackEntryCount = 59;

// The 59 drop-down entries in display order, blanks included: group headings,
// division headings, separator lines and strips.
std::span<const std::string_view, trackEntryCount> trackEntries();

// True for the empty text (nothing chosen) and for every entry of the list,
// strip or not: the texts the drop-down can hold.
bool isTrackChoice(std::string_view text);

struct TrackStrip {
    std::string_view name;  // "Denver, CO": the entry without its elevation
    double elevationFeet;   // the elevation the entry ends in
};

// Each strip of the list once, in the list's order.
std::span<const TrackStrip> trackStrips();

struct AltitudeFactors {
    double et;   // multiplies an elapsed time (below 1)
    double mph;  // multiplies a trap speed (above 1)
};

// The factors of a strip, found by its exact text (case and blanks count);
// nothing for any other text.
std::optional<AltitudeFactors> altitudeFactorsFor(std::string_view trackText);

struct AltitudeAdjusted {
    double et;
    double mph;
};

using AltitudeAdjustedEstimates = std::array<AltitudeAdjusted, formulaCount>;

// The ET and MPH without nitrous scaled by the strip's factors, or nothing
// when the text names no strip.
std::optional<AltitudeAdjustedEstimates> adjustForAltitude(std::string_view trackText,
                                                           const QuarterMileEstimates& estimates);

}  // namespace moravik
