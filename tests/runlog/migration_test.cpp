// The log of each version opens and keeps what it held: logs/ keeps one
// written by each version, and version 0 is a missing or empty file.
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

// Builds a log from one of logs/version*.sql.
void buildLog(const QString& script, const QString& path) {
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "script");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        QString statement;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.startsWith(QLatin1String("--"))) continue;
            statement += line + QLatin1Char('\n');
            if (!line.endsWith(QLatin1Char(';'))) continue;
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
            statement.clear();
        }
    }
    QSqlDatabase::removeDatabase("script");
}

// What logs/version*.sql hold, written out by hand.
std::vector<runlog::Run> runsOfTheOldLogs() {
    runlog::Run first;
    first.id = 3;
    first.vehicleId = 7;
    first.when = QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);
    first.strip = QStringLiteral("Bandimere");
    first.stripElevationMetres = 1768;
    first.lane = QStringLiteral("left");
    first.etSeconds = 11.92;
    first.speed = 50.9;
    first.sixtyFootSeconds = 1.61;
    first.threeThirtyFootSeconds = 4.45;
    first.eighthEtSeconds = 7.6;
    first.eighthSpeed = 40.2;
    first.nitrousJetInches = 0.045;
    first.air = {303.15, raceday::StationPressure{82000}, raceday::RelativeHumidity{0.4}};
    first.notes = QStringLiteral("first pass");
    runlog::Run second;
    second.id = 4;
    second.vehicleId = 7;
    second.when = first.when.addSecs(60);
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
        const Vehicle camaro = valueOf(log->vehicleNamed(QStringLiteral("Camaro")));
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
        const VehicleId id = valueOf(log->addVehicle(namedVehicle(QStringLiteral("Nova"))));
        valueOf(log->addRun(numberedRun(id, 1)));
        EXPECT_EQ(valueOf(log->runs()).size(), 1U);
    }
}

}  // namespace
}  // namespace moravik::runlog
