// A log of each version opens and keeps what it held: data/log_v1.sqlite was written by the
// log's first version through Qt SQL; version 0 is a missing or empty file.
#include <QTemporaryDir>
#include <algorithm>

#include "child_process.h"
#include "outside_changes.h"
#include "time_zone.h"

namespace moravik::runlog {
namespace {

TEST(Migration, StartsALogInAMissingOrEmptyFile) {
    QTemporaryDir folder;
    const QString empty = folder.filePath(QStringLiteral("empty.sqlite"));
    QFile(empty).open(QIODevice::WriteOnly);
    for (const QString& path : {folder.filePath(QStringLiteral("a/b/new.sqlite")), empty}) {
        const auto log = openLog(path);
        const VehicleId id = valueOf(log->addVehicle(namedVehicle("Nova")));
        valueOf(log->addRun(numberedRun(id, 1)));
        EXPECT_EQ(valueOf(log->runs()).size(), 1U);
    }
}

// The first version's log prints as it did then (data/*, each value of every column, a
// station and an altimeter pressure, humidity, dew point and dry air), and takes new runs.
TEST(Migration, ALogOfTheFirstVersionReadsAsItDidThenAndTakesNewRuns) {
    const std::string data = RUNLOG_DATA;
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("log_v1.sqlite"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(data + "/log_v1.sqlite"), copy));
    for (const std::string zone : {"UTC", "America/Denver"}) {
        const TimeZone local(zone.c_str());
        std::string suffix = zone;
        std::ranges::replace(suffix, '/', '_');
        const std::pair<std::vector<std::string>, std::string> printed[] = {
            {{"runs", "--json"}, "runs_" + suffix + ".json"},
            {{"runs"}, "runs_" + suffix + ".txt"},
            {{"export", "--units", "metric"}, "export_metric_" + suffix + ".csv"}};
        for (const auto& [words, expected] : printed) {
            const Calc run = calcLog(copy, words);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out,
                      contentsOf(QString::fromStdString(data + "/" + expected)).toStdString())
                << expected;
        }
    }
    // The runs' values are in the printed files; the vehicle's, here.
    const auto log = openLog(copy);
    const Vehicle camaro = valueOf(log->vehicleNamed("camaro"));
    EXPECT_EQ(camaro.inputs.vweight, "3,350 lbs");
    EXPECT_EQ(camaro.notes, "4.10 gears, \"big\" cam");
    runlog::Run added = numberedRun(camaro.id, 1);
    added.id = valueOf(log->addRun(added));
    EXPECT_EQ(valueOf(log->run(added.id)), added);
    EXPECT_EQ(log->checkIntegrity(), std::nullopt);
}

}  // namespace
}  // namespace moravik::runlog
