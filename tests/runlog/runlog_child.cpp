// A second program on a run log:
//   write PATH FIRST   adds numberedRun(FIRST), FIRST + 1, ... until killed, printing "RUN_ID N"
//   hold PATH          keeps the log open until standard input closes
//   open PATH [read]   opens it (read-only with "read") and prints the outcome
#include <unistd.h>

#include <QCoreApplication>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>

#include "runlog_test_support.h"

namespace moravik::runlog {
namespace {

void say(const std::string& line) {
    const std::string text = line + '\n';
    // One write per line: a line is never split by a kill.
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0) std::_Exit(3);
}

std::string decimal(qint64 value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {buffer, end};
}

int writeRuns(const QString& path, int first) {
    auto opened = RunLog::open(path.toStdString(), {.wait = std::chrono::seconds(10)});
    if (const LogError* error = logErrorOf(opened)) {
        std::cerr << error->message << '\n';
        return 1;
    }
    auto& log = std::get<std::unique_ptr<RunLog>>(opened);
    const std::string name = "Durability";
    auto vehicle = log->vehicleNamed(name);
    if (logErrorOf(vehicle)) vehicle = log->vehicle(valueOf(log->addVehicle(namedVehicle(name))));
    const VehicleId id = valueOf(std::move(vehicle)).id;
    say("open");
    for (int n = first;; ++n) {
        const auto added = log->addRun(numberedRun(id, n));
        if (const LogError* error = logErrorOf(added)) {
            std::cerr << error->message << '\n';
            return 1;
        }
        say(decimal(std::get<RunId>(added)) + ' ' + decimal(n));
    }
}

int report(const QString& path, bool readOnly) {
    const auto opened =
        RunLog::open(path.toStdString(), {.access = readOnly ? Access::ReadOnly : Access::ReadWrite,
                                          .wait = std::chrono::milliseconds(200)});
    const LogError* refused = logErrorOf(opened);
    const auto runs = refused ? LogResult<std::vector<Run>>(*refused)
                              : std::get<std::unique_ptr<RunLog>>(opened)->runs();
    if (const LogError* error = logErrorOf(runs)) {
        say("error " + error->message);
        return 1;
    }
    say("opened " + decimal(static_cast<qint64>(std::get<std::vector<Run>>(runs).size())));
    return 0;
}

}  // namespace
}  // namespace moravik::runlog

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) return 2;
    const QString& mode = args[1];
    const QString& path = args[2];
    if (mode == QLatin1String("write") && args.size() == 4) {
        return moravik::runlog::writeRuns(path, args[3].toInt());
    }
    if (mode == QLatin1String("hold")) {
        const auto log = moravik::runlog::RunLog::open(path.toStdString());
        if (moravik::runlog::logErrorOf(log)) return 1;
        moravik::runlog::say("ready");
        std::string ignored;
        while (std::getline(std::cin, ignored)) {
        }
        return 0;
    }
    if (mode == QLatin1String("open")) {
        return moravik::runlog::report(path, args.size() == 4 && args[3] == QLatin1String("read"));
    }
    return 2;
}
