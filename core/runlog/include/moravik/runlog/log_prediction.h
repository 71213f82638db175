// The log's predictions and horsepower (prediction.h) from the runs of a log.
#pragma once

#include "moravik/runlog/prediction.h"
#include "moravik/runlog/run_log.h"

namespace moravik::runlog {

// Finds the vehicle's recent runs in the log, then predictFromRuns.
LogResult<LogPrediction> predictFromLog(RunLog& log, const PredictionRequest& request);

// Every run of the vehicle, oldest first.
LogResult<std::vector<RunPower>> powerFromLog(RunLog& log, VehicleId vehicle,
                                              raceday::Standard standard);

}  // namespace moravik::runlog
