#include "moravik/runlog/prediction_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "moravik/whole_text.h"

namespace moravik::runlog {

std::string dialInSentence(const DialIn& dial) {
    return raceday::fixedText(dial.dialInSeconds(), 2) + " s (ET plus " +
           raceday::fixedText(dial.marginSeconds, 3) + " s, rounded up)";
}

std::vector<ReportLine> predictionSummary(const LogPrediction& p, const DialIn& dial,
                                          raceday::UnitSystem system) {
    using raceday::Quantity;
    const auto shown = [system](double si, Quantity quantity) {
        return raceday::displayText(si, quantity, system);
    };
    std::vector<ReportLine> lines;
    lines.push_back({"Runs on:", jetRunsText(p.jetInches)});
    const auto far = std::count_if(p.runs.begin(), p.runs.end(),
                                   [](const CorrectedRun& run) { return run.farFromOthers; });
    lines.push_back(
        {"Runs used:",
         wholeText(p.used) + " of " + wholeText(static_cast<long>(p.runs.size())) +
             (far > 0 ? ", " + wholeText(far) + " far from the others" : std::string())});
    lines.push_back({"Corrected ET:", shown(p.lowestCorrectedEt, Quantity::Time) + " to " +
                                          shown(p.highestCorrectedEt, Quantity::Time) +
                                          ", average " +
                                          shown(p.averageCorrected.etSeconds, Quantity::Time)});
    lines.push_back({"Corrected speed:", shown(p.averageCorrected.speed, Quantity::Speed)});
    lines.push_back({"Correction factor now:", raceday::factorText(p.todayFactor)});
    const DialInFigures& chosen = dial.chosen();
    std::string method(methodTitle(dial));
    if (dial.method == DialInMethod::Exponent)
        method += ", k = " + raceday::fixedText(dial.exponentK, 3);
    lines.push_back({"Method:", method});
    lines.push_back({"Chosen for:", dial.reason});
    const auto withInterval = [&](const raceday::LinePrediction& figure, Quantity quantity) {
        if (!chosen.hasInterval) return shown(figure.value, quantity) + " (one run: no interval)";
        return shown(figure.value, quantity) + " (" +
               wholeText(std::lround(dial.probability * 100)) +
               " %: " + shown(figure.low, quantity) + " to " + shown(figure.high, quantity) + ")";
    };
    lines.push_back({"Predicted ET:", withInterval(chosen.et, Quantity::Time)});
    lines.push_back({"Predicted speed:", withInterval(chosen.speed, Quantity::Speed)});
    lines.push_back({"Dial-in:", dialInSentence(dial)});
    // A line fitted through runs in nearly one air can miss by any amount; the line stays
    // within 80 columns and JSON has the figure.
    const auto thousandths = [](const std::optional<double>& seconds) {
        constexpr double widest = 9999.9;
        return *seconds * 1000 > widest ? std::string(">9999")
                                        : raceday::fixedText(*seconds * 1000, 1);
    };
    std::string error = "none from one run";
    if (dial.scaling.leaveOneOutEtSeconds) {
        error = "exponent " + thousandths(dial.exponent.leaveOneOutEtSeconds) + ", " +
                (dial.fit ? "fit " + thousandths(dial.fit->leaveOneOutEtSeconds) + ", " : "") +
                "scaling " + thousandths(dial.scaling.leaveOneOutEtSeconds) + " ms";
    }
    lines.push_back({"Leave-one-out ET error:", error});
    return lines;
}

}  // namespace moravik::runlog
