#include "moravik/runlog/dial_in.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "moravik/raceday/prediction.h"

namespace moravik::runlog {
namespace {

std::string wholeNumberText(int value) {
    char digits[16];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

using raceday::LinePrediction;
using raceday::Point;
using raceday::QuarterMileRun;

// The mean of corrected runs and the interval that holds one more, carried to a factor's air
// by the cube-root rule, which keeps the order of the ends.
DialInFigures scalingFigures(const std::vector<QuarterMileRun>& corrected, double factor,
                             double probability) {
    const auto n = static_cast<double>(corrected.size());
    QuarterMileRun mean{0, 0};
    for (const auto& run : corrected) {
        mean.etSeconds += run.etSeconds / n;
        mean.speed += run.speed / n;
    }
    const auto today = [factor](double et, double speed) {
        return raceday::correctRun({et, speed}, 1 / factor);
    };
    const QuarterMileRun value = today(mean.etSeconds, mean.speed);
    DialInFigures figures{{value.etSeconds, value.etSeconds, value.etSeconds},
                          {value.speed, value.speed, value.speed},
                          false,
                          std::nullopt};
    if (corrected.size() < 2) return figures;
    double etSquares = 0;
    double speedSquares = 0;
    for (const auto& run : corrected) {
        etSquares += (run.etSeconds - mean.etSeconds) * (run.etSeconds - mean.etSeconds);
        speedSquares += (run.speed - mean.speed) * (run.speed - mean.speed);
    }
    const int dof = static_cast<int>(corrected.size()) - 1;
    const double spread =
        raceday::studentTQuantile((1 + probability) / 2, dof) * std::sqrt(1 + 1 / n);
    const double etHalf = spread * std::sqrt(etSquares / dof);
    const double speedHalf = spread * std::sqrt(speedSquares / dof);
    const QuarterMileRun low = today(mean.etSeconds - etHalf, mean.speed - speedHalf);
    const QuarterMileRun high = today(mean.etSeconds + etHalf, mean.speed + speedHalf);
    figures.et = {value.etSeconds, low.etSeconds, high.etSeconds};
    figures.speed = {value.speed, low.speed, high.speed};
    figures.hasInterval = true;
    return figures;
}

// Each run predicted by scaling the average of the others to its air.
std::optional<double> scalingLeaveOneOut(const std::vector<CorrectedRun>& runs) {
    if (runs.size() < 2) return std::nullopt;
    double total = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        double sum = 0;
        for (std::size_t j = 0; j < runs.size(); ++j)
            if (j != i) sum += runs[j].corrected.etSeconds;
        const double others = sum / static_cast<double>(runs.size() - 1);
        total += std::abs(raceday::correctRun({others, 1}, 1 / runs[i].factor).etSeconds -
                          runs[i].run.etSeconds);
    }
    return total / static_cast<double>(runs.size());
}

std::optional<AxisFit> fitAgainst(FitAxis axis, const std::vector<double>& x, double today,
                                  const std::vector<CorrectedRun>& runs) {
    if (static_cast<int>(runs.size()) < fewestRunsToFit) return std::nullopt;
    std::vector<Point> ets, speeds;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ets.push_back({x[i], runs[i].run.etSeconds});
        speeds.push_back({x[i], runs[i].run.speed});
    }
    const auto et = raceday::fitLine(ets);
    const auto speed = raceday::fitLine(speeds);
    const auto error = raceday::leaveOneOutMeanAbsoluteError(ets);
    if (!et || !speed || !error) return std::nullopt;
    return AxisFit{axis, *et, *speed, today, *error};
}

}  // namespace

std::optional<DialInMethod> dialInMethodNamed(std::string_view name) {
    for (const auto method : {DialInMethod::Scaling, DialInMethod::Fit, DialInMethod::Best})
        if (dialInMethodName(method) == name) return method;
    return std::nullopt;
}

std::string_view dialInMethodName(DialInMethod method) {
    switch (method) {
        case DialInMethod::Scaling:
            return "scaling";
        case DialInMethod::Fit:
            return "fit";
        case DialInMethod::Best:
            break;
    }
    return "best";
}

std::string_view methodTitle(const DialIn& dial) {
    if (dial.method == DialInMethod::Scaling) return "scaling the average";
    return dial.fitAxis == FitAxis::CorrectionFactor ? "fit against the correction factor"
                                                     : "fit against density altitude";
}

raceday::Outcome<DialIn> dialIn(const LogPrediction& prediction, const raceday::Weather& today,
                                DialInMethod method, double probability) {
    std::vector<CorrectedRun> used;
    std::vector<QuarterMileRun> corrected;
    std::vector<double> factors, altitudes;
    for (const CorrectedRun& run : prediction.runs) {
        if (run.excluded) continue;
        const auto air = raceday::evaluateAir(run.run.air);
        if (const auto* error = raceday::errorOf(air)) return *error;
        used.push_back(run);
        corrected.push_back(run.corrected);
        factors.push_back(run.factor);
        altitudes.push_back(std::get<raceday::Air>(air).densityAltitudeMetres);
    }
    const auto todayAir = raceday::evaluateAir(today);
    if (const auto* error = raceday::errorOf(todayAir)) return *error;
    if (used.empty()) return raceday::Error{raceday::Field::Runs, "every run is excluded"};

    DialIn dial{DialInMethod::Scaling, "", probability, static_cast<int>(used.size()),
                scalingFigures(corrected, prediction.todayFactor, probability)};
    dial.scaling.leaveOneOutEtSeconds = scalingLeaveOneOut(used);
    dial.byFactor = fitAgainst(FitAxis::CorrectionFactor, factors, prediction.todayFactor, used);
    dial.byAltitude = fitAgainst(FitAxis::DensityAltitude, altitudes,
                                 std::get<raceday::Air>(todayAir).densityAltitudeMetres, used);
    const AxisFit* better = dial.byFactor ? &*dial.byFactor : nullptr;
    if (dial.byAltitude && (!better || dial.byAltitude->et.rSquared > better->et.rSquared))
        better = &*dial.byAltitude;
    if (better) {
        dial.fitAxis = better->axis;
        dial.fit = DialInFigures{raceday::predictAt(better->et, better->today, probability),
                                 raceday::predictAt(better->speed, better->today, probability),
                                 true, better->leaveOneOutEtSeconds};
    }

    const std::string whyNoFit = dial.runsUsed < fewestRunsToFit
                                     ? "fewer than " + wholeNumberText(fewestRunsToFit) +
                                           " runs; the fit needs " +
                                           wholeNumberText(fewestRunsToFit)
                                     : std::string("the runs' air is too alike to fit a line");
    switch (method) {
        case DialInMethod::Scaling:
            dial.reason = "the racer's choice";
            break;
        case DialInMethod::Fit:
            if (!dial.fit)
                return raceday::Error{raceday::Field::Runs, "cannot fit the runs: " + whyNoFit};
            dial.method = DialInMethod::Fit;
            dial.reason = "the racer's choice";
            break;
        case DialInMethod::Best:
            if (!dial.fit) {
                dial.reason = whyNoFit;
                break;
            }
            dial.reason = "the smaller leave-one-out error";
            if (*dial.fit->leaveOneOutEtSeconds < *dial.scaling.leaveOneOutEtSeconds)
                dial.method = DialInMethod::Fit;
            break;
    }
    return dial;
}

}  // namespace moravik::runlog
