// The race-day subcommands held to the calculator's rules: options on either
// side of a subcommand, results that cannot be numbers, echoed text, widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_calc.h"

namespace moravik::cli {
namespace {

struct Case {
    std::vector<std::string> arguments;
    ExitStatus status;
    std::string says;  // in standard output on success, in standard error otherwise
};

void expectEach(const std::vector<Case>& table) {
    for (const auto& [arguments, status, says] : table) {
        std::string typed;
        for (const auto& argument : arguments) typed += argument + ' ';
        const auto result = run(arguments);
        EXPECT_EQ(result.status, status) << typed << result.err;
        EXPECT_TRUE(contains(status == ExitStatus::Success ? result.out : result.err, says))
            << typed << "\nout: " << result.out << "\nerr: " << result.err;
        if (status == ExitStatus::UsageError) {
            EXPECT_EQ(result.out, "") << typed;
        }
    }
}

const std::vector<std::string> air{"air", "--temperature", "80", "--pressure", "29.1"};

std::vector<std::string> with(std::vector<std::string> before, std::vector<std::string> after) {
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

TEST(StrictCommands, Options) {
    expectEach({
        {with({"--json"}, air), ExitStatus::Success, "{\"station_pressure_hpa\":985.4"},
        {with(air, {"-q", "--json"}), ExitStatus::Success, "{\"station_pressure_hpa\":985.4"},
        {{"--units", "metric", "air", "--temperature", "30", "--pressure", "1000", "--json"},
         ExitStatus::Success,
         "{\"station_pressure_hpa\":1000,"},
        {with({"--batch", "/nonexistent"}, air), ExitStatus::UsageError,
         "--batch does not go with air"},
        {{"--hp", "900", "jet-for-hp", "--target-hp", "100"},
         ExitStatus::UsageError,
         "--hp does not go with jet-for-hp"},
        {with(air, {"--hp", "3"}), ExitStatus::UsageError, "--hp does not go with air"},
        {{"--nozzles", "4", "jet-for-hp", "--target-hp", "100"},
         ExitStatus::UsageError,
         "--nozzles of jet-for-hp goes after jet-for-hp"},
        {with(with({"--json"}, air), {"--json"}), ExitStatus::UsageError, "--json is given twice"},
        {{"--units", "metric"}, ExitStatus::UsageError, "--units goes with air, "},
    });
}

TEST(StrictCommands, Arguments) {
    expectEach({
        {{"--json=false"}, ExitStatus::UsageError, "--json takes no value"},
        {{"--json=banana"}, ExitStatus::UsageError, "--json takes no value"},
        {{"--json", "--json"}, ExitStatus::UsageError, "--json is given 2 times"},
        {{"--tracks", "-q", "-q"}, ExitStatus::UsageError, "--quiet is given 2 times"},
        {{"air", "--version"}, ExitStatus::Success, "moravik-calc "},
        {{"--batch", ""}, ExitStatus::UsageError, "--batch: give a file name"},
        {{"--track", "division 5", "--json"}, ExitStatus::Success, "{\"fields\""},
    });
}

// Beyond what any vehicle does the rules of thumb give inf, null or 300 digits.
TEST(StrictCommands, Overflow) {
    expectEach({
        {{"solve-hp", "--weight", "3400", "--et", "1e-300", "--json"},
         ExitStatus::UsageError,
         "--et: a quarter-mile ET must lie within 2 to 60 s"},
        {{"solve-hp", "--weight", "3400", "--et", "0.0001"}, ExitStatus::UsageError, "2 to 60 s"},
        {{"solve-hp", "--weight", "30000", "--et", "12"},
         ExitStatus::UsageError,
         "--weight: a weight with driver must lie within 100 to 20,000 lb"},
        {{"solve-hp", "--weight", "3000", "--mph", "500"}, ExitStatus::UsageError, "20 to 400 mph"},
        {{"convert", "--eighth-et", "1.7e308"}, ExitStatus::UsageError, "1.5 to 40 s"},
        {{"convert", "--quarter-et", "11", "--et-factor", "1e300"},
         ExitStatus::UsageError,
         "--et-factor: a factor from the eighth to the quarter must lie within 1 to 2"},
        {{"predict", "--et", "1.7e308", "--mph", "100", "--then", "60F 29.92inHg", "--now",
          "60F 29.92inHg"},
         ExitStatus::UsageError,
         "--et: the ET of a run must lie within 1.5 to 60 s"},
        {with(air, {"--observed-hp", "1e308"}), ExitStatus::UsageError, "1 to 20,000 hp"},
    });
}

// A value on a stated limit is in, whichever unit it is typed in.
TEST(StrictCommands, Limits) {
    const std::vector<std::string> sea{"--pressure", "29.92"};
    expectEach({
        {{"solve-hp", "--weight", "100lb", "--et", "60", "--json"}, ExitStatus::Success, "hp_"},
        {{"solve-hp", "--weight", "9071.8474kg", "--mph", "643.7376km/h", "--json"},
         ExitStatus::Success,
         "hp_"},
        {{"air", "--temperature", "30C", "--dew-point", "86F", "--pressure", "29.92"},
         ExitStatus::Success,
         "Dew point:                 86.0 F"},
        {{"air", "--temperature", "10C", "--dew-point", "50F", "--pressure", "29.92"},
         ExitStatus::Success,
         "Dew point:                 50.0 F"},
        {{"air", "--temperature", "5C", "--dew-point", "41F", "--pressure", "29.92"},
         ExitStatus::Success,
         "Dew point:                 41.0 F"},
        {{"air", "--temperature", "20C", "--dew-point", "-60C", "--pressure", "29.92"},
         ExitStatus::Success,
         "Dew point:                 -76.0 F"},
        {{"air", "--temperature", "20C", "--pressure", "1.1bar"},
         ExitStatus::Success,
         "32.48 inHg"},
        {{"predict", "--et", "12", "--mph", "110", "--then", "30C 29.92inHg dew 86F", "--now",
          "10C 29.92inHg dew 50F"},
         ExitStatus::Success,
         "ET then -> now"},
    });
}

// Nothing typed reaches the terminal as a control sequence, C0 or C1.
TEST(StrictCommands, Escapes) {
    const std::string csi =
        "x\x1b[31m\n\xc2\x9b"
        "2J";
    const std::vector<std::vector<std::string>> table{
        {"convert", "--eighth-et", "7", "--et-factor", csi},
        with(air, {"--standard", csi}),
        with(air, {"--units", csi}),
        {"air", "--temperature", csi, "--pressure", "29.9"},
        {"predict", "--et", "12", "--mph", "110", "--then", csi, "--now", "60F 29.92inHg"},
        {"predict", "--et", "12", "--mph", "110", "--then", "60F 29.92inHg", "--now", csi},
        {"--track", csi},
        {"solve-hp", "--weight", csi, "--et", "12"},
    };
    for (const auto& arguments : table) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, ExitStatus::UsageError) << arguments[1] << result.err;
        EXPECT_TRUE(contains(result.err, R"(x\x1b[31m\n\xc2\x9b2J)")) << result.err;
        EXPECT_FALSE(hasControlCharacter(result.err)) << result.err;
    }
}

TEST(StrictCommands, LongArgumentsAreEchoedCut) {
    const std::string huge(131072, '7');
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"air", "--temperature", huge + "X", "--pressure", "29.9"},
             {"convert", "--eighth-et", "7", "--et-factor", huge + "X"},
             {"--nitrous-jet", "1", huge},
             {"predict", "--et", "12", "--mph", "110", "--then", huge + "X", "--now", "60F"}}) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, ExitStatus::UsageError) << result.err.substr(0, 200);
        EXPECT_LT(result.err.size(), 400u) << result.err.substr(0, 400);
    }
}

