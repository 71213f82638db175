// A chart of Calculate passes over a range of nitrous jet sizes, one pass per
// jet with the other inputs as given. The command line prints it as a table or
// CSV; the Race Day window plots ET and trap speed against the jet.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "moravik/calculate.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/jet.h"
#include "moravik/result_layout.h"

namespace moravik::raceday {

// The most rows a chart has, in the window and on the command line alike: a
// thousand jets, a thousandth apart, already span an inch, and more points
// would not be told apart on a screen.
inline constexpr std::int64_t maxJetChartRows = 1000;

struct JetRange {
    Jet from;
    Jet to;  // inclusive
    Jet step;
};

// The three jets of a range, in the order they are typed.
enum class JetRangePart { From, To, Step };

// Why a range is not charted, for the part to mend; each front end puts its
// own name of the part before the sentence.
struct JetRangeRefusal {
    JetRangePart part;
    std::string sentence;  // "must not be less than the smallest jet"

    friend bool operator==(const JetRangeRefusal&, const JetRangeRefusal&) = default;
};

// The range from its three jets as typed, each as readJet reads it, with a
// step above 0, TO not below FROM and at most maxJetChartRows rows. A text that is no jet is
// refused before an empty part ("required"), so that a typing slip shows while another part is
// still to be filled in.
std::variant<JetRange, JetRangeRefusal> readJetRange(const std::array<std::string_view, 3>& typed);

// Reads "FROM:TO:STEP" for `--jet-chart`: the message names the part FROM, TO
// or STEP.
Outcome<JetRange> parseJetRange(std::string_view text);

struct JetChartRow {
    Jet jet;
    CalculationOutcome outcome;
};

struct JetChart {
    std::vector<JetChartRow> rows;
    bool altitudeColumns;  // a strip is chosen: Hale ET and MPH at its altitude are shown
};

// One Calculate pass per jet of a range that readJetRange accepts.
JetChart jetChart(const JetRange& range, InputTexts inputs);

// ET (s) and trap speed (mph) with nitrous by one formula.
struct JetChartPoint {
    double jetInches;
    double etSeconds;
    double mph;
};

// A point for each row whose pass did not fault.
std::vector<JetChartPoint> jetChartPoints(const JetChart& chart, Formula formula);

}  // namespace moravik::raceday
