#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/batch.h>
#include <moravik/cli/output.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace moravik::cli {
namespace {

using namespace std::string_literals;

TEST(BatchLine, BlankLinesGiveNoOutput) {
    for (const std::string line : {"", " ", "\t", "\r", " \t\r "})
        EXPECT_FALSE(batchLine(line, 1).has_value()) << '"' << line << '"';
}

struct KeyCase {
    std::string key;
    std::string value;
    std::string InputTexts::*field;
};

TEST(BatchLine, EachKeySetsItsInputField) {
    const std::vector<KeyCase> cases{
        {"njt", ".045", &InputTexts::njt},
        {"flp", "10", &InputTexts::flp},
        {"nbp", "2000", &InputTexts::nbp},
        {"jtn", "4", &InputTexts::jtn},
        {"draghp", "300", &InputTexts::draghp},
        {"vweight", "3000", &InputTexts::vweight},
        {"altitudeDD", "Denver, CO  5800", &InputTexts::altitudeDD},
    };
    const auto defaults = outcomeJson(calculate({}));
    for (const auto& [key, value, field] : cases) {
        InputTexts inputs;
        inputs.*field = value;
        const auto output = batchLine(nlohmann::json{{key, value}}.dump(), 1);
        ASSERT_TRUE(output.has_value());
        EXPECT_TRUE(output->valid);
        EXPECT_EQ(output->json, outcomeJson(calculate(inputs))) << key;
        EXPECT_NE(output->json, defaults) << key;
    }
}

TEST(BatchLine, MissingKeysKeepTheInitialTexts) {
    for (const std::string line : {"{}", " { } ", "{\"flp\":\"43\"}", "{}\r"})
        EXPECT_EQ(batchLine(line, 1)->json, outcomeJson(calculate({}))) << line;
}

TEST(BatchLine, AFaultIsAValidLine) {
    const auto output = batchLine(R"({"flp":"", "njt":".030"})", 3);
    EXPECT_TRUE(output->valid);
    EXPECT_EQ(output->json, R"({"fault":"division by zero"})");
}

TEST(BatchLine, UnusableLinesGiveAnErrorNamingLineAndReason) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {R"({"njt":".030")", "not valid JSON"},
        {"njt=.030", "not valid JSON"},
        {"{} {}", "not valid JSON"},
        {"{\"njt\":\"\xff\"}", "not valid JSON"},
        {R"({"njt":"1"} x)", "not valid JSON"},
        {"{\"njt\":\"1\"}\0{\"flp\":\"0\"}"s, "contains a NUL byte"},
        {R"(["njt"])", "expected a JSON object, found an array"},
        {R"("njt")", "expected a JSON object, found a string"},
        {"null", "expected a JSON object, found null"},
        {"42", "expected a JSON object, found a number"},
        {"true", "expected a JSON object, found a boolean"},
        {R"({"njt":0.03})", R"(the value of "njt" must be a string, found a number)"},
        {R"({"jtn":null})", R"(the value of "jtn" must be a string, found null)"},
        {R"({"flp":["43"]})", R"(the value of "flp" must be a string, found an array)"},
        {R"({"nbp":{"psi":"900"}})", R"(the value of "nbp" must be a string, found an object)"},
        {R"({"speed":"1"})", R"(unknown key "speed")"},
        {R"({"NJT":"1"})", R"(unknown key "NJT")"},
        {R"({"njt":"1","njt":"2"})", R"(duplicate key "njt")"},
        {R"({"altitudeDD":"Denver, CO 5800"})", "not an entry of the track list"},
    };
    for (const auto& [line, reason] : cases) {
        const auto output = batchLine(line, 7);
        ASSERT_TRUE(output.has_value()) << line;
        EXPECT_FALSE(output->valid) << line;
        const auto json = nlohmann::json::parse(output->json);
        ASSERT_EQ(json.size(), 1u) << output->json;
        const auto message = json.at("error").get<std::string>();
        EXPECT_TRUE(message.starts_with("line 7: ")) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
}

TEST(BatchLine, HugeOrStrangeLinesGiveShortValidOutput) {
    const std::vector<std::string> lines{
        std::string(10'000'000, '7'),
        std::string(10'000'000, '['),
        std::string(10'000'000, '{'),
        R"({")" + std::string(1'000'000, 'k') + R"(":"1"})",
        R"({")" + std::string(300, 'x') + "\xc3\xa9" + R"(":"1"})",
        R"({"njt":")" + std::string(10'000'000, '9') + R"("})",
        R"({"vweight":"\u0000\u0001"})",
    };
    for (const auto& line : lines) {
        const auto output = batchLine(line, 2);
        ASSERT_TRUE(output.has_value());
        EXPECT_LT(output->json.size(), 2000u);
        EXPECT_TRUE(nlohmann::json::accept(output->json)) << output->json;
    }
}

TEST(RunBatch, AnswersEveryNonBlankLineInOrderAndReportsInvalidOnes) {
    InputTexts twoNozzles;
    twoNozzles.jtn = "2";
    std::istringstream in("{}\n\nnot json\r\n{\"flp\":\"0\"}\n   \n{\"jtn\":\"2\"}");
    std::ostringstream out;
    EXPECT_FALSE(runBatch(in, out));
    const std::string expected =
        outcomeJson(calculate({})) + "\n" + "{\"error\":\"line 3: not valid JSON (at byte 2)\"}\n" +
        "{\"fault\":\"division by zero\"}\n" + outcomeJson(calculate(twoNozzles)) + "\n";
    EXPECT_EQ(out.str(), expected);
}

TEST(RunBatch, AllValidLinesAndEmptyInputSucceed) {
    std::istringstream valid("{}\n{\"vweight\":\"\"}\n");
    std::ostringstream out;
    EXPECT_TRUE(runBatch(valid, out));
    EXPECT_EQ(out.str(), outcomeJson(calculate({})) + "\n{\"fault\":\"division by zero\"}\n");
    std::istringstream empty;
    std::ostringstream nothing;
    EXPECT_TRUE(runBatch(empty, nothing));
    EXPECT_EQ(nothing.str(), "");
}

TEST(IsTrackChoice, AcceptsNoTrackAndExactEntriesOnly) {
    const std::vector<std::pair<std::string, bool>> cases{
        {"", true},
        {"Denver, CO  5800", true},
        {"DIVISION 5  ", true},
        {"------------------", true},
        {"Denver, CO 5800", false},
        {"denver, co  5800", false},
        {"DIVISION 5", false},
        {" ", false},
    };
    for (const auto& [text, accepted] : cases) EXPECT_EQ(isTrackChoice(text), accepted) << text;
}

}  // namespace
}  // namespace moravik::cli
