// The race-day subcommands: their options and words, and the calculator's rules
// held for them (options on either side of a subcommand, results that cannot be
// numbers, echoed text, widths). raceday.reference checks their figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "moravik/answers/request_json.h"
#include "run_calc.h"

namespace moravik::cli {
namespace {

constexpr auto ok = ExitStatus::Success;
constexpr auto usage = ExitStatus::UsageError;

nlohmann::ordered_json jsonOf(const std::string& line) {
    const auto result = run(line);
    EXPECT_EQ(result.status, ExitStatus::Success) << result.err;
    return nlohmann::ordered_json::parse(result.out);
}

// A Denver report reads as the same weather typed by hand: 5.0 °C and -2.8 °C from the T group,
// 30.12 inHg from A3012; without its dew point, the humidity typed beside it stands in.
// raceday.reference checks every other key and figure.
TEST(AirCommand, TakesTheWeatherFromAMetar) {
    const struct {
        const char *metar, *typed;
    } table[] = {
        {"--metar 'KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 SLP198 T00501028'",
         "--temperature 5C --dew-point=-2.8C"},
        {"--metar 'KDEN 061853Z 05/ A3012=' --humidity 40", "--temperature 5C --humidity 40"},
    };
    for (const auto& [metar, typed] : table) {
        for (const std::string format : {" --json ", " --units=imperial "}) {
            const auto read = run("air --elevation 5434ft" + format + metar);
            EXPECT_EQ(read.status, ExitStatus::Success) << read.err;
            EXPECT_EQ(read.out,
                      run("air --altimeter 30.12inHg --elevation 5434ft" + format + typed).out);
            EXPECT_FALSE(read.out.empty());
        }
    }
}

// MetPy's METAR tests: Amman Marka gives Q1013 and A2991; the report says which it used.
TEST(AirCommand, SaysWhichAltimeterGroupOfAMetarItUsed) {
    const std::string ojam =
        "air --elevation 779m --metar 'METAR OJAM 050000Z 04004KT 4000 DU NSC 13/08 Q1013 A2991 "
        "NOSIG'";
    EXPECT_TRUE(contains(
        run(ojam).out,
        "Note:                      Both given: A2991 is used, not Q1013 (finer unit).\n"));
    EXPECT_TRUE(contains(jsonOf(ojam + " --json")["notes"][0].get<std::string>(), "A2991 is used"));
}

TEST(RacedayCommands, ReportUsageErrorsNamingTheOptionAndItsUnits) {
    expectEach({
        {"air --temperature 86X --pressure 29.92", usage, "--temperature: \"86X\""},
        {"air --temperature nan --pressure 29.92", usage, "units F, C, K"},
        {"air --temperature 86", usage, "give --pressure"},
        {"air --temperature 61C --pressure 29.92", usage, "--temperature: temperature must"},
        {"air --temperature 86 --pressure 400hPa", usage, "units inHg, hPa"},
        {"air --temperature 86 --pressure 29.92 --dew-point 90F", usage,
         "--dew-point: dew point must not lie above"},
        {"air --temperature 86 --pressure 29.92 --humidity 101", usage, "--humidity"},
        {"air --temperature 86 --pressure 29.92 --units si", usage, "--units"},
        {"air --temperature 86 --pressure 29.92 --standard sae", usage, "din-70020"},
        {"air --pressure 29.92", usage, "give --temperature, or --metar"},
        {"air --temperature 86 --elevation 5434ft", usage, "--elevation needs --altimeter"},
        {"air --metar 'KDEN 061853Z 05/M03 A3012'", usage, "--metar needs --elevation"},
        {"air --metar 'KDEN 061853Z 05/M03 A3012' --elevation 5434 --dew-point 0", usage,
         "--metar: the METAR gives the dew point; leave out --humidity or --dew-point"},
        {"air --metar 'KDEN 061853Z 05/ A3012' --elevation 5434", usage,
         "--metar: the METAR gives no dew point; give --humidity or --dew-point beside it"},
        {"air --metar 'KDEN 061853Z M05/ A3012' --elevation 5434 --dew-point 0C", usage,
         "--dew-point: dew point must not lie above"},
        {"air --metar '' --elevation 5434", usage, "--metar: paste one METAR"},
        {"solve-hp --weight 0 --et 12", usage, "--weight: a weight with driver must lie within"},
        {"solve-hp --weight 3000", usage, "give --et or --mph"},
        {"convert", usage, "give --eighth-et or --quarter-et"},
        {"convert --quarter-et 11 --mph-factor fast", usage, "--mph-factor"},
        {"jet-for-hp --target-hp 100 --nozzles two", usage, "--nozzles"},
        {"jet-for-hp --target-hp 100 --bottle-pressure 0psi", usage, "--bottle-pressure"},
        {"bottle", usage, "give --temperature or --pressure"},
        {"bottle --temperature 98F", usage, "--temperature: above 97.56 °F (36.42 °C)"},
        {"bottle --pressure 65", usage, "--pressure: the curve covers a bottle from 176.8 psi"},
        {"bottle --pressure 65 --units metric --outside-pressure 400hPa", usage,
         "--outside-pressure: the outside air's pressure must lie within"},
        {"bottle --pressure 950inHg", usage, "psi, psig, psia, bar, kPa"},
        {"bottle --temperature 85 --tune-pressure 0", usage,
         "--tune-pressure: bottle pressure must lie within 1 to 32767 psi"},
        {"jet-for-hp --target-hp 100 --bottle-temperature -31C", usage,
         "--bottle-temperature: the curve covers"},
        {"--bottle-temperature hot", usage, "--bottle-temperature: \"hot\" is not a temperature"},
        {"predict --et 12 --mph 110 --then '86F 40%' --now '60F 29.92inHg'", usage,
         "--then: give either a station pressure"},
        {"predict --et 12 --mph 110 --then '86F 29.92inHg' --now '70C 29.92inHg'", usage,
         "--now: temperature must"},
        {"air --temperature 80 --altimeter 29.9 --elevation 5x", usage, "is not an elevation"},
        {"jet-for-hp --target-hp 100 --fuel-pressure 0", usage, "must lie within 1 to 32767 psi"},
        {"air --temperature 80 --pressure 29.9 --dew-point -70C", usage,
         "within -60 °C (-76 °F) to the air temperature"},
        {"jet-for-hp --target-hp 150 --units metric", ExitStatus::Success,
         "Fuel / bottle pressure:    3.0 bar / 62.1 bar"},
        // Help gives the units, defaults and the weather's grammar.
        {"air --help", ExitStatus::Success, "units F, C, K"},
        {"air --help", ExitStatus::Success, "default sae-j607"},
        {"predict --help", ExitStatus::Success, "alt A      altimeter setting"},
        {"jet-for-hp --help", ExitStatus::Success, "default 900 psi"},
    });
}

// The bottle temperature stands for the bottle pressure the curve gives:
// 738 psi at 70 °F (raceday_reference.py bottle --temperature 70F), rounded as
// the window's field takes it, with a note; the same in --batch.
TEST(BottleTemperature, FillsTheBottlePressure) {
    const auto byPressure = run("--nitrous-jet .062 --bottle-pressure 738 --json");
    const auto byTemperature = run("--nitrous-jet .062 --bottle-temperature 70F --json");
    EXPECT_EQ(byTemperature.out, byPressure.out);
    EXPECT_TRUE(contains(byTemperature.err, "gives a bottle pressure of 738 psi"))
        << byTemperature.err;
    const auto batch = run("--batch", "{\"njt\":\".062\",\"bottle_temperature\":\"70\"}\n");
    EXPECT_EQ(batch.out, byPressure.out);
    const auto both = run("--batch", "{\"nbp\":\"900\",\"bottle_temperature\":\"70\"}\n");
    EXPECT_TRUE(contains(both.out, "cannot be used together")) << both.out;
}

// The web page asks the core with a request of named texts; options that go
// together only in some ways must be refused there in moravik-calc's words,
// which come from CLI11's checks of the same relations.
TEST(RacedayRequests, AreRefusedAsTheCommandLineRefusesThem) {
    const struct {
        const char *line, *request;
    } table[] = {
        {"air --temperature 80 --pressure 29 --altimeter 30",
         R"({"temperature":"80","pressure":"29","altimeter":"30"})"},
        {"air --temperature 80 --altimeter 30", R"({"temperature":"80","altimeter":"30"})"},
        {"air --metar 'KDEN 05/M03 A3012' --dew-point 0",
         R"({"metar":"KDEN 05/M03 A3012","dew-point":"0"})"},
        {"air --metar 'KDEN 05/M03 A3012' --altimeter 30 --elevation 9",
         R"({"metar":"KDEN 05/M03 A3012","altimeter":"30","elevation":"9"})"},
        {"predict --mph 110 --then '86F 29.92inHg'", R"({"mph":"110","then":"86F 29.92inHg"})"},
        {"solve-hp --et 12 --mph 110", R"({"et":"12","mph":"110"})"},
        {"solve-hp --weight 3000 --et 12 --mph 110", R"({"weight":"3000","et":"12","mph":"110"})"},
        {"convert --eighth-et 7 --quarter-et 11", R"({"eighth-et":"7","quarter-et":"11"})"},
        {"convert --quarter-mph 110", R"({"quarter-mph":"110"})"},
        {"jet-for-hp --nozzles 2", R"({"nozzles":"2"})"},
    };
    for (const auto& [line, request] : table) {
        const auto result = run(std::string_view(line));
        ASSERT_EQ(result.status, ExitStatus::UsageError) << result.err;
        const std::string said = result.err.substr(0, result.err.find('\n'));
        const auto answer = nlohmann::json::parse(
            raceday::answerJson(words(line).front(), request, raceday::UnitTexts::Ascii));
        EXPECT_EQ(answer.value("error", ""), said.substr(said.find(": ") + 2)) << request;
    }
}

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

TEST(StrictCommands, ABatchNumberIsRefusedAsNoString) {
    EXPECT_EQ(run("--batch", "{\"njt\":1e309}\n").out,
              "{\"error\":\"line 1: the value of \\\"njt\\\" must be a string, found a "
              "number\"}\n");
}

}  // namespace
}  // namespace moravik::cli
