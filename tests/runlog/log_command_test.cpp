// moravik-calc log, run as a user would, on a log made for the test.
#include <QFile>
#include <QProcess>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "moravik/runlog/csv.h"
#include "moravik/runlog/run_csv.h"
#include "runlog_test_support.h"
#include "time_zone.h"
#include "transcript.h"

namespace moravik::runlog {
namespace {

using cli::Output;

using cli::ExitStatus;

class LogCommandTest : public LogFileTest {
protected:
    void SetUp() override {
        const auto log = openLog(path);
        const VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
        const VehicleId nova = valueOf(log->addVehicle(namedVehicle("Nova")));
        // On the standard's day (cube-root rule): 10.00 s at 110 mph, 10.00 at 108, 10.30 at 105.
        const struct {
            VehicleId vehicle;
            double et, mph, factor;
        } runs[] = {{camaro, 11.00, 100, 1.331},
                    {camaro, 12.00, 90, 1.728},
                    {camaro, 10.30, 105, 1.0},
                    {nova, 13.50, 99, 1.0}};
        int minute = 0;
        for (const auto& [vehicle, et, mph, factor] : runs)
            valueOf(log->addRun(slip(vehicle, ++minute, et, mph, j607Air(factor))));
    }

    // moravik-calc log on the test's log, unless the line names another; each word @ is `at`.
    cli::Run calc(const std::string& line, const std::string& input = {},
                  Output output = Output::File, const std::string& at = "@") {
        auto arguments = cli::words(line);
        std::ranges::replace(arguments, std::string("@"), at);
        if (std::ranges::find(arguments, "--database") == arguments.end())
            arguments.insert(arguments.begin(), {"--database", path.toStdString()});
        arguments.insert(arguments.begin(), "log");
        return cli::run(arguments, input, output);
    }
};

TEST_F(LogCommandTest, EscapesStoredTextAndFitsEightyColumns) {
    const std::string evil =
        "Evil\x1b[31mCar\nX\xc2\x9b"
        "2J\x7f of the \xe2\x80\xaelong\xe2\x81\xa6 name";
    {
        const auto log = openLog(path);
        const VehicleId id = valueOf(log->addVehicle(namedVehicle(evil)));
        runlog::Run run = numberedRun(id, 9);
        run.air = j607Air(1.0);
        valueOf(log->addRun(run));
    }
    // Names and cells of an imported file are shown as escapes too, a long name cut.
    const std::string file =
        "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg\n" +
        csvLine({"2024-06-02T10:00:00Z", evil + std::string(90, 'x'), "11", "100", "80", "29.9"}) +
        csvLine({"2024-06-02T10:01:00Z", "Nova", evil, "100", "80", "29.9"});
    for (const std::string line : {"runs", "runs --units metric --vehicle @",
                                   "predict --vehicle @ --now '60F 29.92inHg' --nitrous-jet 0.034",
                                   "predict --vehicle Camaro --now '60F 29.92inHg' --units metric",
                                   "runs --vehicle Nobody", "import -"}) {
        const auto outcome = calc(line, file, Output::File, evil);
        if (line == "import -") {
            EXPECT_TRUE(cli::contains(outcome.out, "New vehicles: Evil")) << outcome.out;
            EXPECT_TRUE(cli::contains(outcome.out, "xxx...\n")) << outcome.out;
        } else {
            EXPECT_LE(cli::widestLine(outcome.out), 80u) << outcome.out;
        }
        const std::string shown = outcome.out + outcome.err;
        EXPECT_FALSE(cli::hasControlCharacter(shown)) << shown;
        EXPECT_TRUE(cli::contains(line, "Camaro") || cli::contains(shown, "Evil\\x1b[31m"))
            << shown;
    }
}

// CSV escapes controls on a terminal only, keeping its line ends; JSON escapes them as \u and
// keeps each number's every bit.
TEST_F(LogCommandTest, EscapesCsvOnlyOnATerminalAndJsonKeepsEveryBit) {
    const std::string controls =
        "a\x1b[31mred\xc2\x9b\x7f \xe2\x80\xae"
        "back\nnext";
    {
        const auto log = openLog(path);
        runlog::Run run = numberedRun(valueOf(log->vehicleNamed("Nova")).id, 9);
        run.notes = controls;
        run.etSeconds = 11.123456789012345;
        valueOf(log->addRun(run));
    }
    const std::string escaped = "a\\x1b[31mred\\xc2\\x9b\\x7f \\u202eback\\nnext";
    for (const char* line : {"runs --csv", "export -"}) {
        const auto shown = calc(line, {}, Output::Terminal);
        ASSERT_EQ(shown.status, ExitStatus::Success) << shown.err;
        EXPECT_FALSE(cli::hasControlCharacter(shown.out)) << shown.out;
        EXPECT_TRUE(cli::contains(shown.out, "," + escaped + "\n")) << shown.out;
        EXPECT_EQ(std::ranges::count(shown.out, '\n'), 6) << shown.out;  // a header and 5 runs
        EXPECT_TRUE(cli::contains(calc(line).out, ",\"" + controls + "\"\n"));
    }
    const auto json = calc("runs --json --units metric");
    EXPECT_FALSE(cli::hasControlCharacter(json.out)) << json.out;
    EXPECT_EQ(nlohmann::json::parse(json.out).back()["notes"], controls) << json.out;
    EXPECT_EQ(nlohmann::json::parse(json.out).back()["et_s"].get<double>(), 11.123456789012345);
    // moravik-calc itself asks whether its output is a terminal: a pty, or a pipe.
    for (const bool terminal : {true, false}) {
        QProcess calc;
        const QString command = QStringLiteral("%1 log --database '%2' runs --csv")
                                    .arg(QStringLiteral(MORAVIK_CALC), path);
        if (terminal)
            calc.start(QStringLiteral("script"), {"-qec", command, QStringLiteral("/dev/null")});
        else
            calc.start(QStringLiteral("sh"), {"-c", command});
        ASSERT_TRUE(calc.waitForFinished(20000));
        const std::string out = calc.readAllStandardOutput().toStdString();
        EXPECT_EQ(calc.exitCode(), 0) << out;
        EXPECT_EQ(cli::contains(out, escaped), terminal) << out;
        EXPECT_EQ(cli::contains(out, controls), !terminal) << out;
    }
}

// What each command answers, its refusals too, said whole (data/log_commands.txt).
TEST_F(LogCommandTest, ListsPredictsAndSaysWhatIsWrongWithTheRightExitStatus) {
    QFile(folder.filePath(QStringLiteral("empty.sqlite"))).open(QIODevice::WriteOnly);
    const std::string dir = folder.path().toStdString();
    const TimeZone utc("UTC");
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
            text.replace(at, from.size(), to);
        return text;
    };
    cli::expectTranscript(RUNLOG_DATA "/log_commands.txt", [&](std::string line) {
        line = replaced(replaced(line, "$DIR", dir), "$DATA", RUNLOG_DATA);
        std::string input;
        if (const auto at = line.find(" < "); at != std::string::npos) {
            std::ifstream file(line.substr(at + 3), std::ios::binary);
            input.assign(std::istreambuf_iterator<char>(file), {});
            line.resize(at);
        }
        auto answer = calc(line, input);
        for (auto* text : {&answer.out, &answer.err})
            *text = replaced(replaced(*text, dir, "$DIR"), RUNLOG_DATA, "$DATA");
        // The machine's clock, which a date too late is measured against.
        answer.err =
            std::regex_replace(answer.err, std::regex(R"(clock \([^)]*\))"), "clock (NOW)");
        return answer;
    });
    const std::string nova = "predict --vehicle Nova --now '60F 29.92inHg' ";
    for (const std::string& line : {std::string("runs"), nova}) {
        const auto failedWrite = calc(line, {}, Output::Failing);
        EXPECT_EQ(failedWrite.status, ExitStatus::InputOutputError) << line;
        EXPECT_TRUE(cli::contains(failedWrite.err, "cannot write to standard output")) << line;
    }
}

}  // namespace
}  // namespace moravik::runlog
