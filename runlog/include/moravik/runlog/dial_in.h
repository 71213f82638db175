// The dial-in: today's ET and MPH from a vehicle's runs, by scaling their average (the log
// prediction) or by a straight line fitted to them, with how far to trust each.
//
// The line is fitted by least squares to the runs' ET, and to their trap speed, against the
// correction factor of each run's air or against its density altitude, whichever explains
// more of the ET (the higher R²). Each method's error is measured by leaving one run out:
// the mean absolute ET error when each run is predicted from all the others. The best
// method is the one with the smaller error; the fit needs four runs to be measured so.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "moravik/raceday/line_fit.h"
#include "moravik/runlog/prediction.h"

namespace moravik::runlog {

enum class DialInMethod { Scaling, Fit, Best };
enum class FitAxis { CorrectionFactor, DensityAltitude };

// "scaling", "fit" or "best"; nothing for any other text.
std::optional<DialInMethod> dialInMethodNamed(std::string_view name);
std::string_view dialInMethodName(DialInMethod method);

inline constexpr int fewestRunsToFit = 4;
// Of the intervals the window, the day sheet and moravik-calc show by default.
inline constexpr double defaultIntervalProbability = 0.8;

struct DialInFigures {
    raceday::LinePrediction et;     // s, with the interval around it
    raceday::LinePrediction speed;  // m/s
    bool hasInterval;               // none from a single run: low and high are the value
    std::optional<double> leaveOneOutEtSeconds;  // none from a single run
};

// The lines through the runs against one measure of the air.
struct AxisFit {
    FitAxis axis;
    raceday::LineFit et;
    raceday::LineFit speed;
    double today;  // today's correction factor, or density altitude in metres
    double leaveOneOutEtSeconds;
};

struct DialIn {
    DialInMethod method;  // the one chosen: Scaling or Fit
    std::string reason;   // why, in a few words
    double probability;   // of the intervals, e.g. 0.8
    int runsUsed;
    DialInFigures scaling;
    std::optional<AxisFit> byFactor{}, byAltitude{};  // each where a line can be measured
    std::optional<FitAxis> fitAxis{};                 // the better of the two
    std::optional<DialInFigures> fit{};

    const DialInFigures& chosen() const { return method == DialInMethod::Fit ? *fit : scaling; }
};

// "scaling the average", "fit against the correction factor" or "fit against density altitude".
std::string_view methodTitle(const DialIn& dial);

// The dial-in from the runs a log prediction used (not the excluded ones) for today's air.
// Asking for the fit where it cannot be measured is an Error saying why.
raceday::Outcome<DialIn> dialIn(const LogPrediction& prediction, const raceday::Weather& today,
                                DialInMethod method, double probability);

}  // namespace moravik::runlog
