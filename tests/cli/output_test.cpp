#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/batch.h>
#include <moravik/cli/jet_chart.h>
#include <moravik/cli/output.h>

#include <nlohmann/json.hpp>
#include <string>
#include <variant>
#include <vector>

namespace moravik::cli {
namespace {

using namespace std::string_literals;

TEST(BatchLine, HugeOrStrangeLinesGiveOneShortLine) {
    const std::string known = " (known: njt, flp, nbp, jtn, draghp, vweight, altitudeDD)";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"{\"njt\":\"1\"}\0{\"flp\":\"0\"}"s, R"(line 2: contains a NUL byte)"},
        {"{\"njt\":\"\xff\"}", R"(line 2: not valid JSON (at byte 9))"},
        {std::string(10'000'000, '7'), R"(line 2: not valid JSON (at byte 10000000))"},
        {std::string(10'000'000, '['), R"(line 2: expected a JSON object, found an array)"},
        {std::string(10'000'000, '{'), R"(line 2: not valid JSON (at byte 2))"},
        {R"({")" + std::string(1'000'000, 'k') + R"(":"1"})",
         R"(line 2: unknown key \")" + std::string(40, 'k') + R"(...\")" + known},
        // A long key is cut before the two-byte character that straddles the limit.
        {R"({")" + std::string(39, 'x') + "\xc3\xa9" + R"(":"1"})",
         R"(line 2: unknown key \")" + std::string(39, 'x') + R"(...\")" + known},
    };
    for (const auto& [line, error] : cases) {
        const auto output = batchLine(line, 2);
        ASSERT_TRUE(output.has_value()) << error;
        EXPECT_FALSE(output->valid) << error;
        EXPECT_EQ(output->json, R"({"error":")" + error + "\"}");
    }
    const auto hugeJet = batchLine(R"({"njt":")" + std::string(10'000'000, '9') + R"("})", 2);
    EXPECT_EQ(hugeJet.value().json, R"({"fault":"overflow"})");
}

TEST(OutcomeJson, IsWhatTheJsonLibraryReadsBack) {
    InputTexts denver;
    denver.altitudeDD = "Denver, CO  5800";
    const auto outcome = calculate(denver);
    const auto parsed = nlohmann::ordered_json::parse(outcomeJson(outcome));
    nlohmann::ordered_json expected;
    const auto& results = std::get<ResultTexts>(outcome);
    for (std::size_t i = 0; i < results.size(); ++i) {
        expected["fields"][std::string(moravik::resultFieldNames[i])] = results[i].str();
    }
    EXPECT_EQ(parsed, expected);
    denver.flp.clear();
    EXPECT_EQ(outcomeJson(calculate(denver)), R"({"fault":"division by zero"})");
}

TEST(JetChart, EachRowIsAPassOverItsOwnExactJetText) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"0:0.3:0.1", {"0", "0.1", "0.2", "0.3"}},  // 3 * 0.1 is not 0.3 in binary
        {".01:.1:.04", {"0.01", "0.05", "0.09"}},   // the last step stays below TO
        {"2.:3.5:0.50", {"2", "2.5", "3", "3.5"}},
        {"0.075:0.075:0.001", {"0.075"}},
        {"999999.998:999999.999:0.001", {"999999.998", "999999.999"}},
    };
    InputTexts inputs;
    inputs.jtn = "4";
    inputs.altitudeDD = "Boise, ID  2700";
    for (const auto& [text, jets] : cases) {
        const auto range = parseJetRange(text);
        ASSERT_TRUE(std::holds_alternative<JetRange>(range)) << text;
        const auto rows = jetChart(std::get<JetRange>(range), inputs);
        ASSERT_EQ(rows.size(), jets.size()) << text;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            auto rowInputs = inputs;
            rowInputs.njt = jets[i];
            EXPECT_EQ(rows[i].jet, jets[i]) << text;
            EXPECT_EQ(rows[i].outcome, calculate(rowInputs)) << jets[i];
        }
    }
    const auto largest = parseJetRange("0:9.999:0.001");
    ASSERT_TRUE(std::holds_alternative<JetRange>(largest));
    EXPECT_EQ(jetChart(std::get<JetRange>(largest), {}).size(), 10000u);
}

}  // namespace
}  // namespace moravik::cli
