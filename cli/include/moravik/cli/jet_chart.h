// A chart of Calculate passes over a range of nitrous jet sizes.
//
// Jet sizes are counted in whole thousandths of an inch, so the row for
// FROM + i * STEP is exact and its text is what a user would type: no binary
// floating-point drift reaches the njt text.
#pragma once

#include <moravik/calculate.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace moravik::cli {

inline constexpr std::int64_t maxJetChartRows = 10000;

struct JetRange {
    std::int64_t from;  // thousandths of an inch
    std::int64_t to;    // inclusive
    std::int64_t step;  // greater than 0
};

// Reads "FROM:TO:STEP", each a decimal of at most three decimals such as
// "0.025" or ".1". Gives the range or a message that says what is wrong.
std::variant<JetRange, std::string> parseJetRange(std::string_view text);

// A jet size in thousandths as the decimal a user would type: 0 -> "0",
// 50 -> "0.05", 75 -> "0.075", 1500 -> "1.5".
std::string jetText(std::int64_t thousandths);

struct JetChartRow {
    std::string jet;  // the njt text of this row
    CalculationOutcome outcome;
};

struct JetChart {
    std::vector<JetChartRow> rows;
    bool altitudeColumns;  // a strip is chosen: Hale ET and MPH at its altitude are shown
};

// One Calculate pass per jet of the range; the other inputs stay as given.
JetChart jetChart(const JetRange& range, InputTexts inputs);

// The chart as an aligned text table; a row that faulted shows
// "fault: <kind>" after its jet.
std::string jetChartTable(const JetChart& chart);

// The chart as CSV with a header row. Cells hold the result texts without the
// blank that stands in the sign position; the last column names a fault.
std::string jetChartCsv(const JetChart& chart);

}  // namespace moravik::cli
