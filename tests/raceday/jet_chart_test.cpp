#include "moravik/raceday/jet_chart.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

#include "moravik/calculate.h"

namespace moravik::raceday {
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
            EXPECT_EQ(jetText(rows[i].jet, JetDigits::Shortest), jets[i]) << text;
            EXPECT_EQ(rows[i].outcome, calculate(rowInputs)) << jets[i];
        }
    }
}

TEST(JetChart, HoldsAtMostAThousandRows) {
    const auto largest = parseJetRange("0:0.999:0.001");
    ASSERT_TRUE(std::holds_alternative<JetRange>(largest));
    EXPECT_EQ(jetChart(std::get<JetRange>(largest), {}).rows.size(), 1000u);
    const auto refused = parseJetRange("0:1:0.001");
    ASSERT_TRUE(errorOf(refused));
    EXPECT_EQ(errorOf(refused)->message,
              "STEP: the chart would have 1001 rows; at most 1000 are allowed");
}

TEST(JetChart, RefusesARangeForThePartToMend) {
    // A mistyped jet shows while another is still to be typed; the step is checked first.
    const std::vector<std::pair<std::array<std::string_view, 3>, JetRangeRefusal>> cases{
        {{"", ".0x", ""},
         {JetRangePart::To,
          "\".0x\" is not a jet size; give inches with at "
          "most three decimals, such as .045"}},
        {{".02", ".06", ""}, {JetRangePart::Step, "required"}},
        {{".06", ".02", "0"}, {JetRangePart::Step, "must be greater than 0"}},
        {{".06", ".02", ".01"}, {JetRangePart::To, "must not be less than the smallest jet"}},
    };
    for (const auto& [typed, refusal] : cases) {
        const auto range = readJetRange(typed);
        ASSERT_TRUE(std::holds_alternative<JetRangeRefusal>(range)) << typed[0];
        EXPECT_EQ(std::get<JetRangeRefusal>(range), refusal) << typed[0] << ":" << typed[1];
    }
}

TEST(Jet, IsReadInWholeThousandthsAndWrittenAsStampedOrShortest) {
    // {typed, thousandths (-1: refused), stamped, shortest}
    const std::vector<std::tuple<std::string, int, std::string, std::string>> cases{
        {".045", 45, ".045", "0.045"},
        {"0.045 in", 45, ".045", "0.045"},
        {"1.25in", 1250, "1.250", "1.25"},
        {"2.", 2000, "2.000", "2"},
        {"0", 0, ".000", "0"},
        {".0455", -1, "", ""},
        {"4.5e-2", -1, "", ""},
        {"-.045", -1, "", ""},
        {". in", -1, "", ""},
        {"0.045 mm", -1, "", ""},
    };
    for (const auto& [typed, thousandths, stamped, shortest] : cases) {
        const auto jet = readJet(typed);
        ASSERT_EQ(jet.has_value(), thousandths >= 0) << typed;
        if (!jet) continue;
        EXPECT_EQ(jet->thousandths, thousandths) << typed;
        EXPECT_EQ(jetText(*jet), stamped) << typed;
        EXPECT_EQ(jetText(*jet, JetDigits::Shortest), shortest) << typed;
    }
}

}  // namespace
}  // namespace moravik::raceday
