#include "moravik/raceday/line_fit.h"

#include <cmath>
#include <limits>
#include <vector>

namespace moravik::raceday {
namespace {

// The continued fraction of the regularised incomplete beta function, by the modified Lentz
// method (W. H. Press et al., Numerical Recipes, 3rd ed., §6.4).
double betaContinuedFraction(double a, double b, double x) {
    constexpr double tiny = 1e-300;
    constexpr double epsilon = 1e-16;
    double c = 1;
    double d = 1 - (a + b) * x / (a + 1);
    d = 1 / (std::abs(d) < tiny ? tiny : d);
    double h = d;
    for (int m = 1; m <= 10000; ++m) {
        const double even = m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m));
        for (const double term :
             {even, -(a + m) * (a + b + m) * x / ((a + 2 * m) * (a + 2 * m + 1))}) {
            d = 1 + term * d;
            d = 1 / (std::abs(d) < tiny ? tiny : d);
            c = 1 + term / c;
            if (std::abs(c) < tiny) c = tiny;
            h *= d * c;
        }
        if (std::abs(d * c - 1) < epsilon) break;
    }
    return h;
}

// I_x(a, b).
double regularisedIncompleteBeta(double a, double b, double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                  a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2)) return front * betaContinuedFraction(a, b, x) / a;
    return 1 - front * betaContinuedFraction(b, a, 1 - x) / b;
}

// P(T <= t) for Student's t with n degrees of freedom.
double studentTDistribution(double t, int n) {
    const double tail = 0.5 * regularisedIncompleteBeta(n / 2.0, 0.5, n / (n + t * t));
    return t >= 0 ? 1 - tail : tail;
}

struct Sums {
    int n = 0;
    double meanX = 0, meanY = 0, sxx = 0, sxy = 0, syy = 0;
};

// Two passes, so that x values such as density altitudes in the thousands keep their digits.
Sums sumsOf(std::span<const Point> points, std::size_t leftOut) {
    Sums s;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == leftOut) continue;
        ++s.n;
        s.meanX += points[i].x;
        s.meanY += points[i].y;
    }
    s.meanX /= s.n;
    s.meanY /= s.n;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == leftOut) continue;
        const double dx = points[i].x - s.meanX;
        const double dy = points[i].y - s.meanY;
        s.sxx += dx * dx;
        s.sxy += dx * dy;
        s.syy += dy * dy;
    }
    return s;
}

std::optional<LineFit> fitWithout(std::span<const Point> points, std::size_t leftOut) {
    const Sums s = sumsOf(points, leftOut);
    if (s.n < 3 || !(s.sxx > 0)) return std::nullopt;
    const double slope = s.sxy / s.sxx;
    const double residualSquares = std::max(0.0, s.syy - slope * s.sxy);
    const double variance = residualSquares / (s.n - 2);
    return LineFit{.intercept = s.meanY - slope * s.meanX,
                   .slope = slope,
                   .residualStandardError = std::sqrt(variance),
                   .slopeStandardError = std::sqrt(variance / s.sxx),
                   .rSquared = s.syy > 0 ? 1 - residualSquares / s.syy : 1,
                   .points = s.n,
                   .meanX = s.meanX,
                   .sumSquaresX = s.sxx};
}

constexpr std::size_t noneLeftOut = std::numeric_limits<std::size_t>::max();

}  // namespace

std::optional<LineFit> fitLine(std::span<const Point> points) {
    return fitWithout(points, noneLeftOut);
}

LinePrediction predictAt(const LineFit& fit, double x, double probability) {
    const double value = fit.intercept + fit.slope * x;
    const double dx = x - fit.meanX;
    const double spread =
        fit.residualStandardError * std::sqrt(1 + 1.0 / fit.points + dx * dx / fit.sumSquaresX);
    const double t = studentTQuantile(0.5 + probability / 2, fit.points - 2);
    return {value, value - t * spread, value + t * spread};
}

std::optional<double> leaveOneOutMeanAbsoluteError(std::span<const Point> points) {
    double total = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto fit = fitWithout(points, i);
        if (!fit) return std::nullopt;
        total += std::abs(fit->intercept + fit->slope * points[i].x - points[i].y);
    }
    return points.empty() ? std::nullopt : std::optional(total / points.size());
}

double studentTQuantile(double p, int degreesOfFreedom) {
    if (p == 0.5) return 0;
    if (p < 0.5) return -studentTQuantile(1 - p, degreesOfFreedom);
    // The distribution rises steadily, so halving an interval that holds the quantile finds it
    // to the last bit.
    double low = 0;
    double high = 1;
    while (studentTDistribution(high, degreesOfFreedom) < p) high *= 2;
    while (true) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high) return middle;
        (studentTDistribution(middle, degreesOfFreedom) < p ? low : high) = middle;
    }
}

}  // namespace moravik::raceday
