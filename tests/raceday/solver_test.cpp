// The solvers against published examples, their limits, and what only exact values show. The
// cube-root weather prediction has no published example, and every formula's solution over
// thousands of inputs is raceday.reference's (tests/reference/raceday_reference.py).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "moravik/raceday/jet_for_hp.h"
#include "moravik/raceday/mile_conversion.h"
#include "moravik/raceday/quarter_mile_solver.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

double pounds(double lb) { return lb * kilogramsPerPound; }
double hp(double h) { return h * wattsPerHorsepower; }
double mph(double v) { return v * metresPerSecondPerMph; }
double inHp(double watts) { return watts / wattsPerHorsepower; }

// The Calculate pass's own examples for its four formulas, 2562 lb and 210 hp, printed to four
// decimals (one in the fourth decimal of an ET is under 0.003 hp, of an MPH under 0.0005 hp); 8 lb
// with 1 hp to 15 digits, which tells the pass's exponent 0.333333 from one third; and the worked
// example of calculatorvast.com's quarter-mile calculator: Fox, 3400 lb and 450 hp run "≈ 12.30 s"
// and "≈ 117 mph", where half a unit of the printed digits is ±0.55 hp and ±5.8 hp.
TEST(SolvePower, ReturnsTheHorsepowerOfPublishedExamples) {
    const struct {
        Formula formula;
        double weightLb, et, mph, hp, etTolerance, mphTolerance;
    } table[] = {
        {Formula::Huntington, 2562, 14.4801, 97.7379, 210, 0.003, 0.0005},
        {Formula::Fox, 2562, 14.4317, 99.9098, 210, 0.003, 0.0005},
        {Formula::Hale, 2562, 13.4096, 101.6474, 210, 0.003, 0.0005},
        {Formula::LuciusRoadTrack, 2562, 14.1346, 100.2920, 210, 0.003, 0.0005},
        {Formula::Huntington, 8, 12.5799912802115, 112.500077979085, 1, 1e-12, 1e-12},
        {Formula::Fox, 3400, 12.30, 117, 450, 0.55, 5.8},
    };
    for (const auto& row : table) {
        EXPECT_NEAR(inHp(powerFromEt(row.formula, row.et, pounds(row.weightLb))), row.hp,
                    row.etTolerance)
            << row.weightLb;
        EXPECT_NEAR(inHp(powerFromSpeed(row.formula, mph(row.mph), pounds(row.weightLb))), row.hp,
                    row.mphTolerance)
            << row.weightLb;
    }
}

// ET, speed and weight must lie above 0: 0 is refused, the least double above it accepted.
TEST(SolvePower, RefusesInputsOnTheLineAtZero) {
    const double least = std::numeric_limits<double>::denorm_min();
    const struct {
        const char* field;
        Outcome<FormulaValues> (*solve)(double, double);
        bool first;  // the field is the first argument
    } table[] = {
        {"ET", solvePowerFromEt, true},
        {"weight", solvePowerFromEt, false},
        {"speed", solvePowerFromSpeed, true},
        {"weight", solvePowerFromSpeed, false},
    };
    for (const auto& [field, solve, first] : table) {
        for (const double past : {0.0, -0.0, -least, double(NAN), double(INFINITY)}) {
            const auto refused = first ? solve(past, 1000) : solve(12, past);
            ASSERT_NE(errorOf(refused), nullptr) << field << ' ' << past;
            EXPECT_EQ(fieldName(errorOf(refused)->field), field);
        }
        EXPECT_EQ(errorOf(first ? solve(least, 1000) : solve(12, least)), nullptr) << field;
    }
}

