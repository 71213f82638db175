// The log of each version opens and keeps what it held: logs/ keeps one
// written by each version, and version 0 is a missing or empty file.
#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "child_process.h"
#include "moravik/runlog/log_columns.h"
#include "outside_changes.h"
#include "runlog_test_support.h"
#include "time_zone.h"

namespace moravik::runlog {
namespace {

// Builds a log from one of logs/version*.sql.
void buildLog(const QString& script, const QString& path) {
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    rawSql(path, {QString::fromUtf8(file.readAll())});
}

// What logs/version*.sql hold, written out by hand.
std::vector<runlog::Run> runsOfTheOldLogs() {
    runlog::Run first;
    first.id = 3;
    first.vehicleId = 7;
    first.when = *readDateTime("2024-06-01T12:00:00Z");
    first.strip = "Bandimere";
    first.stripElevationMetres = 1768;
    first.lane = "left";
    first.etSeconds = 11.92;
    first.speed = 50.9;
    first.sixtyFootSeconds = 1.61;
    first.threeThirtyFootSeconds = 4.45;
    first.eighthEtSeconds = 7.6;
    first.eighthSpeed = 40.2;
    first.nitrousJetInches = 0.045;
    first.air = {303.15, raceday::StationPressure{82000}, raceday::RelativeHumidity{0.4}};
    first.notes = "first pass";
    runlog::Run second;
    second.id = 4;
    second.vehicleId = 7;
    second.when = first.when + std::chrono::seconds(60);
    second.strip = first.strip;
    second.etSeconds = 12.5;
    second.speed = 48;
    second.air = {301.15, raceday::AltimeterSetting{101320, 1768}, raceday::DewPoint{283.15}};
    return {first, second};
}

TEST(Migration, OpensTheLogOfEachVersionWithItsRunsAndAcceptsNewOnes) {
    const QDir logs(QStringLiteral(RUNLOG_OLD_LOGS));
    const QStringList scripts = logs.entryList({QStringLiteral("version*.sql")});
    ASSERT_FALSE(scripts.isEmpty());
    for (const QString& script : scripts) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
        buildLog(logs.filePath(script), path);
        const auto log = openLog(path);
        EXPECT_EQ(valueOf(log->runs()), runsOfTheOldLogs()) << script.toStdString();
        const Vehicle camaro = valueOf(log->vehicleNamed("Camaro"));
        EXPECT_EQ(camaro.inputs.vweight, "3,200 lbs");
        valueOf(log->addRun(numberedRun(camaro.id, 1)));
        EXPECT_EQ(log->checkIntegrity(), std::nullopt);
    }
}

// Version 0: no file, or an empty one, as a first start finds it.
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

// The runs table's columns as SQLite reports them.
std::vector<std::string> tableInfo(const QString& path) {
    sqlite3* db = nullptr;
    std::vector<std::string> names;
    // Immutable: the kept file gets no companion files beside it.
    const QByteArray uri = "file:" + path.toUtf8() + "?immutable=1";
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('runs')", -1, &statement,
                           nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return names;
}

// The column table writes and reads exactly the columns the frozen statements
// made, in a new log and in one written before the table existed.
TEST(Migration, TheColumnTableNamesEveryColumnOfTheRunsTable) {
    QTemporaryDir folder;
    const QString fresh = folder.filePath(QStringLiteral("new.sqlite"));
    openLog(fresh);
    std::vector<std::string> fromTable{"id"};
    for (std::size_t i = 0; i < sqlColumnCount; ++i) fromTable.emplace_back(sqlColumn(i).sql);
    std::vector<std::string> withChecksum = fromTable;
    withChecksum.emplace_back("checksum");
    std::sort(fromTable.begin(), fromTable.end());
    std::sort(withChecksum.begin(), withChecksum.end());
    const QString firstVersion = QStringLiteral(RUNLOG_DATA "/log_v1.sqlite");
    for (const auto& [path, expected] :
         {std::pair(fresh, withChecksum), std::pair(firstVersion, fromTable)}) {
        auto found = tableInfo(path);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected) << path.toStdString();
    }
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Printed {
    const char* arguments;
    const char* expected;  // in data/, as the log's first version printed it
};

// data/log_v1.sqlite was written by the log's first version through Qt SQL:
// it reads the same, and takes new runs.
TEST(Migration, ALogOfTheFirstVersionReadsAsItDidThenAndTakesNewRuns) {
    const std::string data = RUNLOG_DATA;
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("log_v1.sqlite"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(data + "/log_v1.sqlite"), copy));
    const struct {
        const char* zone;
        Printed printed[3];
    } table[] = {
        {"UTC",
         {{"runs --json", "runs_UTC.json"},
          {"runs", "runs_UTC.txt"},
          {"export --units metric", "export_metric_UTC.csv"}}},
        {"America/Denver",
         {{"runs --json", "runs_America_Denver.json"},
          {"runs", "runs_America_Denver.txt"},
          {"export --units metric", "export_metric_America_Denver.csv"}}},
    };
    for (const auto& [zone, printed] : table) {
        const TimeZone local(zone);
        for (const auto& [arguments, expected] : printed) {
            std::vector<std::string> words;
            std::istringstream split(arguments);
            for (std::string word; split >> word;) words.push_back(word);
            const Calc run = calcLog(copy, words);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, fileText(data + "/" + expected)) << zone << ": " << arguments;
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
