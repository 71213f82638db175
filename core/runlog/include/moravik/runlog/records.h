// What the run log keeps: vehicles and their runs.
//
// A vehicle keeps the main window's seven input texts exactly as typed, so the
// Calculate pass can be run on them again. A run keeps its measurements as SI
// values (seconds, m/s, metres) and its air as the race-day library's Weather:
// SI columns sort and filter in SQL whatever units the racer types in, and feed
// the corrections without parsing text again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "moravik/calculate.h"
#include "moravik/raceday/air.h"
#include "moravik/runlog/log_error.h"
#include "moravik/runlog/moment.h"

namespace moravik::runlog {

using VehicleId = std::int64_t;
using RunId = std::int64_t;

struct Vehicle {
    VehicleId id = 0;  // 0 until the vehicle is saved
    std::string name;  // unique in a log, ignoring (ASCII) case
    InputTexts inputs;
    std::string notes;
};

bool operator==(const Vehicle& a, const Vehicle& b);

struct Run {
    RunId id = 0;  // 0 until the run is saved
    VehicleId vehicleId = 0;
    Moment when{};  // kept to the millisecond
    std::string strip;
    std::optional<double> stripElevationMetres;
    std::string lane;
    double etSeconds = 0;
    double speed = 0;  // m/s at the quarter-mile trap
    std::optional<double> sixtyFootSeconds;
    std::optional<double> threeThirtyFootSeconds;
    std::optional<double> eighthEtSeconds;
    std::optional<double> eighthSpeed;
    std::optional<double> nitrousJetInches;  // present when the nitrous was on
    raceday::Weather air;
    std::string notes;
};

bool operator==(const Run& a, const Run& b);

// Problem::Invalid naming the first value the log does not accept: a blank
// name; a date outside the plausible years; a time or speed that is not above 0; air the race-day
// library refuses.
LogStatus checkVehicle(const Vehicle& vehicle);
LogStatus checkRun(const Run& run);

// Vehicle names are unique ignoring case: the error for a name another vehicle has.
LogError vehicleNameTaken(std::string_view name);

// Which runs a list, an export or the table shows; an empty member lets all pass.
struct RunFilter {
    std::optional<VehicleId> vehicleId{};
    std::optional<std::string> strip{};  // exact name
    std::optional<Moment> from{};        // inclusive
    std::optional<Moment> to{};          // inclusive
};

}  // namespace moravik::runlog

namespace moravik::runlog {

// Leading and trailing blanks (ASCII white space) taken off.
std::string trimmedText(std::string_view text);

}  // namespace moravik::runlog
