// A straight line fitted by least squares to a racer's own runs, and how far to trust it:
// a prediction interval from Student's t, and the leave-one-out error, each run predicted
// from all the others.
#pragma once

#include <optional>
#include <span>

namespace moravik::raceday {

struct Point {
    double x;  // e.g. the correction factor or the density altitude of a run
    double y;  // e.g. its ET
};

struct LineFit {
    double intercept;
    double slope;
    double residualStandardError;  // s, with n - 2 degrees of freedom
    double slopeStandardError;
    double rSquared;
    int points;
    double meanX;
    double sumSquaresX;  // Σ(x - x̄)²
};

// Needs three points or more with at least two different x; nothing otherwise.
std::optional<LineFit> fitLine(std::span<const Point> points);

struct LinePrediction {
    double value;
    double low;  // the prediction interval for one new run
    double high;
};

// The line's value at x, with the two-sided interval that holds a new run with the given
// probability (0.8 for 80 %).
LinePrediction predictAt(const LineFit& fit, double x, double probability);

// The mean absolute error of predicting each point from a line fitted to all the others;
// nothing where some such line cannot be fitted.
std::optional<double> leaveOneOutMeanAbsoluteError(std::span<const Point> points);

// The p quantile of Student's t with the given degrees of freedom (p in (0, 1), dof >= 1).
double studentTQuantile(double p, int degreesOfFreedom);

}  // namespace moravik::raceday
