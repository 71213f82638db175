// The values a run can plausibly hold, as the race-day library's one table
// (core/raceday/plausible.h) gives them, under the names the run form uses. The run
// dialog, CSV import and every read from the log check them. Bounds are in the
// log's units (SI; inches for jets).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "moravik/raceday/plausible.h"

namespace moravik::runlog {

enum class Measure {
    Et,
    Speed,
    SixtyFoot,
    ThreeThirtyFoot,
    EighthEt,
    EighthSpeed,
    NitrousJet,
    Temperature,
    Pressure,  // station pressure or altimeter setting
    Elevation,
    Year,
};

struct PlausibleRange {
    Measure measure;
    std::string_view name;  // as a form labels it
    double low, high;       // inclusive, in the log's units
    raceday::Measure source;
};

namespace plausible_detail {
constexpr PlausibleRange from(Measure measure, std::string_view name, raceday::Measure source) {
    const raceday::PlausibleRange& range = raceday::plausibleRange(source);
    return {measure, name, range.low, range.high, source};
}
}  // namespace plausible_detail

// In the order of Measure.
inline constexpr std::array<PlausibleRange, 11> plausibleRanges{{
    plausible_detail::from(Measure::Et, "ET", raceday::Measure::QuarterEt),
    plausible_detail::from(Measure::Speed, "MPH", raceday::Measure::QuarterSpeed),
    plausible_detail::from(Measure::SixtyFoot, "60 ft", raceday::Measure::SixtyFoot),
    plausible_detail::from(Measure::ThreeThirtyFoot, "330 ft", raceday::Measure::ThreeThirtyFoot),
    plausible_detail::from(Measure::EighthEt, "1/8 mile ET", raceday::Measure::EighthEt),
    plausible_detail::from(Measure::EighthSpeed, "1/8 mile MPH", raceday::Measure::EighthSpeed),
    plausible_detail::from(Measure::NitrousJet, "nitrous jet", raceday::Measure::NitrousJet),
    plausible_detail::from(Measure::Temperature, "temperature", raceday::Measure::Temperature),
    plausible_detail::from(Measure::Pressure, "pressure", raceday::Measure::Pressure),
    plausible_detail::from(Measure::Elevation, "elevation", raceday::Measure::Elevation),
    plausible_detail::from(Measure::Year, "date", raceday::Measure::Year),
}};

constexpr const PlausibleRange& plausibleRange(Measure measure) {
    return plausibleRanges[static_cast<std::size_t>(measure)];
}

constexpr bool isPlausible(Measure measure, double value) {
    return raceday::isPlausible(value, plausibleRange(measure).source);
}

}  // namespace moravik::runlog
