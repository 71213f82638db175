// What the run log keeps: vehicles and their runs.
//
// A vehicle keeps the main window's seven input texts exactly as typed, so the
// Calculate pass can be run on them again. A run keeps its measurements as SI
// values (seconds, m/s, metres) and its air as the race-day library's Weather:
// SI columns sort and filter in SQL whatever units the racer types in, and feed
// the corrections without parsing text again.
#pragma once

#include <moravik/calculate.h>
#include <moravik/raceday/air.h>

#include <QDateTime>
#include <QString>
#include <optional>

#include "moravik/runlog/log_error.h"

namespace moravik::runlog {

using VehicleId = qint64;
using RunId = qint64;

struct Vehicle {
    VehicleId id = 0;  // 0 until the vehicle is saved
    QString name;      // unique in a log, ignoring case
    InputTexts inputs;
    QString notes;
};

bool operator==(const Vehicle& a, const Vehicle& b);

struct Run {
    RunId id = 0;  // 0 until the run is saved
    VehicleId vehicleId = 0;
    QDateTime when;  // kept to the millisecond
    QString strip;
    std::optional<double> stripElevationMetres;
    QString lane;
    double etSeconds = 0;
    double speed = 0;  // m/s at the quarter-mile trap
    std::optional<double> sixtyFootSeconds;
    std::optional<double> threeThirtyFootSeconds;
    std::optional<double> eighthEtSeconds;
    std::optional<double> eighthSpeed;
    std::optional<double> nitrousJetInches;  // present when the nitrous was on
    raceday::Weather air;
    QString notes;
};

bool operator==(const Run& a, const Run& b);

// Problem::Invalid naming the first value the log does not accept: a blank
// name; a missing date; a time or speed that is not above 0; air the race-day
// library refuses.
LogStatus checkVehicle(const Vehicle& vehicle);
LogStatus checkRun(const Run& run);

// Which runs a list, an export or the table shows; an empty member lets all pass.
struct RunFilter {
    std::optional<VehicleId> vehicleId{};
    std::optional<QString> strip{};   // exact name
    std::optional<QDateTime> from{};  // inclusive
    std::optional<QDateTime> to{};    // inclusive
};

}  // namespace moravik::runlog