TEST(StrictCommands, Widths) {
    const std::vector<std::vector<std::string>> table{
        {"--help"},
        {"air", "--help"},
        {"predict", "--help"},
        {"solve-hp", "--help"},
        {"convert", "--help"},
        {"jet-for-hp", "--help"},
        {"log", "--help"},
        {"log", "runs", "--help"},
        {"log", "predict", "--help"},

        {"--jet-chart", "0.1:0.13:0.01", "--nozzles", "2", "--track", "Denver, CO  5800"},
        {"--jet-chart", "0.1:0.13:0.01"},
        {"convert", "--eighth-et", "7.00", "--eighth-mph", "98.123", "--et-factor", "1.5712345",
         "--mph-factor", "1.2612345"},
        {"jet-for-hp", "--target-hp", "150", "--units", "metric"},
        {"solve-hp", "--weight", "3400", "--et", "12"},
        {"predict", "--et", "12", "--mph", "110", "--then", "86F 29.92inHg 40%", "--now",
         "60F 29.92inHg 20%", "--units", "metric"},
        with(air, {"--observed-hp", "450", "--dew-point", "50F"}),
    };
    for (const auto& arguments : table) {
        std::string typed;
        for (const auto& argument : arguments) typed += argument + ' ';
        const auto result = run(arguments);
        EXPECT_EQ(result.status, ExitStatus::Success) << typed << result.err;
        EXPECT_LE(widestLine(result.out), 80u) << typed << '\n' << result.out;
    }
}

TEST(StrictCommands, Messages) {
    expectEach({
        {{"air", "--temperature", "80", "--altimeter", "29.9", "--elevation", "5x"},
         ExitStatus::UsageError,
         "is not an elevation"},
        {{"jet-for-hp", "--target-hp", "100", "--fuel-pressure", "0"},
         ExitStatus::UsageError,
         "must lie within 1 to 32767 psi"},
        {{"air", "--temperature", "80", "--pressure", "29.9", "--dew-point", "-70C"},
         ExitStatus::UsageError,
         "within -60 °C (-76 °F) to the air temperature"},
        {{"jet-for-hp", "--target-hp", "150", "--units", "metric"},
         ExitStatus::Success,
         "Fuel / bottle pressure:    3.0 bar / 62.1 bar"},
    });
    const auto batch = run({"--batch"}, "{\"njt\":1e309}\n");
    EXPECT_EQ(batch.out,
              "{\"error\":\"line 1: the value of \\\"njt\\\" must be a string, found a "
              "number\"}\n");
}

}  // namespace
}  // namespace moravik::cli
