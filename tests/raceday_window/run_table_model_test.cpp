#include "run_table_model.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <set>

#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

class RunTableModelTest : public testing::Test {
protected:
    static constexpr int runCount = 600;  // two full pages and part of a third

    void SetUp() override {
        std::vector<runlog::Run> runs;
        for (int n = 0; n < runCount; ++n) {
            runlog::Run run = numberedRun(n % 5 == 0 ? nova : camaro, n);
            if (n % 4 == 0) run.sixtyFootSeconds.reset();
            runs.push_back(run);
        }
        valueOf(log->addRuns(runs));
    }

    // Every row, fetched page by page as a view scrolling down would.
    static std::vector<runlog::Run> scrollToTheEnd(RunTableModel& model) {
        while (model.canFetchMore({})) model.fetchMore({});
        std::vector<runlog::Run> runs;
        for (int row = 0; row < model.rowCount(); ++row) runs.push_back(model.runAt(row));
        return runs;
    }

    QTemporaryDir folder;
    std::unique_ptr<RunLog> log = openLog(folder.filePath(QStringLiteral("a.sqlite")));
    VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
    VehicleId nova = valueOf(log->addVehicle(namedVehicle("Nova")));
};

TEST_F(RunTableModelTest, FetchesAPageAtATimeNewestFirst) {
    RunTableModel model(*log);
    EXPECT_EQ(model.rowCount(), RunTableModel::pageRows);
    EXPECT_TRUE(model.canFetchMore({}));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto runs = scrollToTheEnd(model);
    ASSERT_EQ(runs.size(), static_cast<std::size_t>(runCount));
    EXPECT_EQ(runs.front(), valueOf(log->run(runCount)));
    for (std::size_t i = 1; i < runs.size(); ++i) EXPECT_GT(runs[i - 1].when, runs[i].when);
    EXPECT_EQ(model.data(model.index(0, 0), RunTableModel::runIdRole).toLongLong(), runCount);
}

// Sort keys repeat and a page may end inside equal keys: no run lost or shown twice.
TEST_F(RunTableModelTest, SortsByAnyColumnWithEveryRunOnce) {
    RunTableModel model(*log);
    const struct {
        int column;
        Qt::SortOrder order;
    } table[] = {
        {RunTableModel::Et, Qt::AscendingOrder},
        {RunTableModel::SixtyFoot, Qt::AscendingOrder},
        {RunTableModel::SixtyFoot, Qt::DescendingOrder},
        {RunTableModel::VehicleName, Qt::DescendingOrder},
        {RunTableModel::Lane, Qt::AscendingOrder},
        {RunTableModel::DensityAltitude, Qt::AscendingOrder},
        {RunTableModel::CorrectedEt, Qt::DescendingOrder},
    };
    for (const auto& [column, order] : table) {
        model.sort(column, order);
        const auto runs = scrollToTheEnd(model);
        std::set<RunId> ids;
        for (const auto& run : runs) ids.insert(run.id);
        EXPECT_EQ(ids.size(), static_cast<std::size_t>(runCount)) << column;
        EXPECT_EQ(runs.size(), static_cast<std::size_t>(runCount)) << column;
        const auto shown = [&](std::size_t row) {
            return model.index(static_cast<int>(row), column).data().toString();
        };
        // "1234 ft", "10.123 s": the number before the unit.
        const auto number = [&](std::size_t row) {
            return shown(row).section(' ', 0, 0).toDouble();
        };
        const auto sorted = [&](std::size_t i) {
            const runlog::Run &a = runs[i - 1], &b = runs[i];
            switch (column) {
                case RunTableModel::Et:
                    return a.etSeconds <= b.etSeconds;
                case RunTableModel::SixtyFoot:  // runs without a 60 ft time last
                    return order == Qt::DescendingOrder || a.sixtyFootSeconds ||
                           !b.sixtyFootSeconds;
                case RunTableModel::VehicleName:
                    return shown(i - 1) >= shown(i);
                case RunTableModel::DensityAltitude:
                    return number(i - 1) <= number(i);
                case RunTableModel::CorrectedEt:
                    return number(i - 1) >= number(i);
                default:
                    return true;
            }
        };
        for (std::size_t i = 1; i < runs.size(); ++i) ASSERT_TRUE(sorted(i)) << column << ", " << i;
    }
}

