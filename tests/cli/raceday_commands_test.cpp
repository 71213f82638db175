#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "moravik/answers/request_json.h"
#include "run_calc.h"

namespace moravik::cli {
namespace {

nlohmann::ordered_json jsonOf(const std::vector<std::string>& arguments) {
    const auto result = run(arguments);
    EXPECT_EQ(result.status, ExitStatus::Success) << result.err;
    return nlohmann::ordered_json::parse(result.out);
}

// A Denver report reads as the same weather typed by hand: 5.0 °C and -2.8 °C from the T group,
// 30.12 inHg from A3012; without its dew point, the humidity typed beside it stands in.
// raceday.reference checks every other key and figure.
TEST(AirCommand, TakesTheWeatherFromAMetar) {
    const std::vector<std::string> kden{
        "--metar", "KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 SLP198 T00501028"};
    const std::vector<std::string> kdenTyped{"--temperature", "5C", "--dew-point=-2.8C"};
    const std::vector<std::string> noDewPoint{"--metar", "KDEN 061853Z 05/ A3012=", "--humidity",
                                              "40"};
    const std::vector<std::string> noDewPointTyped{"--temperature", "5C", "--humidity", "40"};
    for (const auto& [metar, typed] : {std::pair{kden, kdenTyped}, {noDewPoint, noDewPointTyped}}) {
        for (const std::string format : {"--json", "--units=imperial"}) {
            std::vector<std::string> fromMetar{"air", "--elevation", "5434ft", format};
            fromMetar.insert(fromMetar.end(), metar.begin(), metar.end());
            std::vector<std::string> byHand{"air",         "--altimeter", "30.12inHg",
                                            "--elevation", "5434ft",      format};
            byHand.insert(byHand.end(), typed.begin(), typed.end());
            const auto read = run(fromMetar);
            EXPECT_EQ(read.status, ExitStatus::Success) << read.err;
            EXPECT_EQ(read.out, run(byHand).out);
            EXPECT_FALSE(read.out.empty());
        }
    }
}

// MetPy's METAR tests: Amman Marka gives Q1013 and A2991; the report says which it used.
TEST(AirCommand, SaysWhichAltimeterGroupOfAMetarItUsed) {
    const std::string ojam = "METAR OJAM 050000Z 04004KT 4000 DU NSC 13/08 Q1013 A2991 NOSIG";
    const auto result = run({"air", "--metar", ojam, "--elevation", "779m"});
    EXPECT_NE(
        result.out.find(
            "Note:                      Both given: A2991 is used, not Q1013 (finer unit).\n"),
        std::string::npos)
        << result.out;
    const auto json = jsonOf({"air", "--metar", ojam, "--elevation", "779m", "--json"});
    EXPECT_NE(json["notes"][0].get<std::string>().find("A2991 is used"), std::string::npos);
}

TEST(PredictCommand, CarriesTheRunToTheNewWeather) {
    const auto json = jsonOf({"predict", "--et", "12.1", "--mph", "108.5", "--then",
                              "86F 29.10inHg 40%", "--now", "60F baro 29.92inHg rh 0", "--json"});
    EXPECT_NEAR(json["predicted_et_s"].get<double>(), 11.822622067339976, 1e-12);
    EXPECT_NEAR(json["predicted_mph"].get<double>(), 111.04558637857092, 1e-12);
}

TEST(RacedayCommands, ReportUsageErrorsNamingTheOptionAndItsUnits) {
    const struct {
        std::vector<std::string> arguments;
        std::string says;
    } table[] = {
        {{"air", "--temperature", "86X", "--pressure", "29.92"}, "--temperature: \"86X\""},
        {{"air", "--temperature", "nan", "--pressure", "29.92"}, "units F, C, K"},
        {{"air", "--temperature", "86"}, "give --pressure"},
        {{"air", "--temperature", "61C", "--pressure", "29.92"}, "--temperature: temperature must"},
        {{"air", "--temperature", "86", "--pressure", "400hPa"}, "units inHg, hPa"},
        {{"air", "--temperature", "86", "--pressure", "29.92", "--dew-point", "90F"},
         "--dew-point: dew point must not lie above"},
        {{"air", "--temperature", "86", "--pressure", "29.92", "--humidity", "101"}, "--humidity"},
        {{"air", "--temperature", "86", "--pressure", "29.92", "--units", "si"}, "--units"},
        {{"air", "--temperature", "86", "--pressure", "29.92", "--standard", "sae"}, "din-70020"},
        {{"air", "--pressure", "29.92"}, "give --temperature, or --metar"},
        {{"air", "--temperature", "86", "--elevation", "5434ft"}, "--elevation needs --altimeter"},
        {{"air", "--metar", "KDEN 061853Z 05/M03 A3012"}, "--metar needs --elevation"},
        {{"air", "--metar", "KDEN 061853Z 05/M03 A3012", "--elevation", "5434", "--dew-point", "0"},
         "--metar: the METAR gives the dew point; leave out --humidity or --dew-point"},
        {{"air", "--metar", "KDEN 061853Z 05/ A3012", "--elevation", "5434"},
         "--metar: the METAR gives no dew point; give --humidity or --dew-point beside it"},
        {{"air", "--metar", "KDEN 061853Z M05/ A3012", "--elevation", "5434", "--dew-point", "0C"},
         "--dew-point: dew point must not lie above"},
        {{"air", "--metar", "", "--elevation", "5434"}, "--metar: paste one METAR"},
        {{"solve-hp", "--weight", "0", "--et", "12"},
         "--weight: a weight with driver must lie within"},
        {{"solve-hp", "--weight", "3000"}, "give --et or --mph"},
        {{"convert"}, "give --eighth-et or --quarter-et"},
        {{"convert", "--quarter-et", "11", "--mph-factor", "fast"}, "--mph-factor"},
        {{"jet-for-hp", "--target-hp", "100", "--nozzles", "two"}, "--nozzles"},
        {{"jet-for-hp", "--target-hp", "100", "--bottle-pressure", "0psi"}, "--bottle-pressure"},
        {{"bottle"}, "give --temperature or --pressure"},
        {{"bottle", "--temperature", "98F"}, "--temperature: above 97.56 °F (36.42 °C)"},
        {{"bottle", "--pressure", "65"}, "--pressure: the curve covers a bottle from 176.8 psi"},
        {{"bottle", "--pressure", "65", "--units", "metric", "--outside-pressure", "400hPa"},
         "--outside-pressure: the outside air's pressure must lie within"},
        {{"bottle", "--pressure", "950inHg"}, "psi, psig, psia, bar, kPa"},
        {{"bottle", "--temperature", "85", "--tune-pressure", "0"},
         "--tune-pressure: bottle pressure must lie within 1 to 32767 psi"},
        {{"jet-for-hp", "--target-hp", "100", "--bottle-temperature", "-31C"},
         "--bottle-temperature: the curve covers"},
        {{"--bottle-temperature", "hot"}, "--bottle-temperature: \"hot\" is not a temperature"},
        {{"predict", "--et", "12", "--mph", "110", "--then", "86F 40%", "--now", "60F 29.92inHg"},
         "--then: give either a station pressure"},
        {{"predict", "--et", "12", "--mph", "110", "--then", "86F 29.92inHg", "--now",
          "70C 29.92inHg"},
         "--now: temperature must"},
    };
    for (const auto& [arguments, says] : table) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, ExitStatus::UsageError) << arguments.front() << ' ' << says;
        EXPECT_NE(result.err.find(says), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
    }
}

// The bottle temperature stands for the bottle pressure the curve gives:
// 738 psi at 70 °F (raceday_reference.py bottle --temperature 70F), rounded as
// the window's field takes it, with a note; the same in --batch.
TEST(BottleTemperature, FillsTheBottlePressure) {
    const auto byPressure = run({"--nitrous-jet", ".062", "--bottle-pressure", "738", "--json"});
    const auto byTemperature =
        run({"--nitrous-jet", ".062", "--bottle-temperature", "70F", "--json"});
    EXPECT_EQ(byTemperature.out, byPressure.out);
    EXPECT_TRUE(contains(byTemperature.err, "gives a bottle pressure of 738 psi"))
        << byTemperature.err;
    const auto batch = run({"--batch"}, "{\"njt\":\".062\",\"bottle_temperature\":\"70\"}\n");
    EXPECT_EQ(batch.out, byPressure.out);
    const auto both = run({"--batch"}, "{\"nbp\":\"900\",\"bottle_temperature\":\"70\"}\n");
    EXPECT_TRUE(contains(both.out, "cannot be used together")) << both.out;
}

// The web page asks the core with a request of named texts; options that go
// together only in some ways must be refused there in moravik-calc's words,
// which come from CLI11's checks of the same relations.
TEST(RacedayRequests, AreRefusedAsTheCommandLineRefusesThem) {
    const struct {
        std::vector<std::string> arguments;
        std::string request;
    } table[] = {
        {{"air", "--temperature", "80", "--pressure", "29", "--altimeter", "30"},
         R"({"temperature":"80","pressure":"29","altimeter":"30"})"},
        {{"air", "--temperature", "80", "--altimeter", "30"},
         R"({"temperature":"80","altimeter":"30"})"},
        {{"air", "--metar", "KDEN 05/M03 A3012", "--dew-point", "0"},
         R"({"metar":"KDEN 05/M03 A3012","dew-point":"0"})"},
        {{"air", "--metar", "KDEN 05/M03 A3012", "--altimeter", "30", "--elevation", "9"},
         R"({"metar":"KDEN 05/M03 A3012","altimeter":"30","elevation":"9"})"},
        {{"predict", "--mph", "110", "--then", "86F 29.92inHg"},
         R"({"mph":"110","then":"86F 29.92inHg"})"},
        {{"solve-hp", "--et", "12", "--mph", "110"}, R"({"et":"12","mph":"110"})"},
        {{"solve-hp", "--weight", "3000", "--et", "12", "--mph", "110"},
         R"({"weight":"3000","et":"12","mph":"110"})"},
        {{"convert", "--eighth-et", "7", "--quarter-et", "11"},
         R"({"eighth-et":"7","quarter-et":"11"})"},
        {{"convert", "--quarter-mph", "110"}, R"({"quarter-mph":"110"})"},
        {{"jet-for-hp", "--nozzles", "2"}, R"({"nozzles":"2"})"},
    };
    for (const auto& [arguments, request] : table) {
        const auto result = run(arguments);
        ASSERT_EQ(result.status, ExitStatus::UsageError) << result.err;
        const std::string line = result.err.substr(0, result.err.find('\n'));
        const auto answer = nlohmann::json::parse(
            raceday::answerJson(arguments.front(), request, raceday::UnitTexts::Ascii));
        EXPECT_EQ(answer.value("problem", ""), line.substr(line.find(": ") + 2)) << request;
    }
}

TEST(RacedayCommands, DocumentUnitsDefaultsAndTheWeatherGrammarInHelp) {
    const auto air = run({"air", "--help"});
    EXPECT_EQ(air.status, ExitStatus::Success);
    EXPECT_NE(air.out.find("units F, C, K"), std::string::npos);
    EXPECT_NE(air.out.find("default sae-j607"), std::string::npos);
    const auto predict = run({"predict", "--help"});
    EXPECT_NE(predict.out.find("alt A      altimeter setting"), std::string::npos);
    const auto jet = run({"jet-for-hp", "--help"});
    EXPECT_NE(jet.out.find("default 900 psi"), std::string::npos);
}

}  // namespace
}  // namespace moravik::cli
