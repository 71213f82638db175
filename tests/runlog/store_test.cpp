#include <QTemporaryDir>

#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

class StoreTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("log/run-log.sqlite"));
    std::unique_ptr<RunLog> log = openLog(path);
    VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
};

TEST_F(StoreTest, KeepsVehiclesAndRunsExactlyAcrossReopening) {
    std::vector<runlog::Run> saved;
    for (int n = 0; n < 6; ++n) {
        runlog::Run run = numberedRun(camaro, n);
        run.id = valueOf(log->addRun(run));
        saved.push_back(run);
    }
    saved[1].air.pressure = raceday::AltimeterSetting{101325, 1609};
    saved[2].air.moisture = raceday::DewPoint{283.15};
    saved[3].air.moisture = std::monostate{};
    saved[4].stripElevationMetres.reset();
    saved[4].sixtyFootSeconds.reset();
    for (int i = 1; i < 5; ++i) EXPECT_EQ(log->updateRun(saved[i]), std::nullopt);

    log.reset();
    log = openLog(path);
    Vehicle expected = namedVehicle("Camaro");
    expected.id = camaro;
    EXPECT_EQ(valueOf(log->vehicle(camaro)), expected);
    EXPECT_EQ(valueOf(log->vehicleNamed(" camaro ")), expected);
    const auto runs = valueOf(log->runs());
    ASSERT_EQ(runs.size(), saved.size());
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], saved[i]) << i;
}

TEST_F(StoreTest, RefusesValuesItCannotKeepAndNamesThem) {
    const struct {
        const char* name;
        void (*spoil)(runlog::Run&);
        const char* field;
    } table[] = {
        {"zero ET", [](runlog::Run& r) { r.etSeconds = 0; }, "ET"},
        {"ET 118 s, typed for 11.8", [](runlog::Run& r) { r.etSeconds = 118; }, "ET"},
        {"ET 1e308", [](runlog::Run& r) { r.etSeconds = 1e308; }, "ET"},
        {"330 ft in 1e-300 s", [](runlog::Run& r) { r.threeThirtyFootSeconds = 1e-300; }, "330 ft"},
        {"year 1", [](runlog::Run& r) { r.when = *readDateTime("0001-06-01T12:00:00Z"); }, "date"},
        {"year 9999", [](runlog::Run& r) { r.when = *readDateTime("9999-06-01T12:00:00Z"); },
         "date"},
        {"jet of an inch", [](runlog::Run& r) { r.nitrousJetInches = 1.0; }, "nitrous jet"},
        {"negative MPH", [](runlog::Run& r) { r.speed = -1; }, "MPH"},
        {"NaN 60 ft", [](runlog::Run& r) { r.sixtyFootSeconds = NAN; }, "60 ft"},
        {"infinite elevation", [](runlog::Run& r) { r.stripElevationMetres = INFINITY; },
         "strip elevation"},
        {"zero jet", [](runlog::Run& r) { r.nitrousJetInches = 0.0; }, "nitrous jet"},
        {"air too hot", [](runlog::Run& r) { r.air.kelvin = 400; }, "temperature"},
        {"no such vehicle", [](runlog::Run& r) { r.vehicleId = 999; }, "vehicle"},
    };
    for (const auto& row : table) {
        runlog::Run run = numberedRun(camaro, 1);
        row.spoil(run);
        const auto added = log->addRun(run);
        expectProblem(added, Problem::Invalid, QString());
        if (const LogError* error = logErrorOf(added)) {
            EXPECT_NE(error->message.find(row.field), std::string::npos) << error->message;
        }
    }
    // All runs of a batch or none.
    std::vector<runlog::Run> batch{numberedRun(camaro, 1), numberedRun(7, 2)};
    expectProblem(log->addRuns(batch), Problem::Invalid, QStringLiteral("not in the log"));
    EXPECT_TRUE(valueOf(log->runs()).empty());

    expectProblem(log->addVehicle(namedVehicle("CAMARO")), Problem::Invalid,
                  QStringLiteral("already in the log"));
    expectProblem(log->addVehicle(namedVehicle("  ")), Problem::Invalid,
                  QStringLiteral("needs a name"));
}

