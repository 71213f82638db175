// The race-day subcommands (raceday.reference checks their figures; refusals.txt their refusals).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "moravik/answers/answers.h"
#include "moravik/answers/request_json.h"
#include "run_calc.h"

namespace moravik::cli {
namespace {

// A Denver report reads as the same weather typed by hand: 5.0 °C and -2.8 °C from the T group,
// 30.12 inHg from A3012; without its dew point, the humidity typed beside it stands in.
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

// 70 °F stands for the curve's 738 psi (raceday_reference.py bottle --temperature 70F), as the
// window's field rounds it, with a note; the same in --batch.
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

// A figure that is not finite ends the answer in the fault the Calculate pass names, as its
// manual page lists them (overflow, invalid argument), never in a null or an "inf".
TEST(RacedayAnswers, AFigureThatIsNotFiniteIsAnArithmeticFault) {
    const struct {
        double figure;
        Fault fault;
    } table[] = {
        {INFINITY, Fault::Overflow}, {-INFINITY, Fault::Overflow}, {NAN, Fault::InvalidArgument}};
    for (const auto& [figure, fault] : table) {
        const auto json = raceday::figuresJson([figure] {
            return JsonDocument{{"et_s", 10.5}, {"mph", jsonNumber(figure)}};
        });
        ASSERT_TRUE(std::holds_alternative<Fault>(json)) << figure;
        EXPECT_EQ(std::get<Fault>(json), fault) << figure;
    }
}

// The web page's requests are refused where moravik-calc's own checks (CLI11's) refuse them, naming
// the same options as fields, in a sentence without them.
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
        std::string named;  // the options the message names, in its order
        for (const auto& word : words(said))
            if (word.starts_with("--")) named += word + ' ';
        std::string fields;
        for (const auto& field : answer.value("fields", nlohmann::json::array()))
            fields += "--" + field.get<std::string>() + ' ';
        EXPECT_EQ(fields, named) << request;
        EXPECT_EQ(answer.value("error", "--").find("--"), std::string::npos) << request;
    }
}

// Nothing typed reaches the terminal as a control sequence, C0 or C1; a long argument is cut.
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
            EXPECT_TRUE(typed != csi || contains(result.err, R"(x\x1b[31m\n\xc2\x9b2J)")) << line;
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

}  // namespace
}  // namespace moravik::cli
