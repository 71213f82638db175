// The dial-in: today's ET and MPH from a vehicle's runs, by the car's own exponent (the
// default), by scaling their average (the log prediction) or by a straight line fitted to
// them, with how far to trust each.
//
// The exponent: ET goes as CF^k and speed as CF^-k, k fitted to the runs by least squares on
// the logarithms but held near the cube-root rule's 1/3 (a prior of 1/3 ± 0.05): runs in
// nearly one air leave k at 1/3, so a prediction for other air never goes further than the
// physics; runs over a wide range of air teach the car's own k. Its interval widens with the
// distance of today's air from the runs'.
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

enum class DialInMethod { Exponent, Scaling, Fit, Best };
enum class FitAxis { CorrectionFactor, DensityAltitude };

// "exponent", "scaling", "fit" or "best"; any other text is an Error naming them.
raceday::Outcome<DialInMethod> readDialInMethod(std::string_view name);
std::string_view dialInMethodName(DialInMethod method);

inline constexpr DialInMethod defaultDialInMethod = DialInMethod::Exponent;
inline constexpr int fewestRunsToFit = 4;
// The racer's margin added to the predicted ET before rounding up to the dial-in.
inline constexpr double defaultDialInMarginSeconds = 0.01;
inline constexpr double mostDialInMarginSeconds = 1;

// The margin as the racer types it, ".02" or " 0.02 "; empty for the default. Anything
// else is an Error naming what is accepted.
raceday::Outcome<double> readDialInMargin(std::string_view typed);

// The dial-in the racer writes on the window: the predicted ET plus the margin, rounded up
// to the hundredth.
double dialInSeconds(double predictedEtSeconds, double marginSeconds);

// Of the intervals the window, the day sheet and moravik-calc show by default.
inline constexpr double defaultIntervalProbability = 0.8;
// The chances in whole percent a racer may ask the interval for.
inline constexpr int fewestIntervalPercent = 50;
inline constexpr int mostIntervalPercent = 99;

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
    DialInMethod method;  // the one chosen: Exponent, Scaling or Fit
    std::string reason;   // why, in a few words
    double probability;   // of the intervals, e.g. 0.8
    int runsUsed;
    DialInFigures scaling;
    std::optional<AxisFit> byFactor{}, byAltitude{};  // each where a line can be measured
    std::optional<FitAxis> fitAxis{};                 // the better of the two
    std::optional<DialInFigures> fit{};
    DialInFigures exponent{};
    double exponentK = 1.0 / 3;  // the car's exponent the runs show
    double marginSeconds = defaultDialInMarginSeconds;

    const DialInFigures& chosen() const {
        if (method == DialInMethod::Fit) return *fit;
        return method == DialInMethod::Exponent ? exponent : scaling;
    }
    // The chosen ET plus the margin, rounded up to the hundredth.
    double dialInSeconds() const;
};

// "exponent fitted to the car's runs", "scaling the average", "fit against the correction factor"
// or "fit against density altitude".
std::string_view methodTitle(const DialIn& dial);

// The dial-in from the runs a log prediction used (not the excluded ones) for today's air.
// Asking for the fit where it cannot be measured, or a margin outside 0 to
// mostDialInMarginSeconds, is an Error saying why.
raceday::Outcome<DialIn> dialIn(const LogPrediction& prediction, const raceday::Weather& today,
                                DialInMethod method, double probability,
                                double marginSeconds = defaultDialInMarginSeconds);

}  // namespace moravik::runlog
