// Killing a writer at any moment loses no run it reported saved.
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>

#include "child_process.h"
#include "moravik/runlog/run_csv.h"
#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

constexpr int kills = 50;
constexpr int runsPerChildAtMost = 100000;  // numbers the runs of each child apart, within 2100

using Durability = LogFileTest;

TEST_F(Durability, EveryReportedRunSurvivesFiftyKills) {
    QRandomGenerator random(20240601);
    std::map<RunId, int> reported;  // run id -> run number
    int childrenThatOpened = 0;
    qint64 openingMicroseconds = 100000;  // measured on the way
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        QElapsedTimer sinceStart;
        sinceStart.start();
        startChild(child,
                   {QStringLiteral("write"), path, QString::number(kill * runsPerChildAtMost)});
        // Every other kill lands while the writer starts (recovering, locking, opening), the
        // others while it writes.
        if (kill % 2 == 0) {
            QThread::usleep(random.bounded(openingMicroseconds));
        } else {
            ASSERT_EQ(nextLine(child), QStringLiteral("open"))
                << "writer " << kill << ": " << child.readAllStandardError().toStdString();
            ++childrenThatOpened;
            openingMicroseconds = sinceStart.nsecsElapsed() / 1000;
            QThread::usleep(random.bounded(30000));
        }
        child.kill();
        ASSERT_TRUE(child.waitForFinished(5000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit)
            << "the writer stopped by itself: " << child.readAllStandardError().toStdString();
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            if (line == "open") ++childrenThatOpened;
            const QList<QByteArray> words = line.split(' ');
            if (words.size() == 2) reported[words[0].toLongLong()] = words[1].toInt();
        }
    }
    std::cout << kills << " kills; " << childrenThatOpened << " writers had opened the log; "
              << reported.size() << " runs reported saved\n";
    EXPECT_GT(reported.size(), 0U);

    const auto log = openLog(path);
    EXPECT_EQ(log->checkIntegrity(), std::nullopt);
    const VehicleId vehicle = valueOf(log->vehicleNamed("Durability")).id;
    for (const auto& [id, number] : reported) {
        runlog::Run expected = numberedRun(vehicle, number);
        expected.id = id;
        EXPECT_EQ(valueOf(log->run(id)), expected) << "run " << number;
    }
}

// moravik-calc log import, killed at any moment, leaves all of the file's runs or none.
TEST_F(Durability, AKilledCommandLineImportLeavesAllOrNone) {
    const QString csv = folder.filePath(QStringLiteral("runs.csv"));
    // Under the sanitizers an import is several times slower: fewer rows keep it as long.
    constexpr int rows = 20000 * MORAVIK_SWEEP_PERCENT / 100;
    {
        const auto log = openLog(folder.filePath(QStringLiteral("source.sqlite")));
        const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
        std::vector<runlog::Run> runs;
        for (int n = 0; n < rows; ++n) runs.push_back(numberedRun(id, n));
        valueOf(log->addRuns(runs));
        std::ofstream file(csv.toStdString(), std::ios::binary);
        ASSERT_TRUE(file.good());
        ASSERT_EQ(exportRunsCsv(*log, {}, raceday::UnitSystem::Metric, file), std::nullopt);
    }
    const auto importer = [&](QProcess& calc) {
        startCalcLog(calc, path, {"import", csv.toStdString()});
        ASSERT_TRUE(calc.waitForStarted(5000));
    };
    // How long a whole import takes, so that the kills land all through it.
    QElapsedTimer took;
    took.start();
    {
        QProcess calc;
        importer(calc);
        ASSERT_TRUE(calc.waitForFinished(120000));
        ASSERT_EQ(calc.exitCode(), 0) << calc.readAllStandardError().toStdString();
    }
    const qint64 wholeImport = took.nsecsElapsed() / 1000;
    QFile::remove(path);
    QRandomGenerator random(20240602);
    std::size_t found = 0;
    constexpr int importKills = std::max(1, 8 * MORAVIK_SWEEP_PERCENT / 100);
    for (int kill = 0; kill < importKills; ++kill) {
        QProcess calc;
        importer(calc);
        QThread::usleep(random.bounded(wholeImport));
        calc.kill();
        ASSERT_TRUE(calc.waitForFinished(5000));
        const auto log = openLog(path, {.access = Access::ReadOnly});
        EXPECT_EQ(log->damage(), std::nullopt);
        found = valueOf(log->runs()).size();
        EXPECT_TRUE(found == 0 || found == rows) << "kill " << kill << ": " << found << " runs";
    }
    std::cout << importKills << " kills of moravik-calc log import; " << found
              << " runs in the log after\n";
}

}  // namespace
}  // namespace moravik::runlog