// A published table of eighth-mile ETs and their quarter-mile estimates with
// the 1.57 multiplier (calculator.city "1/8th to 1/4 Mile Calculator"), to
// 0.01 s; the worked example of calculator.city's "1/8 Mile to 1/4 Mile
// Calculator" with ET × 1.57 and MPH × 1.26, 7.50 s at 92 mph giving 11.775 s at
// 115.92 mph (danskebankmortgagecalculatorsweden.calculator.city/1-8-mile-to-1-4-mile-calculator);
// and calchorsepower.com's worked example with the factors set to 1.557 and 1.25:
// 8.5 s and 85 mph give 13.23 s and 106 mph.
TEST(EighthMile, MatchesPublishedConversions) {
    const double eighths[] = {5.00, 5.50, 6.00, 6.50, 7.00, 7.50, 8.00};
    const double quarters[] = {7.85, 8.64, 9.42, 10.21, 10.99, 11.78, 12.56};
    for (std::size_t i = 0; i < std::size(eighths); ++i) {
        const auto run = std::get<MileRun>(eighthToQuarter(eighths[i], std::nullopt));
        EXPECT_NEAR(run.quarterEtSeconds, quarters[i], 0.005 + 1e-9) << eighths[i];
        EXPECT_EQ(run.factors.et, 1.57);
        const auto back = std::get<MileRun>(quarterToEighth(quarters[i], std::nullopt));
        EXPECT_NEAR(back.eighthEtSeconds, eighths[i], 0.005 / 1.57 + 1e-9) << quarters[i];
    }
    const auto run = std::get<MileRun>(eighthToQuarter(7.50, mph(92)));
    EXPECT_NEAR(run.quarterEtSeconds, 11.775, 0.0005);
    EXPECT_NEAR(*run.quarterSpeed, mph(115.92), mph(0.005));
    EXPECT_EQ(run.factors.speed, 1.26);
    const auto back = std::get<MileRun>(quarterToEighth(11.775, mph(115.92)));
    EXPECT_NEAR(back.eighthEtSeconds, 7.50, 0.0005 / 1.57);
    EXPECT_NEAR(*back.eighthSpeed, mph(92), mph(0.005 / 1.26));
    const auto set = std::get<MileRun>(eighthToQuarter(8.5, mph(85), {1.557, 1.25}));
    EXPECT_NEAR(set.quarterEtSeconds, 13.23, 0.005);
    EXPECT_NEAR(*set.quarterSpeed, mph(106), mph(0.5));
    EXPECT_EQ(set.factors.speed, 1.25);
}

TEST(EighthMile, RefusesFactorsAndTimesOnTheLineAtZero) {
    const double least = std::numeric_limits<double>::denorm_min();
    const auto fieldRefused = [](const Outcome<MileRun>& run) {
        return errorOf(run) ? fieldName(errorOf(run)->field) : std::string_view("accepted");
    };
    for (const auto convert : {eighthToQuarter, quarterToEighth}) {
        EXPECT_EQ(fieldRefused(convert(0, std::nullopt, {})), "ET");
        EXPECT_EQ(fieldRefused(convert(7, 0.0, {})), "speed");
        EXPECT_EQ(fieldRefused(convert(11, std::nullopt, {0, 1.26})), "ET factor");
        EXPECT_EQ(fieldRefused(convert(11, std::nullopt, {1.57, NAN})), "speed factor");
        EXPECT_EQ(fieldRefused(convert(least, least, {least, least})), "accepted");
    }
}

// The Calculate pass's own examples: jet .030 adds 40.64508 hp through one nozzle and 162.58032 hp
// through four. The pass's texts for the jet found are the engine's, whose tests pin them.
TEST(JetForPower, FindsTheJetOfThePassesOwnExamples) {
    const auto one = std::get<JetForPower>(jetForPower(hp(40.64508), {}));
    EXPECT_EQ(one.jet.thousandths, 30);
    EXPECT_EQ(one.inputs.njt, ".030");
    EXPECT_EQ(one.results[resultIndex(SingleResult::NitrousHp)], " 40.64508");
    EXPECT_EQ(std::get<JetForPower>(jetForPower(hp(162.58032), {.nozzles = 4})).jet.thousandths,
              30);
}

// Each jet found, and whole psi from any unit, is raceday.reference's; these name the field.
TEST(JetForPower, RefusesImpossibleSystemsByField) {
    EXPECT_EQ(errorOf(jetForPower(0, {}))->field, Field::TargetPower);
    EXPECT_EQ(errorOf(jetForPower(hp(1e-6), {}))->field, Field::TargetPower);
    EXPECT_EQ(errorOf(jetForPower(hp(100), {.fuelPressure = 0}))->field, Field::FuelPressure);
    EXPECT_EQ(errorOf(jetForPower(hp(100), {.bottlePressure = 1e12}))->field,
              Field::BottlePressure);
    EXPECT_EQ(errorOf(jetForPower(hp(100), {.nozzles = 40000}))->field, Field::Nozzles);
}

}  // namespace
}  // namespace moravik::raceday
