// A chart of Calculate passes over a range of nitrous jet sizes, one pass per
// jet with the other inputs as given. The command line prints it as a table or
// CSV; the Race Day window plots ET and trap speed against the jet.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

enum class JetRangeProblem { StepNotAboveZero, ToBelowFrom, TooManyRows };

// Why a range cannot be charted, nothing when it can.
std::optional<JetRangeProblem> checkJetRange(const JetRange& range);

// The rows a range gives (at least 1), for a message about too many.
std::int64_t jetChartRows(const JetRange& range);

// "the chart would have 1,001 rows; at most 1,000 are allowed"
std::string tooManyRowsSentence(const JetRange& range);

// Reads "FROM:TO:STEP", each a jet as readJet reads it, and checks it. The
// message names the parts FROM, TO and STEP, as `--jet-chart` does.
Outcome<JetRange> parseJetRange(std::string_view text);

struct JetChartRow {
    Jet jet;
    CalculationOutcome outcome;
};

struct JetChart {
    std::vector<JetChartRow> rows;
    bool altitudeColumns;  // a strip is chosen: Hale ET and MPH at its altitude are shown
};

// One Calculate pass per jet of a range that checkJetRange accepts.
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
