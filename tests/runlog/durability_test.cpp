// Killing a writer at any moment loses no run it reported saved.
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <iostream>
#include <map>

#include "child_process.h"
#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

constexpr int kills = 50;
constexpr int runsPerChildAtMost = 1000000;  // numbers the runs of each child apart

TEST(Durability, EveryReportedRunSurvivesFiftyKills) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("run-log.sqlite"));
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
        // Every other kill lands while the writer starts: recovering the last
        // kill's write-ahead log, taking the lock, opening; the others
        // while it writes.
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
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        for (const QByteArray& line : lines) {
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
    const VehicleId vehicle = valueOf(log->vehicleNamed(QStringLiteral("Durability"))).id;
    for (const auto& [id, number] : reported) {
        runlog::Run expected = numberedRun(vehicle, number);
        expected.id = id;
        EXPECT_EQ(valueOf(log->run(id)), expected) << "run " << number;
    }
}

}  // namespace
}  // namespace moravik::runlog
