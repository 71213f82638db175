#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/jet_chart.h>

#include <string>
#include <variant>
#include <vector>

namespace moravik::cli {
namespace {

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
        const auto rows = jetChart(std::get<JetRange>(range), inputs).rows;
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
    EXPECT_EQ(jetChart(std::get<JetRange>(largest), {}).rows.size(), 10000u);
}

}  // namespace
}  // namespace moravik::cli
