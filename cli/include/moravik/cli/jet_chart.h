// The jet chart (moravik/raceday/jet_chart.h) as the command line prints it.
#pragma once

#include <string>

#include "moravik/raceday/jet_chart.h"

namespace moravik::cli {

// The chart as an aligned text table; a row that faulted shows
// "fault: <kind>" after its jet.
std::string jetChartTable(const raceday::JetChart& chart);

// The chart as CSV with a header row. Cells hold the result texts without the
// blank that stands in the sign position; the last column names a fault.
std::string jetChartCsv(const raceday::JetChart& chart);

}  // namespace moravik::cli
