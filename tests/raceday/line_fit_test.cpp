#include "moravik/raceday/line_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace moravik::raceday {
namespace {

// Six runs of one combination: correction factor and ET.
const std::vector<Point> runs{{0.98, 11.82}, {1.00, 11.90}, {1.02, 11.95},
                              {1.03, 12.01}, {1.05, 12.04}, {1.07, 12.12}};

// Exact rational arithmetic by tests/reference/line_fit_reference.py, refitting each run left out.
TEST(LineFit, AgreesWithTheExactReference) {
    const auto fit = fitLine(runs);
    ASSERT_TRUE(fit);
    const struct {
        const char* what;
        double value, reference;
    } table[] = {
        {"intercept", fit->intercept, 8.658847352024923},
        {"slope", fit->slope, 3.2336448598130842},
        {"residual variance", fit->residualStandardError * fit->residualStandardError,
         0.00019781931464174455},
        {"leave-one-out MAE", *leaveOneOutMeanAbsoluteError(runs), 0.013895059268182368},
    };
    for (const auto& row : table)
        EXPECT_NEAR(row.value, row.reference, 1e-12 * std::abs(row.reference)) << row.what;
    // The 80 % interval's half-width at 1.10 over t(0.90, 4 dof) = 1.533206 (published
    // tables), squared: the new run's variance, 0.00043877679758542716 with @1.10.
    const LinePrediction next = predictAt(*fit, 1.10, 0.8);
    EXPECT_NEAR(std::pow((next.high - next.value) / 1.533206, 2), 0.00043877679758542716, 1e-9);
    EXPECT_EQ(fit->points, 6);
}

TEST(LineFit, NeedsThreeRunsInTwoDifferentAirs) {
    const std::vector<Point> two{{1.0, 11.9}, {1.1, 12.2}};
    const std::vector<Point> sameAir{{1.0, 11.9}, {1.0, 12.0}, {1.0, 12.1}};
    EXPECT_FALSE(fitLine(two));
    EXPECT_FALSE(fitLine(sameAir));
    EXPECT_FALSE(leaveOneOutMeanAbsoluteError(std::vector<Point>(runs.begin(), runs.begin() + 3)));
}

TEST(StudentT, QuantilesMatchClosedFormsAndPublishedTables) {
    // Closed forms (Student's t with 1 and 2 degrees of freedom): tan(π(p - 1/2)), and
    // (2p - 1) / sqrt(2p(1 - p)).
    for (const double p : {0.6, 0.8, 0.9, 0.975, 0.999}) {
        EXPECT_NEAR(studentTQuantile(p, 1), std::tan(std::numbers::pi * (p - 0.5)), 1e-10) << p;
        EXPECT_NEAR(studentTQuantile(p, 2), (2 * p - 1) / std::sqrt(2 * p * (1 - p)), 1e-12) << p;
        EXPECT_NEAR(studentTQuantile(1 - p, 2), -(2 * p - 1) / std::sqrt(2 * p * (1 - p)), 1e-12);
    }
    // NIST/SEMATECH e-Handbook of Statistical Methods, table 1.3.6.7.2, critical values of
    // Student's t, to three decimals.
    const struct {
        int dof;
        double p, t;
    } table[] = {{5, 0.90, 1.476}, {10, 0.95, 1.812},   {30, 0.975, 2.042},
                 {3, 0.99, 4.541}, {100, 0.995, 2.626}, {20, 0.90, 1.325}};
    for (const auto& row : table)
        EXPECT_NEAR(studentTQuantile(row.p, row.dof), row.t, 5e-4) << row.dof << ' ' << row.p;
}

// Runs drawn from a known line plus noise: the 80 % interval holds about 80 % of new runs, and
// the slope's 90 % interval holds the true slope about 90 % of the time.
TEST(LineFit, IntervalsHoldWhatTheyPromise) {
    constexpr double trueIntercept = 8.7, trueSlope = 3.2, noise = 0.015;
    constexpr int trials = 4000, runsPerTrial = 8;
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> air(0.95, 1.10);
    std::normal_distribution<double> scatter(0, noise);
    int newRunsInside = 0, slopesInside = 0;
    for (int trial = 0; trial < trials; ++trial) {
        std::vector<Point> points;
        for (int i = 0; i < runsPerTrial; ++i) {
            const double x = air(random);
            points.push_back({x, trueIntercept + trueSlope * x + scatter(random)});
        }
        const auto fit = fitLine(points);
        ASSERT_TRUE(fit);
        const double x = air(random);
        const LinePrediction next = predictAt(*fit, x, 0.8);
        const double run = trueIntercept + trueSlope * x + scatter(random);
        newRunsInside += next.low <= run && run <= next.high;
        const double t = studentTQuantile(0.95, fit->points - 2);
        slopesInside += std::abs(fit->slope - trueSlope) <= t * fit->slopeStandardError;
    }
    // Three binomial standard deviations (0.63 % and 0.47 % of 4,000 trials).
    EXPECT_NEAR(newRunsInside / double(trials), 0.80, 0.019);
    EXPECT_NEAR(slopesInside / double(trials), 0.90, 0.015);
}

}  // namespace
}  // namespace moravik::raceday
