#include "moravik/runlog/prediction.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "moravik/number_reading.h"
#include "moravik/raceday/air_density.h"
#include "moravik/raceday/jet.h"
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
        return {raceday::Field::Runs, "the log has no runs of this vehicle on " +
                                          jetRunsText(request.nitrousJetInches) +
                                          " to predict from; its runs on other jets or "
                                          "without nitrous are not used"};
    }
    return {raceday::Field::Runs,
            "the log has no runs of this vehicle without nitrous to predict from"};
}

}  // namespace

LogError asLogError(const raceday::Error& error) { return {Problem::Invalid, error.message}; }

std::optional<raceday::Jet> matchedJet(std::optional<double> jetInches) {
    if (!jetInches) return std::nullopt;
    return raceday::Jet{std::llround(*jetInches * raceday::Jet::thousandthsPerInch)};
}

std::vector<Run> recentRunsOf(std::vector<Run> runs, std::optional<double> jetInches, int count) {
    const auto today = matchedJet(jetInches);
    std::erase_if(runs, [&](const Run& run) { return matchedJet(run.nitrousJetInches) != today; });
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return a.when != b.when ? a.when > b.when : a.id > b.id;
    });
    if (runs.size() > static_cast<std::size_t>(std::max(count, 0)))
        runs.resize(static_cast<std::size_t>(std::max(count, 0)));
    return runs;
}

raceday::Outcome<std::optional<double>> readNitrousJet(std::string_view typed) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!typed.empty() && isSpace(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && isSpace(typed.back())) typed.remove_suffix(1);
    if (typed.empty()) return std::nullopt;
    const auto jet = raceday::readJet(typed);
    if (!jet || jet->thousandths == 0)
        return raceday::Error{raceday::Field::Labelled,
                              raceday::notAJetSentence(typed, raceday::ZeroJet::Refused) +
                                  ", or nothing for no nitrous"};
    return jet->inches();
}

std::string jetRunsText(std::optional<double> jetInches) {
    const auto jet = matchedJet(jetInches);
    if (!jet) return "no nitrous";
    return "jet " + raceday::jetText(*jet) + " in";
}

std::vector<bool> farFromOtherRuns(const std::vector<double>& correctedEts,
                                   const std::vector<double>& factors) {
    std::vector<bool> far(correctedEts.size(), false);
    if (correctedEts.size() < 3) return far;
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    };
    const double centre = median(correctedEts);
    std::vector<double> logFactors, offs;
    for (std::size_t i = 0; i < correctedEts.size(); ++i) {
        logFactors.push_back(std::log(factors[i]));
        offs.push_back(std::abs(correctedEts[i] - centre));
    }
    const double typicalAir = median(logFactors);
    // 1.4826 MAD estimates a normal spread; five of them, or half a percent of the ET where
    // the runs agree closer than timing can show, is far. A car whose exponent is 1/3 ± 0.15
    // shifts its corrected ET by that share of the air's difference, which is allowed.
    const double allowed = std::max(5 * 1.4826 * median(offs), 0.005 * centre);
    for (std::size_t i = 0; i < correctedEts.size(); ++i)
        far[i] = offs[i] > allowed + 0.15 * centre * std::abs(logFactors[i] - typicalAir);
    return far;
}

RunsOnAJet runsOnAJet(const std::vector<Run>& runs, raceday::Standard standard) {
    RunsOnAJet judged;
    for (const Run& run : runs) {
        const auto factor = factorOf(run.air, standard);
        if (raceday::errorOf(factor)) continue;
        const double cf = std::get<double>(factor);
        judged.correctedEts.push_back(
            raceday::correctRun({run.etSeconds, run.speed}, cf).etSeconds);
        judged.factors.push_back(cf);
    }
    return judged;
}

bool farFromLoggedRuns(const Run& run, const RunsOnAJet& logged, raceday::Standard standard) {
    const auto factor = factorOf(run.air, standard);
    if (raceday::errorOf(factor)) return false;
    RunsOnAJet all{
        {raceday::correctRun({run.etSeconds, run.speed}, std::get<double>(factor)).etSeconds},
        {std::get<double>(factor)}};
    all.correctedEts.insert(all.correctedEts.end(), logged.correctedEts.begin(),
                            logged.correctedEts.end());
    all.factors.insert(all.factors.end(), logged.factors.begin(), logged.factors.end());
    return farFromOtherRuns(all.correctedEts, all.factors).front();
}

raceday::Outcome<LogPrediction> predictFromRuns(const std::vector<Run>& recent,
                                                const PredictionRequest& request) {
    const auto today = factorOf(request.today, request.standard);
    if (const auto* error = raceday::errorOf(today)) return *error;
    if (recent.empty()) return noRuns(request);

    LogPrediction prediction{};
    prediction.jetInches = request.nitrousJetInches;
    prediction.todayFactor = std::get<double>(today);
    const auto among = [](const std::vector<RunId>& ids, RunId id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    std::vector<double> correctedEts, factors;
    const std::size_t considered =
        std::min(recent.size(), static_cast<std::size_t>(std::max(request.recentRuns, 1)));
    std::vector<double> earlierEts, earlierFactors;
    for (std::size_t i = considered; i < recent.size(); ++i) {
        const Run& run = recent[i];
        const auto factor = factorOf(run.air, request.standard);
        if (raceday::errorOf(factor)) continue;  // too old to stop today's prediction
        const double cf = std::get<double>(factor);
        prediction.earlier.push_back(
            {run, cf, raceday::correctRun({run.etSeconds, run.speed}, cf), false});
        earlierEts.push_back(prediction.earlier.back().corrected.etSeconds);
        earlierFactors.push_back(cf);
    }
    const std::vector<bool> farEarlier = farFromOtherRuns(earlierEts, earlierFactors);
    for (std::size_t i = 0; i < farEarlier.size(); ++i)
        prediction.earlier[i].excluded = farEarlier[i];
    for (const Run& run : std::span(recent).first(considered)) {
        const auto factor = factorOf(run.air, request.standard);
        if (const auto* error = raceday::errorOf(factor)) return *error;
        const double cf = std::get<double>(factor);
        const auto corrected = raceday::correctRun({run.etSeconds, run.speed}, cf);
        prediction.runs.push_back({run, cf, corrected, among(request.excluded, run.id)});
        if (prediction.runs.back().excluded) continue;
        correctedEts.push_back(corrected.etSeconds);
        factors.push_back(cf);
    }
    const std::vector<bool> far = farFromOtherRuns(correctedEts, factors);
    double etSum = 0;
    double speedSum = 0;
    std::size_t judged = 0;
    for (CorrectedRun& run : prediction.runs) {
        if (run.excluded) continue;
        run.farFromOthers = far[judged++] && !among(request.included, run.run.id);
        run.excluded = run.farFromOthers;
        if (run.excluded) continue;
        const auto& corrected = run.corrected;
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
