// Fills the day sheet from the run log and today's air: the one place where the sheet meets the
// log's types.
#pragma once

#include <QDateTime>
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
    QDateTime when;
    QPageSize::PageSizeId paper = QPageSize::A4;
};

// A page for each vehicle and each jet it has run on, the jet of its newest run first: the
// dial-in from the recent runs on that jet, those runs corrected, the dial-in at density
// altitudes around today's, and the jet's runs charted with the prediction. The message when
// the log cannot be read.
std::variant<DaySheet, QString> daySheetFromLog(runlog::RunLog& log, const TodaysAir& today,
                                                const DaySheetChoices& choices);

}  // namespace moravik::raceday_window
