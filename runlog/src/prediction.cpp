#include "moravik/runlog/prediction.h"

#include <algorithm>
#include <cmath>

#include "moravik/number_reading.h"
#include "moravik/raceday/air_density.h"
#include "moravik/raceday/prediction.h"
#include "moravik/raceday/units.h"

namespace moravik::runlog {
namespace {

raceday::Outcome<double> factorOf(const raceday::Weather& weather, raceday::Standard standard) {
    const auto air = raceday::evaluateAir(weather);
    if (const auto* error = raceday::errorOf(air)) return *error;
    return raceday::correctionFactor(standard, std::get<raceday::Air>(air));
}

raceday::Error noRuns(const PredictionRequest& request) {
    if (request.nitrousJetInches) {
        return {raceday::Field::Runs,
                "the log has no runs of this vehicle with this nitrous jet to predict from"};
    }
    return {raceday::Field::Runs,
            "the log has no runs of this vehicle without nitrous to predict from"};
}

}  // namespace

LogError asLogError(const raceday::Error& error) {
    return {Problem::Invalid, error.message, std::string(raceday::fieldName(error.field))};
}

std::vector<Run> recentRunsOf(std::vector<Run> runs, std::optional<double> jetInches, int count) {
    // Jets are sized in thousandths of an inch.
    const auto thousandths = [](double inches) { return std::round(inches * 1000); };
    std::erase_if(runs, [&](const Run& run) {
        if (!jetInches || !run.nitrousJetInches) return jetInches.has_value() != run.nitrousJetInches.has_value();
        return thousandths(*run.nitrousJetInches) != thousandths(*jetInches);
    });
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return a.when != b.when ? a.when > b.when : a.id > b.id;
    });
    if (runs.size() > static_cast<std::size_t>(std::max(count, 0))) runs.resize(static_cast<std::size_t>(std::max(count, 0)));
    return runs;
}

raceday::Outcome<LogPrediction> predictFromRuns(const std::vector<Run>& recent,
                                                const PredictionRequest& request) {
    const auto today = factorOf(request.today, request.standard);
    if (const auto* error = raceday::errorOf(today)) return *error;
    if (recent.empty()) return noRuns(request);

    LogPrediction prediction{};
    prediction.todayFactor = std::get<double>(today);
    double etSum = 0;
    double speedSum = 0;
    for (const Run& run : recent) {
        const auto factor = factorOf(run.air, request.standard);
        if (const auto* error = raceday::errorOf(factor)) return *error;
        const double cf = std::get<double>(factor);
        const auto corrected = raceday::correctRun({run.etSeconds, run.speed}, cf);
        const bool excluded = std::find(request.excluded.begin(), request.excluded.end(), run.id) !=
                              request.excluded.end();
        prediction.runs.push_back({run, cf, corrected, excluded});
        if (excluded) continue;
        if (prediction.used == 0 || corrected.etSeconds < prediction.lowestCorrectedEt) {
            prediction.lowestCorrectedEt = corrected.etSeconds;
        }
        prediction.highestCorrectedEt =
            std::max(prediction.highestCorrectedEt, corrected.etSeconds);
        etSum += corrected.etSeconds;
        speedSum += corrected.speed;
        ++prediction.used;
    }
    if (prediction.used == 0) return raceday::Error{raceday::Field::Runs, "every run is excluded"};
    prediction.averageCorrected = {etSum / prediction.used, speedSum / prediction.used};
    // From the standard's day, where the factor is 1, to today's air.
    prediction.predicted =
        raceday::correctRun(prediction.averageCorrected, 1 / prediction.todayFactor);
    return prediction;
}

std::optional<double> runFigure(const Run& run, RunFigure figure, raceday::Standard standard) {
    const auto air = raceday::evaluateAirDensity(run.air);
    if (raceday::errorOf(air) != nullptr) return std::nullopt;
    const raceday::AirDensity& evaluated = std::get<raceday::AirDensity>(air);
    if (figure == RunFigure::DensityAltitude) return evaluated.densityAltitudeMetres;
    const double factor = raceday::correctionFactor(standard, evaluated);
    return raceday::correctRun({run.etSeconds, run.speed}, factor).etSeconds;
}

raceday::Outcome<double> vehicleMassKg(const Vehicle& vehicle) {
    const auto pounds = readNumber(vehicle.inputs.vweight);
    if (!pounds || !(*pounds > 0)) {
        return raceday::Error{
            raceday::Field::Weight,
            "the vehicle's weight \"" + vehicle.inputs.vweight + "\" is not a weight above 0 lb"};
    }
    return *pounds * raceday::kilogramsPerPound;
}

raceday::Outcome<RunPower> runPower(const Run& run, double massKg, raceday::Standard standard) {
    const auto factor = factorOf(run.air, standard);
    if (const auto* error = raceday::errorOf(factor)) return *error;
    auto fromEt = raceday::solvePowerFromEt(run.etSeconds, massKg);
    if (const auto* error = raceday::errorOf(fromEt)) return *error;
    auto fromSpeed = raceday::solvePowerFromSpeed(run.speed, massKg);
    if (const auto* error = raceday::errorOf(fromSpeed)) return *error;
    RunPower power{run, std::get<double>(factor), std::get<raceday::FormulaValues>(fromEt),
                   std::get<raceday::FormulaValues>(fromSpeed)};
    for (auto* values : {&power.fromEt, &power.fromSpeed}) {
        for (double& watts : *values) watts = raceday::correctedPower(watts, power.factor);
    }
    return power;
}

}  // namespace moravik::runlog
