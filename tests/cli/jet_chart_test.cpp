#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/jet_chart.h>
#include <moravik/cli/output.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace moravik::cli {
namespace {

struct ValidRange {
    std::string text;
    JetRange expected;
};

TEST(ParseJetRange, ReadsDecimalsAsExactThousandths) {
    const std::vector<ValidRange> cases{
        {"0:0.1:0.025", {0, 100, 25}},      {".05:.075:.005", {50, 75, 5}},
        {"1:2:1", {1000, 2000, 1000}},      {"0.1:0.1:0.001", {100, 100, 1}},
        {"0.3:0.9:0.1", {300, 900, 100}},   {"0:9.999:0.001", {0, 9999, 1}},  // 10000 rows
        {"2.:3.5:0.50", {2000, 3500, 500}},
    };
    for (const auto& [text, expected] : cases) {
        const auto range = parseJetRange(text);
        ASSERT_TRUE(std::holds_alternative<JetRange>(range)) << text;
        const auto& parsed = std::get<JetRange>(range);
        EXPECT_EQ(parsed.from, expected.from) << text;
        EXPECT_EQ(parsed.to, expected.to) << text;
        EXPECT_EQ(parsed.step, expected.step) << text;
    }
}

TEST(ParseJetRange, RejectsBadFormsWithAReason) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "FROM:TO:STEP"},
        {"0:1", "FROM:TO:STEP"},
        {"0:1:0.1:2", "not a jet size"},
        {"a:1:1", "not a jet size"},
        {".:1:1", "not a jet size"},
        {"0.0001:1:1", "at most three decimals"},
        {"-1:0:1", "not a jet size"},
        {"1e3:2000:1", "not a jet size"},
        {" 0:1:1", "not a jet size"},
        {"1234567:1234568:1", "not a jet size"},
        {"0:1:0", "STEP must be greater than 0"},
        {"0:1:0.000", "STEP must be greater than 0"},
        {"1:0:0.1", "TO must not be less than FROM"},
        {"0:10:0.001", "10001 rows"},
    };
    for (const auto& [text, reason] : cases) {
        const auto range = parseJetRange(text);
        ASSERT_TRUE(std::holds_alternative<std::string>(range)) << text;
        EXPECT_NE(std::get<std::string>(range).find(reason), std::string::npos)
            << text << ": " << std::get<std::string>(range);
    }
}

TEST(JetText, WritesThousandthsAsAUserWouldTypeThem) {
    const std::vector<std::pair<std::int64_t, std::string>> cases{
        {0, "0"},    {5, "0.005"},  {50, "0.05"},      {75, "0.075"}, {100, "0.1"},
        {1000, "1"}, {1500, "1.5"}, {12345, "12.345"}, {300, "0.3"},  {999999999, "999999.999"},
    };
    for (const auto& [thousandths, text] : cases) EXPECT_EQ(jetText(thousandths), text);
}

TEST(JetChart, EachRowIsAPassOverItsOwnExactJetText) {
    InputTexts inputs;
    inputs.jtn = "4";
    inputs.altitudeDD = "Boise, ID  2700";
    const auto rows = jetChart({0, 300, 100}, inputs);
    const std::vector<std::string> jets{"0", "0.1", "0.2", "0.3"};
    ASSERT_EQ(rows.size(), jets.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].jet, jets[i]);
        auto rowInputs = inputs;
        rowInputs.njt = jets[i];
        EXPECT_EQ(rows[i].outcome, calculate(rowInputs)) << jets[i];
    }
    EXPECT_NE(rows[1].outcome, rows[2].outcome);
}

TEST(JetChart, StopsAtTheLastStepNotAboveTo) {
    const auto rows = jetChart({10, 100, 40}, {});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.back().jet, "0.09");
}

std::vector<std::string> lines(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> result;
    for (std::string line; std::getline(stream, line);) result.push_back(line);
    return result;
}

InputTexts negativeNozzles() {
    // With -1 nozzles every jet but 0 ends in an invalid argument.
    InputTexts inputs;
    inputs.jtn = "-1";
    return inputs;
}

TEST(JetChartCsv, HasAHeaderAndAFixedColumnCountWithFaultsInTheLastColumn) {
    const auto rows = jetChart({0, 50, 25}, negativeNozzles());
    const auto csv = lines(jetChartCsv(rows));
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv[0],
              "nitrous_jet,fuel_jet,standard_jet,jet_number,nitrous_hp,total_hp,hale_et_nitrous,"
              "hale_mph_nitrous,fault");
    const auto& zeroJet = std::get<ResultTexts>(rows[0].outcome);
    EXPECT_EQ(csv[1], "0,0,0,0,0,210," + std::string(fieldText(zeroJet, "haleetn").substr(1)) +
                          "," + std::string(fieldText(zeroJet, "halemphn").substr(1)) + ",");
    EXPECT_EQ(csv[2], "0.025,,,,,,,,invalid argument");
    EXPECT_EQ(csv[3], "0.05,,,,,,,,invalid argument");
}

TEST(JetChartTable, AlignsColumnsAndShowsFaultsInTheirRow) {
    const auto rows = jetChart({0, 50, 25}, negativeNozzles());
    const auto table = lines(jetChartTable(rows));
    ASSERT_EQ(table.size(), 4u);
    EXPECT_TRUE(table[0].starts_with("Nitrous jet")) << table[0];
    EXPECT_EQ(table[0].size(), table[1].size());
    EXPECT_EQ(table[2], "      0.025  fault: invalid argument");
    const auto defaultRow = lines(jetChartTable(jetChart({30, 30, 1}, {})))[1];
    const auto defaults = std::get<ResultTexts>(calculate({}));
    for (auto field : {"TextBox1", "Textbox2", "TextBox3", "Totalhp", "haleetn", "halemphn"}) {
        const auto text = fieldText(defaults, field);
        EXPECT_NE(defaultRow.find(text), std::string::npos) << field << " in " << defaultRow;
    }
}

}  // namespace
}  // namespace moravik::cli
