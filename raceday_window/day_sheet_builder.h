// Fills the day sheet from the run log and today's air: the one place where the sheet meets the
// log's types.
#pragma once

#include <QDate>
#include <QString>
#include <variant>

#include "day_sheet.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/run_log.h"
#include "section.h"

namespace moravik::raceday_window {

struct DaySheetChoices {
    // added to the prediction: the racer's own safety
    double marginSeconds = runlog::defaultDialInMarginSeconds;
    double probability = runlog::defaultIntervalProbability;  // of the dial-in's interval
    raceday::UnitSystem system = raceday::UnitSystem::Imperial;
    QDate day;
};

// A page for each vehicle of the log: its dial-in from the recent runs on the jet of its newest
// run, those runs corrected, and every run charted. The message when the log cannot be read.
std::variant<DaySheet, QString> daySheetFromLog(runlog::RunLog& log, const TodaysAir& today,
                                                const DaySheetChoices& choices);

}  // namespace moravik::raceday_window
