#include "moravik/runlog/log_prediction.h"

namespace moravik::runlog {

LogResult<LogPrediction> predictFromLog(RunLog& log, const PredictionRequest& request) {
    auto recent =
        log.recentRuns(request.vehicle, request.nitrousJetInches, runsToRead(request.recentRuns));
    if (const LogError* error = logErrorOf(recent)) return *error;
    auto prediction = predictFromRuns(std::get<std::vector<Run>>(recent), request);
    if (const auto* error = raceday::errorOf(prediction)) return asLogError(*error);
    return std::get<LogPrediction>(std::move(prediction));
}

LogResult<std::vector<RunPower>> powerFromLog(RunLog& log, VehicleId vehicle,
                                              raceday::Standard standard) {
    auto found = log.vehicle(vehicle);
    if (const LogError* error = logErrorOf(found)) return *error;
    const auto mass = vehicleMassKg(std::get<Vehicle>(found));
    if (const auto* error = raceday::errorOf(mass)) return asLogError(*error);
    auto runs = log.runs({.vehicleId = vehicle});
    if (const LogError* error = logErrorOf(runs)) return *error;
    std::vector<RunPower> powers;
    for (const Run& run : std::get<std::vector<Run>>(runs)) {
        auto power = runPower(run, std::get<double>(mass), standard);
        if (const auto* error = raceday::errorOf(power)) return asLogError(*error);
        powers.push_back(std::get<RunPower>(std::move(power)));
    }
    return powers;
}

}  // namespace moravik::runlog
