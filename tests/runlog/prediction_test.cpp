#include <QTemporaryDir>

#include "moravik/runlog/log_prediction.h"
#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

using raceday::metresPerSecondPerMph;
using raceday::wattsPerHorsepower;

class LogPredictionTest : public testing::Test {
protected:
    QTemporaryDir folder;
    std::unique_ptr<RunLog> log = openLog(folder.filePath(QStringLiteral("a.sqlite")));
    VehicleId vehicle = valueOf(log->addVehicle(namedVehicle(QStringLiteral("Camaro"))));
    int minutes = 0;

    RunId addRun(double et, double mph, double factor, std::optional<double> jet = {}) {
        runlog::Run run = numberedRun(vehicle, 0);
        run.when = run.when.addSecs(60 * ++minutes);
        run.etSeconds = et;
        run.speed = mph * metresPerSecondPerMph;
        run.nitrousJetInches = jet;
        run.air = j607Air(factor);
        return valueOf(log->addRun(run));
    }
};

// Factors that are cubes (1.1³ = 1.331, 1.2³ = 1.728) make the cube-root rule
// checkable by hand: 11.00 s in air of factor 1.331 is 11.00 / 1.1 = 10.00 s on
// the standard's day, and 100 mph is 110 mph.
TEST_F(LogPredictionTest, AveragesTheRecentRunsOnTheStandardDayAndCarriesThemToToday) {
    addRun(20.00, 70, 1.0);                               // too old to count
    const RunId a = addRun(11.00, 100, 1.331);            // 10.00 s, 110 mph
    const RunId b = addRun(12.00, 90, 1.728);             // 10.00 s, 108 mph
    const RunId c = addRun(10.20, 105, 1.0);              // 10.20 s, 105 mph
    const RunId nitrous = addRun(9.90, 120, 1.0, 0.050);  // another jet
    const RunId badLaunch = addRun(15.00, 80, 1.0);       // excluded by the racer
    const PredictionRequest request{.vehicle = vehicle,
                                    .today = j607Air(1.331),
                                    .standard = raceday::Standard::SaeJ607,
                                    .recentRuns = 4,
                                    .excluded = {badLaunch}};
    const auto prediction = valueOf(predictFromLog(*log, request));

    ASSERT_EQ(prediction.runs.size(), 4U);
    const RunId newestFirst[] = {badLaunch, c, b, a};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(prediction.runs[i].run.id, newestFirst[i]);
    EXPECT_TRUE(prediction.runs[0].excluded);
    EXPECT_EQ(prediction.used, 3);
    EXPECT_NEAR(prediction.runs[3].corrected.etSeconds, 10.00, 1e-9);
    EXPECT_NEAR(prediction.runs[3].corrected.speed / metresPerSecondPerMph, 110, 1e-9);
    EXPECT_NEAR(prediction.runs[2].factor, 1.728, 1e-9);
    EXPECT_NEAR(prediction.lowestCorrectedEt, 10.00, 1e-9);
    EXPECT_NEAR(prediction.highestCorrectedEt, 10.20, 1e-9);
    // (10.00 + 10.00 + 10.20) / 3 = 10.0667 s and (110 + 108 + 105) / 3 = 107.667 mph;
    // today's factor 1.331 gives 10.0667 × 1.1 = 11.0733 s and 107.667 / 1.1 = 97.8788 mph.
    EXPECT_NEAR(prediction.averageCorrected.etSeconds, 10.06667, 1e-5);
    EXPECT_NEAR(prediction.predicted.etSeconds, 11.07333, 1e-5);
    EXPECT_NEAR(prediction.predicted.speed / metresPerSecondPerMph, 97.87879, 1e-5);

    // With today's jet only the runs on that jet count: 9.90 s, then 9.90 × 1.1 = 10.89 s.
    const auto onNitrous = valueOf(predictFromLog(
        *log, {.vehicle = vehicle, .nitrousJetInches = 0.05, .today = j607Air(1.331)}));
    ASSERT_EQ(onNitrous.runs.size(), 1U);
    EXPECT_EQ(onNitrous.runs[0].run.id, nitrous);
    EXPECT_NEAR(onNitrous.predicted.etSeconds, 10.89, 1e-9);
}

TEST_F(LogPredictionTest, SaysWhyItCannotPredict) {
    const PredictionRequest dry{.vehicle = vehicle, .today = j607Air(1.0)};
    expectProblem(predictFromLog(*log, dry), Problem::Invalid,
                  QStringLiteral("no runs of this vehicle without nitrous"));
    const RunId only = addRun(11, 100, 1.0);
    PredictionRequest excluded = dry;
    excluded.excluded = {only};
    expectProblem(predictFromLog(*log, excluded), Problem::Invalid,
                  QStringLiteral("every run is excluded"));
    PredictionRequest scorching = dry;
    scorching.today.kelvin = 400;
    expectProblem(predictFromLog(*log, scorching), Problem::Invalid, QStringLiteral("temperature"));
}

// The Calculate pass's own examples for its four formulas: 2562 lb and 210 hp
// run these ETs and MPHs (printed to four decimals: within 0.003 hp).
TEST_F(LogPredictionTest, GivesEachRunsHorsepowerOnTheStandardDay) {
    Vehicle heavy = valueOf(log->vehicle(vehicle));
    heavy.inputs.vweight = "2562 lbs";
    ASSERT_EQ(log->updateVehicle(heavy), std::nullopt);
    const struct {
        Formula formula;
        double et, mph;
    } examples[] = {{Formula::Huntington, 14.4801, 97.7379},
                    {Formula::Fox, 14.4317, 99.9098},
                    {Formula::Hale, 13.4096, 101.6474},
                    {Formula::LuciusRoadTrack, 14.1346, 100.2920}};
    // On the standard's day 210 hp; in air of factor 1.331, 210 × 1.331 = 279.51 hp.
    for (const double factor : {1.0, 1.331}) {
        for (const auto& example : examples) addRun(example.et, example.mph, factor);
    }
    const auto powers = valueOf(powerFromLog(*log, vehicle, raceday::Standard::SaeJ607));
    ASSERT_EQ(powers.size(), 8U);
    for (std::size_t i = 0; i < powers.size(); ++i) {
        const auto f = static_cast<std::size_t>(examples[i % 4].formula);
        const double expected = i < 4 ? 210 : 279.51;
        EXPECT_NEAR(powers[i].fromEt[f] / wattsPerHorsepower, expected, 0.003 * 1.331) << i;
        EXPECT_NEAR(powers[i].fromSpeed[f] / wattsPerHorsepower, expected, 0.003 * 1.331) << i;
    }

    heavy.inputs.vweight = "heavy";
    ASSERT_EQ(log->updateVehicle(heavy), std::nullopt);
    expectProblem(powerFromLog(*log, vehicle, raceday::Standard::SaeJ607), Problem::Invalid,
                  QStringLiteral("weight \"heavy\""));
}

}  // namespace
}  // namespace moravik::runlog
