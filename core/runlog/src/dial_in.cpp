#include "moravik/runlog/dial_in.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "moravik/double_chars.h"
#include "moravik/raceday/prediction.h"
#include "moravik/raceday/units.h"
#include "moravik/runlog/records.h"
#include "moravik/whole_text.h"

namespace moravik::runlog {
namespace {

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

// The car's exponent: ln y = a + k ln CF, k fitted to the runs (the earlier ones too) and
// drawn towards the cube-root rule's 1/3 by a prior of 1/3 ± exponentPriorSpread (ridge
// regression); a, the car's form, from the recent runs alone. The runs teach k only within
// the air they span: beyond it the prediction goes on by the cube-root
// rule, and the interval grows by k's uncertainty over the whole distance from the runs' air.
constexpr double cubeRootExponent = 1.0 / 3;
constexpr double exponentPriorSpread = 0.05;

struct ExponentFit {
    double k;
    LinePrediction value;
};

struct Moments {
    double meanX = 0, meanY = 0, sxx = 0, sxy = 0;
};

Moments momentsOf(const std::vector<double>& x, const std::vector<double>& y, std::size_t count) {
    Moments m;
    const auto n = static_cast<double>(count);
    for (std::size_t i = 0; i < count; ++i) {
        m.meanX += x[i] / n;
        m.meanY += y[i] / n;
    }
    for (std::size_t i = 0; i < count; ++i) {
        m.sxx += (x[i] - m.meanX) * (x[i] - m.meanX);
        m.sxy += (x[i] - m.meanX) * (y[i] - m.meanY);
    }
    return m;
}

// Squares of the residuals about the line of slope k through the first count runs' mean.
double squaresAbout(const std::vector<double>& x, const std::vector<double>& y, std::size_t count,
                    double k) {
    const Moments m = momentsOf(x, y, count);
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double r = y[i] - m.meanY - k * (x[i] - m.meanX);
        sum += r * r;
    }
    return sum;
}

// x: sign × ln CF of each run, the recent ones first; sign is 1 for the ET (slower in thin
// air) and -1 for the speed. floor is the smallest spread of a run the interval assumes (what
// the log's rounding alone can hide), in the quantity's own unit.
ExponentFit exponentFit(const std::vector<double>& x, const std::vector<double>& values,
                        std::size_t recent, double today, double floor, double probability) {
    std::vector<double> y;
    for (const double value : values) y.push_back(std::log(value));
    const std::size_t all = values.size();
    const Moments pooled = momentsOf(x, y, all);
    const Moments form = momentsOf(x, y, recent);
    const double floorLn = floor / std::exp(form.meanY);
    const double floorVariance = floorLn * floorLn;
    const double priorVariance = exponentPriorSpread * exponentPriorSpread;
    // Fewer runs than a line needs keep the cube-root rule; more fit k, which takes up to one
    // run's worth of freedom (h, the share of k the runs decide).
    double k = cubeRootExponent;
    double kVariance = priorVariance;
    if (static_cast<int>(all) >= fewestRunsToFit) {
        double variance = squaresAbout(x, y, all, k) / static_cast<double>(all - 1);
        for (int pass = 0; pass < 3; ++pass) {
            const double prior = std::max(variance, floorVariance) / priorVariance;
            k = (pooled.sxy + prior * cubeRootExponent) / (pooled.sxx + prior);
            const double h = pooled.sxx / (pooled.sxx + prior);
            variance = squaresAbout(x, y, all, k) / (static_cast<double>(all) - 1 - h);
            kVariance = std::max(variance, floorVariance) / (pooled.sxx + prior);
        }
    }
    const auto [lowest, highest] = std::minmax_element(x.begin(), x.end());
    const double inside = std::clamp(today, *lowest, *highest);
    const double taught = inside - form.meanX;
    const double beyond = today - inside;
    // Each recent run carried to today's air, then averaged: with k at 1/3 this is scaling.
    double carried = 0;
    for (std::size_t i = 0; i < recent; ++i)
        carried += values[i] * std::exp(k * (inside - x[i])) / static_cast<double>(recent);
    const double centre = std::log(carried) + cubeRootExponent * beyond;
    if (recent < 2) return {k, {std::exp(centre), std::exp(centre), std::exp(centre)}};
    const auto n = static_cast<double>(recent);
    // Runs that differ already show their rounding in their spread. Runs all logged at one
    // figure still get an interval: their spread is likely under 1/n of the rounding's.
    const double variance =
        std::max(squaresAbout(x, y, recent, k) / (n - 1), floorVariance / (n * n));
    const double whole = taught + beyond;
    const double spread =
        std::sqrt(variance * (1 + 1 / n) + kVariance * taught * taught +
                  priorVariance * (whole * whole - taught * taught)) *
        raceday::studentTQuantile((1 + probability) / 2, static_cast<int>(recent) - 1);
    return {k, {std::exp(centre), std::exp(centre - spread), std::exp(centre + spread)}};
}

// What a time slip's rounding can hide: ET to the hundredth, speed to the whole mph.
constexpr double etFloorSeconds = 0.01 / 3.4641016151377544;  // √12
constexpr double speedFloorMetresPerSecond = 0.44704 / 3.4641016151377544;

// From the recent runs used and the earlier ones that only teach the exponent.
DialInFigures exponentFigures(const std::vector<CorrectedRun>& recent,
                              const std::vector<CorrectedRun>& earlier, double todayFactor,
                              double probability, double& k) {
    std::vector<double> lnFactors, ets, speeds;
    for (const auto* runs : {&recent, &earlier}) {
        for (const CorrectedRun& run : *runs) {
            lnFactors.push_back(std::log(run.factor));
            ets.push_back(run.run.etSeconds);
            speeds.push_back(run.run.speed);
        }
    }
    const double today = std::log(todayFactor);
    const auto et = exponentFit(lnFactors, ets, recent.size(), today, etFloorSeconds, probability);
    // Each recent run predicted from all the other runs, in its own air.
    std::optional<double> leaveOneOut;
    if (recent.size() > 1) {
        double total = 0;
        for (std::size_t i = 0; i < recent.size(); ++i) {
            auto otherFactors = lnFactors;
            auto otherEts = ets;
            otherFactors.erase(otherFactors.begin() + static_cast<long>(i));
            otherEts.erase(otherEts.begin() + static_cast<long>(i));
            total += std::abs(exponentFit(otherFactors, otherEts, recent.size() - 1, lnFactors[i],
                                          etFloorSeconds, probability)
                                  .value.value -
                              ets[i]);
        }
        leaveOneOut = total / static_cast<double>(recent.size());
    }
    for (double& x : lnFactors) x = -x;
    const auto speed = exponentFit(lnFactors, speeds, recent.size(), -today,
                                   speedFloorMetresPerSecond, probability);
    k = et.k;
    return {et.value, speed.value, recent.size() > 1, leaveOneOut};
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

raceday::Outcome<DialInMethod> readDialInMethod(std::string_view name) {
    constexpr std::array methods{DialInMethod::Exponent, DialInMethod::Scaling, DialInMethod::Fit,
                                 DialInMethod::Best};
    std::string names;
    for (const auto method : methods) {
        if (dialInMethodName(method) == name) return method;
        names += std::string(names.empty()              ? ""
                             : method == methods.back() ? " or "
                                                        : ", ") +
                 std::string(dialInMethodName(method));
    }
    return raceday::Error{raceday::Field::Labelled,
                          raceday::echoedText(name) + " is not a method; give " + names};
}

std::string_view dialInMethodName(DialInMethod method) {
    switch (method) {
        case DialInMethod::Exponent:
            return "exponent";
        case DialInMethod::Scaling:
            return "scaling";
        case DialInMethod::Fit:
            return "fit";
        case DialInMethod::Best:
            break;
    }
    return "best";
}

raceday::Outcome<double> readDialInMargin(std::string_view typed) {
    const std::string text = trimmedText(typed);
    if (text.empty()) return defaultDialInMarginSeconds;
    double margin = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failed] = fromChars(text.data(), end, margin);
    if (failed != std::errc() || stop != end || !(margin >= 0) ||
        !(margin <= mostDialInMarginSeconds)) {
        return raceday::Error{
            raceday::Field::Labelled,
            raceday::echoedText(typed) + " is not a margin; give seconds from 0 to " +
                raceday::fixedText(mostDialInMarginSeconds, 0) + ", such as 0.02"};
    }
    return margin;
}

double dialInSeconds(double predictedEtSeconds, double marginSeconds) {
    // A hundredth less a trace, so that 10.920000000001 from binary sums stays 10.92.
    return std::ceil((predictedEtSeconds + marginSeconds) * 100 - 1e-6) / 100;
}

double DialIn::dialInSeconds() const {
    return runlog::dialInSeconds(chosen().et.value, marginSeconds);
}

std::string_view methodTitle(const DialIn& dial) {
    if (dial.method == DialInMethod::Exponent) return "exponent fitted to the car's runs";
    if (dial.method == DialInMethod::Scaling) return "scaling the average";
    return dial.fitAxis == FitAxis::CorrectionFactor ? "fit against the correction factor"
                                                     : "fit against density altitude";
}

raceday::Outcome<DialIn> dialIn(const LogPrediction& prediction, const raceday::Weather& today,
                                DialInMethod method, double probability, double marginSeconds) {
    if (!(marginSeconds >= 0 && marginSeconds <= mostDialInMarginSeconds))
        return raceday::Error{raceday::Field::Labelled,
                              "the margin must be 0 to 1 s, added to the predicted ET"};
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
    std::vector<CorrectedRun> earlier;
    for (const CorrectedRun& run : prediction.earlier)
        if (!run.excluded && raceday::errorOf(raceday::evaluateAir(run.run.air)) == nullptr)
            earlier.push_back(run);
    dial.exponent =
        exponentFigures(used, earlier, prediction.todayFactor, probability, dial.exponentK);
    dial.marginSeconds = marginSeconds;
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
                                     ? "fewer than " + wholeText(fewestRunsToFit) +
                                           " runs; the fit needs " + wholeText(fewestRunsToFit)
                                     : std::string("the runs' air is too alike to fit a line");
    switch (method) {
        case DialInMethod::Exponent:
            dial.method = DialInMethod::Exponent;
            dial.reason = "k from the runs' air, held near 1/3";
            break;
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
