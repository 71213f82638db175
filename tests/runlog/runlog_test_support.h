// Helpers the run-log tests and their child process share.
#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <string>

#include "log_result.h"
#include "moravik/raceday/units.h"
#include "moravik/runlog/run_log.h"
#include "weather.h"

namespace moravik::runlog {

using test_support::j607Air;
using test_support::stationAir;
using test_support::valueOf;

// Run n of a series: every field set and depending on n, so a field of another run is noticed.
inline Run numberedRun(VehicleId vehicle, int n) {
    Run run;
    run.vehicleId = vehicle;
    run.when = momentOfMilliseconds(1717243200000 + qint64{n} * 60000 + n % 1000);
    run.strip = "Strip " + std::to_string(n % 7);
    run.stripElevationMetres = 100.0 + n % 50;
    run.lane = n % 2 == 0 ? "left" : "right";
    run.etSeconds = 10 + (n % 400) / 100.0;
    run.speed = 50 - (n % 300) / 100.0;
    run.sixtyFootSeconds = 1.5 + (n % 9) / 100.0;
    run.threeThirtyFootSeconds = 4.2 + (n % 11) / 100.0;
    run.eighthEtSeconds = 6.5 + (n % 13) / 100.0;
    run.eighthSpeed = 42 + (n % 17) / 10.0;
    if (n % 3 == 0) run.nitrousJetInches = 0.030 + (n % 5) / 1000.0;
    run.air = stationAir(60 + n % 30, 28 + (n % 20) / 10.0, (n % 90) / 100.0);
    run.notes = "run " + std::to_string(n) + ", \"quoted\", comma\nand a second line";
    return run;
}

// Run n of the series with the ET, MPH, air and jet a prediction turns on.
inline Run slip(VehicleId vehicle, int n, double et, double mph, const raceday::Weather& air,
                std::optional<double> jet = {}) {
    Run run = numberedRun(vehicle, n);
    run.etSeconds = et;
    run.speed = mph * raceday::metresPerSecondPerMph;
    run.nitrousJetInches = jet;
    run.air = air;
    return run;
}

inline Vehicle namedVehicle(const std::string& name) {
    Vehicle vehicle;
    vehicle.name = name;
    vehicle.inputs.njt = ".045";
    vehicle.inputs.vweight = "3,200 lbs";  // kept exactly as typed
    vehicle.inputs.altitudeDD = "Denver, CO  5800";
    vehicle.notes = "automatic, 4.10 gears";
    return vehicle;
}

// A test with a log file of its own in a fresh folder.
class LogFileTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
};

inline std::unique_ptr<RunLog> openLog(const QString& path, const OpenOptions& options = {}) {
    return valueOf(RunLog::open(path.toStdString(), options));
}

inline bool containsIgnoringCase(const std::string& text, const std::string& part) {
    const auto same = [](unsigned char a, unsigned char b) {
        return std::tolower(a) == std::tolower(b);
    };
    return std::ranges::search(text, part, same).begin() != text.end();
}

inline void expectProblem(const LogStatus& status, Problem problem, const QString& inMessage) {
    ASSERT_TRUE(status.has_value()) << "expected a failure mentioning " << inMessage.toStdString();
    EXPECT_EQ(status->problem, problem) << status->message;
    EXPECT_TRUE(containsIgnoringCase(status->message, inMessage.toStdString())) << status->message;
}

template <typename T>
void expectProblem(const LogResult<T>& result, Problem problem, const QString& inMessage) {
    const LogError* error = logErrorOf(result);
    expectProblem(error ? LogStatus(*error) : LogStatus(), problem, inMessage);
}

}  // namespace moravik::runlog
