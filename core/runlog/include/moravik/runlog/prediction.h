// What the log says about today: a prediction from a vehicle's own recent
// runs, and the horsepower each run shows.
//
// Each run is corrected to the standard's day by the cube-root rule of the
// race-day library (runs.h); the corrected runs are averaged and carried to
// today's air. The horsepower of a run comes from its ET and its MPH by the
// four formulas (quarter_mile_solver.h), corrected to the standard's day, so a
// season of runs shows whether the engine is losing power.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/raceday/correction.h"
#include "moravik/raceday/jet.h"
#include "moravik/raceday/quarter_mile_solver.h"
#include "moravik/runlog/records.h"

namespace moravik::runlog {

// How many of the newest runs a prediction may use, and how many by default.
inline constexpr int fewestRecentRuns = 1;
inline constexpr int mostRecentRuns = 1000;
inline constexpr int defaultRecentRuns = 5;
// The car's sensitivity to the air is learnt from up to this many of its newest runs on the
// jet, the recent ones and those before them.
inline constexpr int runsToLearnExponent = 30;

// How many of the newest runs on the jet a prediction reads: the recent ones and those that
// teach the exponent.
constexpr int runsToRead(int recentRuns) {
    return recentRuns > runsToLearnExponent ? recentRuns : runsToLearnExponent;
}

struct PredictionRequest {
    VehicleId vehicle = 0;
    // Today's jet: the runs with this jet (to the thousandth) are used; none:
    // the runs without nitrous.
    std::optional<double> nitrousJetInches{};
    raceday::Weather today{};
    raceday::Standard standard = raceday::defaultStandard;
    int recentRuns = defaultRecentRuns;  // the newest this many matching runs are considered
    std::vector<RunId> excluded{};       // among them, the ones the racer leaves out
    std::vector<RunId> included{};       // and the far ones the racer takes back
};

struct CorrectedRun {
    Run run;
    double factor;                      // the correction factor of the run's air
    raceday::QuarterMileRun corrected;  // on the standard's day
    bool excluded;                      // left out: by the racer, or as far from the others
    bool farFromOthers = false;         // by the outlier rule (farFromOtherRuns)
};

struct LogPrediction {
    std::optional<double> jetInches;  // the jet the runs were on; none: without nitrous
    std::vector<CorrectedRun> runs;   // the runs considered, newest first
    // Older runs on the jet that teach the car's exponent only, newest first; the ones far
    // from the others are marked excluded.
    std::vector<CorrectedRun> earlier;
    int used;  // how many of them were not excluded
    raceday::QuarterMileRun averageCorrected;
    double lowestCorrectedEt;
    double highestCorrectedEt;
    double todayFactor;
    raceday::QuarterMileRun predicted;  // for today's air
};

// The jet a run was on as a prediction matches runs, to the thousandth of an
// inch; none for a run without nitrous.
std::optional<raceday::Jet> matchedJet(std::optional<double> jetInches);

// The newest `count` of a vehicle's runs without nitrous, or with this jet
// (matched to the thousandth of an inch), newest first: the runs a prediction
// uses, chosen from a log held in memory as RunLog::recentRuns chooses them.
std::vector<Run> recentRunsOf(std::vector<Run> runs, std::optional<double> jetInches, int count);

// A nitrous jet as the racer types it, today's or a run's: ".045", "0.045 in";
// empty for no nitrous. Anything else is an Error naming what is accepted.
raceday::Outcome<std::optional<double>> readNitrousJet(std::string_view typed);
// A jet as the reports name the runs': "jet .045 in", or "no nitrous".
std::string jetRunsText(std::optional<double> jetInches);

// Which of the runs' ETs on the standard's day lie far from the rest: a pedalled or lifted
// run. Judged robustly, against the median and the median absolute deviation, with room for
// a car whose sensitivity to the air is not the cube-root rule's; three runs at least.
std::vector<bool> farFromOtherRuns(const std::vector<double>& correctedEts,
                                   const std::vector<double>& factors);

// What a new run is judged against: a vehicle's newest runs on its jet (recentRunsOf), as
// their ETs on the standard's day and their air's correction factors.
struct RunsOnAJet {
    std::vector<double> correctedEts, factors;
};
inline constexpr int runsToJudgeBy = runsToLearnExponent;
RunsOnAJet runsOnAJet(const std::vector<Run>& runs, raceday::Standard standard);

// Whether a run lies far from those runs by the rule a prediction leaves runs out by
// (farFromOtherRuns, judged among them): what import lists and the run form asks about.
bool farFromLoggedRuns(const Run& run, const RunsOnAJet& logged, raceday::Standard standard);

// The prediction from runs already chosen, newest first (runsToRead of them): the first
// request.recentRuns are considered, the rest are earlier. A run far from the others
// (farFromOtherRuns) is left out unless the request includes it.
raceday::Outcome<LogPrediction> predictFromRuns(const std::vector<Run>& recent,
                                                const PredictionRequest& request);

struct RunPower {
    Run run;
    double factor;                  // the correction factor of the run's air
    raceday::FormulaValues fromEt;  // W on the standard's day, by formula
    raceday::FormulaValues fromSpeed;
};

// The vehicle's weight as the Calculate pass reads its text, in kg.
raceday::Outcome<double> vehicleMassKg(const Vehicle& vehicle);

raceday::Outcome<RunPower> runPower(const Run& run, double massKg, raceday::Standard standard);

// Figures of a run's air that the runs table shows beside what the log stores.
enum class RunFigure { DensityAltitude, CorrectedEt };

// The run's density altitude in metres, as Today's air shows it for the same weather, or its
// ET on the standard's day by the cube-root rule, as the log prediction corrects it; nothing
// where its air is outside what the race-day library evaluates.
std::optional<double> runFigure(const Run& run, RunFigure figure, raceday::Standard standard);

// A race-day Error as the log reports it.
LogError asLogError(const raceday::Error& error);

}  // namespace moravik::runlog
