// A prediction's figures as `moravik-calc log predict` reports them under its
// runs and the web app's Runs page shows them: a label and its text, in order.
// The window lays the same figures out in fields of its own.
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

// "10.11 s (ET plus 0.010 s, rounded up)": the dial-in as every front end writes it.
std::string dialInSentence(const DialIn& dial);

std::vector<ReportLine> predictionSummary(const LogPrediction& prediction, const DialIn& dial,
                                          raceday::UnitSystem system);

}  // namespace moravik::runlog
