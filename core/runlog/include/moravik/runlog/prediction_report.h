// A prediction's figures as `moravik-calc log predict` reports them under its
// runs and the web app's Runs page shows them: a label and its text, in order.
#pragma once

#include <string>
#include <vector>

#include "moravik/raceday/units.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/prediction.h"

namespace moravik::runlog {

struct ReportLine {
    std::string label;  // "Predicted ET:"
    std::string text;   // "12.071 s (80 %: 8.440 s to 15.703 s)"
};

std::vector<ReportLine> predictionSummary(const LogPrediction& prediction, const DialIn& dial,
                                          raceday::UnitSystem system);

}  // namespace moravik::runlog