TEST_F(RunTableModelTest, ShowsOneVehicleAndTheUnitsChosen) {
    runlog::Run run = numberedRun(nova, runCount + 1);
    run.speed = 44.704;  // 100 mph by definition, 160.93 km/h
    run.air = {303.15, raceday::AltimeterSetting{101325, 0}, raceday::DewPoint{283.15}};
    run.nitrousJetInches = 0.045;
    valueOf(log->addRun(run));
    RunTableModel model(*log);
    model.setFilter({.vehicleId = nova});
    const auto runs = scrollToTheEnd(model);
    EXPECT_EQ(runs.size(), static_cast<std::size_t>(runCount / 5 + 1));
    const auto text = [&](int column) { return model.index(0, column).data().toString(); };
    EXPECT_EQ(text(RunTableModel::VehicleName), QStringLiteral("Nova"));
    EXPECT_EQ(text(RunTableModel::Speed), QStringLiteral("100.00 mph"));
    EXPECT_EQ(text(RunTableModel::Temperature), QStringLiteral("86.0 °F"));
    EXPECT_EQ(text(RunTableModel::Pressure), QStringLiteral("alt 29.92 inHg"));
    EXPECT_EQ(text(RunTableModel::Moisture), QStringLiteral("dew 50.0 °F"));
    EXPECT_EQ(text(RunTableModel::NitrousJet), QStringLiteral("0.045 in"));
    model.setUnitSystem(raceday::UnitSystem::Metric);
    EXPECT_EQ(text(RunTableModel::Speed), QStringLiteral("160.93 km/h"));
    EXPECT_EQ(text(RunTableModel::Temperature), QStringLiteral("30.0 °C"));
    EXPECT_EQ(text(RunTableModel::Pressure), QStringLiteral("alt 1013.25 hPa"));
}

// Density altitude by the ISA (ICAO Doc 7488): 15 °C, 1013.25 hPa at sea level; 8.50 °C,
// 898.76 hPa at 1000 m. Corrected ET by the cube-root rule: at factor 1.331 = 1.1³, 11.000 s is
// 10.000 s on SAE J607's day; at factor 1 it stays.
TEST(RunTableFigures, ShowDensityAltitudeAndCorrectedEtOfEachRunsAir) {
    using raceday::UnitSystem;
    const raceday::Weather isaSeaLevel{288.15, raceday::StationPressure{101325}, {}};
    const raceday::Weather isa1000m{281.65, raceday::StationPressure{89876}, {}};
    const struct {
        const char* name;
        raceday::Weather air;
        double et;
        UnitSystem system;
        int column;
        const char* shown;
    } table[] = {
        {"ISA sea level", isaSeaLevel, 11, UnitSystem::Imperial, RunTableModel::DensityAltitude,
         "0 ft"},
        {"ISA 1000 m, metric", isa1000m, 11, UnitSystem::Metric, RunTableModel::DensityAltitude,
         "1000 m"},
        {"J607 factor 1.331", j607Air(1.331), 11, UnitSystem::Imperial, RunTableModel::CorrectedEt,
         "10.000 s"},
        {"J607 factor 1", j607Air(1), 10.3, UnitSystem::Metric, RunTableModel::CorrectedEt,
         "10.300 s"},
    };
    for (const auto& [name, air, et, system, column, shown] : table) {
        QTemporaryDir folder;
        const auto log = openLog(folder.filePath(QStringLiteral("a.sqlite")));
        runlog::Run run = numberedRun(valueOf(log->addVehicle(namedVehicle("Camaro"))), 1);
        run.air = air;
        run.etSeconds = et;
        valueOf(log->addRun(run));
        RunTableModel model(*log);
        model.setStandard(raceday::Standard::SaeJ607);
        model.setUnitSystem(system);
        EXPECT_EQ(model.index(0, column).data().toString(), QString::fromUtf8(shown)) << name;
    }
}

}  // namespace
}  // namespace moravik::runlog
