#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "moravik/answers/request_json.h"
#include "run_calc.h"

namespace moravik::cli {
namespace {

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
    const auto usage = ExitStatus::UsageError;
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
        EXPECT_EQ(answer.value("problem", ""), said.substr(said.find(": ") + 2)) << request;
    }
}

}  // namespace
}  // namespace moravik::cli
