// The jet chart (moravik/raceday/jet_chart.h) as the command line lays it
// out for a terminal; its CSV is the core's (moravik/answers/jet_chart_texts.h).
#pragma once

#include <string>

#include "moravik/raceday/jet_chart.h"

namespace moravik::cli {

// The chart as an aligned text table; a row that faulted shows
// "fault: <kind>" after its jet.
std::string jetChartTable(const raceday::JetChart& chart);

}  // namespace moravik::cli
