// The race-day subcommands held to the calculator's rules: options on either
// side of a subcommand, results that cannot be numbers, echoed text, widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_calc.h"

namespace moravik::cli {
namespace {

constexpr auto ok = ExitStatus::Success;
constexpr auto usage = ExitStatus::UsageError;

TEST(StrictCommands, OptionsAndArguments) {
    expectEach({
        {"--json air --temperature 80 --pressure 29.1", ok, "{\"station_pressure_hpa\":985.4"},
        {"air --temperature 80 --pressure 29.1 -q --json", ok, "{\"station_pressure_hpa\":985.4"},
        {"--units metric air --temperature 30 --pressure 1000 --json", ok,
         "{\"station_pressure_hpa\":1000,"},
        {"--batch /nonexistent air --temperature 80 --pressure 29.1", usage,
         "--batch does not go with air"},
        {"--hp 900 jet-for-hp --target-hp 100", usage, "--hp does not go with jet-for-hp"},
        {"air --temperature 80 --pressure 29.1 --hp 3", usage, "--hp does not go with air"},
        {"--nozzles 4 jet-for-hp --target-hp 100", usage,
         "--nozzles of jet-for-hp goes after jet-for-hp"},
        {"--json air --temperature 80 --pressure 29.1 --json", usage, "--json is given twice"},
        {"--units metric", usage, "--units goes with air, "},
        {"--json=false", usage, "--json takes no value"},
        {"--json=banana", usage, "--json takes no value"},
        {"--json --json", usage, "--json is given 2 times"},
        {"--tracks -q -q", usage, "--quiet is given 2 times"},
        {"air --version", ok, "moravik-calc "},
        {"--batch ''", usage, "--batch: give a file name"},
        {"--track 'division 5' --json", ok, "{\"fields\""},
    });
}

// Beyond what any vehicle does the rules of thumb give inf, null or 300 digits;
// a value on a stated limit is in, whichever unit it is typed in.
TEST(StrictCommands, OverflowAndLimits) {
    expectEach({
        {"solve-hp --weight 3400 --et 1e-300 --json", usage,
         "--et: a quarter-mile ET must lie within 2 to 60 s"},
        {"solve-hp --weight 3400 --et 0.0001", usage, "2 to 60 s"},
        {"solve-hp --weight 30000 --et 12", usage,
         "--weight: a weight with driver must lie within 100 to 20,000 lb"},
        {"solve-hp --weight 3000 --mph 500", usage, "20 to 400 mph"},
        {"convert --eighth-et 1.7e308", usage, "1.5 to 40 s"},
        {"convert --quarter-et 11 --et-factor 1e300", usage,
         "--et-factor: a factor from the eighth to the quarter must lie within 1 to 2"},
        {"predict --et 1.7e308 --mph 100 --then '60F 29.92inHg' --now '60F 29.92inHg'", usage,
         "--et: the ET of a run must lie within 1.5 to 60 s"},
        {"air --temperature 80 --pressure 29.1 --observed-hp 1e308", usage, "1 to 20,000 hp"},
        {"solve-hp --weight 100lb --et 60 --json", ok, "hp_"},
        {"solve-hp --weight 9071.8474kg --mph 643.7376km/h --json", ok, "hp_"},
        {"air --temperature 30C --dew-point 86F --pressure 29.92", ok,
         "Dew point:                 86.0 F"},
        {"air --temperature 10C --dew-point 50F --pressure 29.92", ok,
         "Dew point:                 50.0 F"},
        {"air --temperature 5C --dew-point 41F --pressure 29.92", ok,
         "Dew point:                 41.0 F"},
        {"air --temperature 20C --dew-point -60C --pressure 29.92", ok,
         "Dew point:                 -76.0 F"},
        {"air --temperature 20C --pressure 1.1bar", ok, "32.48 inHg"},
        {"predict --et 12 --mph 110 --then '30C 29.92inHg dew 86F' --now '10C 29.92inHg dew 50F'",
         ok, "ET then -> now"},
    });
}

// Nothing typed reaches the terminal as a control sequence, C0 or C1; a long
// argument is echoed cut.
TEST(StrictCommands, EscapesAndCuts) {
    const std::string csi =
        "x\x1b[31m\n\xc2\x9b"
        "2J";
    const std::string huge(131072, '7');
    for (const char* line :
         {"convert --eighth-et 7 --et-factor @",
          "air --temperature 80 --pressure 29.1 --standard @",
          "air --temperature 80 --pressure 29.1 --units @", "air --temperature @ --pressure 29.9",
          "predict --et 12 --mph 110 --then @ --now '60F 29.92inHg'",
          "predict --et 12 --mph 110 --then '60F 29.92inHg' --now @", "--track @",
          "solve-hp --weight @ --et 12", "--nitrous-jet 1 @"}) {
        for (const std::string& typed : {csi, huge + "X"}) {
            auto arguments = words(line);
            std::ranges::replace(arguments, std::string("@"), typed);
            const auto result = run(arguments);
            EXPECT_EQ(result.status, ExitStatus::UsageError) << line;
            EXPECT_LT(result.err.size(), 400u) << result.err.substr(0, 400);
            EXPECT_FALSE(hasControlCharacter(result.err)) << result.err;
            if (typed == csi) {
                EXPECT_TRUE(contains(result.err, R"(x\x1b[31m\n\xc2\x9b2J)")) << line;
            }
        }
    }
}

TEST(StrictCommands, Widths) {
    for (const char* line :
         {"--help", "air --help", "predict --help", "solve-hp --help", "convert --help",
          "jet-for-hp --help", "log --help", "log runs --help", "log predict --help",
          "--jet-chart 0.1:0.13:0.01 --nozzles 2 --track 'Denver, CO  5800'",
          "--jet-chart 0.1:0.13:0.01",
          "convert --eighth-et 7.00 --eighth-mph 98.123 --et-factor 1.5712345 "
          "--mph-factor 1.2612345",
          "jet-for-hp --target-hp 150 --units metric", "solve-hp --weight 3400 --et 12",
          "predict --et 12 --mph 110 --then '86F 29.92inHg 40%' --now '60F 29.92inHg 20%' "
          "--units metric",
          "air --temperature 80 --pressure 29.1 --observed-hp 450 --dew-point 50F"}) {
        const auto result = run(std::string_view(line));
        EXPECT_EQ(result.status, ExitStatus::Success) << line << result.err;
        EXPECT_LE(widestLine(result.out), 80u) << line << '\n' << result.out;
    }
}

TEST(StrictCommands, Messages) {
    expectEach({
        {"air --temperature 80 --altimeter 29.9 --elevation 5x", usage, "is not an elevation"},
        {"jet-for-hp --target-hp 100 --fuel-pressure 0", usage, "must lie within 1 to 32767 psi"},
        {"air --temperature 80 --pressure 29.9 --dew-point -70C", usage,
         "within -60 °C (-76 °F) to the air temperature"},
        {"jet-for-hp --target-hp 150 --units metric", ok,
         "Fuel / bottle pressure:    3.0 bar / 62.1 bar"},
    });
    EXPECT_EQ(run("--batch", "{\"njt\":1e309}\n").out,
              "{\"error\":\"line 1: the value of \\\"njt\\\" must be a string, found a "
              "number\"}\n");
}

}  // namespace
}  // namespace moravik::cli