TEST_F(StoreTest, DeletedRunsComeBackWithTheirIdsOnUndo) {
    std::vector<RunId> ids;
    for (int n = 0; n < 4; ++n) ids.push_back(valueOf(log->addRun(numberedRun(camaro, n))));
    const auto before = valueOf(log->runs());
    const std::vector<RunId> doomed{ids[1], ids[3]};
    const auto deleted = valueOf(log->deleteRuns(doomed));
    EXPECT_EQ(valueOf(log->runs()).size(), 2U);
    expectProblem(log->run(ids[1]), Problem::NotFound, QStringLiteral("Run"));
    expectProblem(log->deleteVehicle(camaro), Problem::Invalid, QStringLiteral("2 runs"));

    EXPECT_EQ(log->restoreRuns(deleted), std::nullopt);
    EXPECT_EQ(valueOf(log->runs()), before);
}

TEST_F(StoreTest, FindsRecentRunsByJetAndFiltersByVehicleStripAndDate) {
    const VehicleId nova = valueOf(log->addVehicle(namedVehicle("Nova")));
    for (int n = 0; n < 12; ++n) log->addRun(numberedRun(n < 9 ? camaro : nova, n));
    // numberedRun puts jets .030 to .034 on every third run: n = 0, 3, 6 for the Camaro.
    const auto dry = valueOf(log->recentRuns(camaro, std::nullopt, 4));
    ASSERT_EQ(dry.size(), 4U);
    EXPECT_EQ(dry.front().when, numberedRun(camaro, 8).when);  // newest first
    EXPECT_EQ(dry.back().when, numberedRun(camaro, 4).when);
    const auto jet33 = valueOf(log->recentRuns(camaro, 0.0330000001, 10));
    ASSERT_EQ(jet33.size(), 1U);
    EXPECT_EQ(jet33.front().nitrousJetInches, 0.033);

    EXPECT_EQ(valueOf(log->runs({.vehicleId = nova})).size(), 3U);
    EXPECT_EQ(valueOf(log->runs({.strip = "Strip 2"})).size(), 2U);  // 2, 9
    const auto middle = valueOf(
        log->runs({.from = numberedRun(camaro, 3).when, .to = numberedRun(camaro, 5).when}));
    EXPECT_EQ(middle.size(), 3U);
    EXPECT_EQ(valueOf(log->strips()).size(), 7U);
}

// A strip keeps the elevation of its newest run that gives one; a strip never given one has none.
TEST_F(StoreTest, StripsComeWithTheElevationOfTheirNewestRunThatHasOne) {
    const struct {
        const char* strip;
        int minute;
        std::optional<double> elevation;
    } runs[] = {{"Firebird", 3, 880},
                {"Firebird", 1, 870},
                {"Firebird", 5, std::nullopt},
                {"Pomona", 2, std::nullopt},
                {"", 4, 10}};
    for (const auto& [strip, minute, elevation] : runs) {
        runlog::Run run = numberedRun(camaro, minute);
        run.strip = strip;
        run.stripElevationMetres = elevation;
        valueOf(log->addRun(run));
    }
    const auto strips = valueOf(log->stripElevations());
    ASSERT_EQ(strips.size(), 2U);
    EXPECT_EQ(strips[0].name, "Firebird");
    EXPECT_EQ(strips[0].elevationMetres, 880);
    EXPECT_EQ(strips[1].name, "Pomona");
    EXPECT_EQ(strips[1].elevationMetres, std::nullopt);
}

TEST_F(StoreTest, AReadOnlyLogReadsWhileTheWriterHasItOpenAndRefusesChanges) {
    valueOf(log->addRun(numberedRun(camaro, 1)));
    const auto reader = openLog(path, {.access = Access::ReadOnly});
    EXPECT_EQ(valueOf(reader->runs()).size(), 1U);
    expectProblem(reader->addRun(numberedRun(camaro, 2)), Problem::ReadOnly,
                  QStringLiteral("read-only"));
    valueOf(log->addRun(numberedRun(camaro, 3)));
    EXPECT_EQ(valueOf(reader->runs()).size(), 2U);
}

}  // namespace
}  // namespace moravik::runlog
