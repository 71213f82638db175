#include "moravik/raceday/units.h"

#include <gtest/gtest.h>

#include <cmath>

#include "moravik/raceday/weather_text.h"

namespace moravik::raceday {
namespace {

double parsed(std::string_view text, Quantity quantity, UnitSystem system = UnitSystem::Imperial) {
    const auto outcome = parseQuantity(text, quantity, system, "--value");
    if (const Error* error = errorOf(outcome)) ADD_FAILURE() << error->message;
    return std::get<double>(outcome);
}

// Expected SI values by the definitions of the units (NIST SP 811 appendix B): 86 °F is
// 30 °C; 1 inHg (0 °C) 3386.389 Pa; 1 psi 6894.757293168 Pa. Every unit in every quantity,
// bare numbers in both systems, is raceday.reference's over thousands of commands; these are
// the spellings it does not type: blanks around, upper case, a plus sign.
TEST(ParseQuantity, ReadsTheIssuesSuffixesAndBareNumbers) {
    const struct {
        const char* text;
        Quantity quantity;
        double si;
        UnitSystem system = UnitSystem::Imperial;  // the unit of a bare number
    } table[] = {
        {"86F", Quantity::Temperature, 303.15},
        {"-40°F", Quantity::Temperature, 233.15},
        {"29.92inHg", Quantity::Barometer, 101320.75888},
        {" 12.5 s ", Quantity::Time, 12.5},
        {"43 PSI", Quantity::LinePressure, 296474.56360622},
        {"+3bar", Quantity::LinePressure, 3e5},
        {"30", Quantity::Temperature, 303.15, UnitSystem::Metric},
    };
    for (const auto& [text, quantity, si, system] : table) {
        EXPECT_NEAR(parsed(text, quantity, system), si, std::fabs(si) * 1e-12) << text;
    }
}

// A form field reads a bare number in the unit chosen beside it; a typed unit still wins.
TEST(ParseQuantityIn, ReadsABareNumberInTheFieldsUnit) {
    const Unit& kelvin = unitAt(4, "K");
    EXPECT_EQ(std::get<double>(parseQuantityIn("303.15", Quantity::Temperature, kelvin, "t")),
              303.15);
    EXPECT_NEAR(std::get<double>(parseQuantityIn("86F", Quantity::Temperature, kelvin, "t")),
                303.15, 1e-12);
    const auto refused = parseQuantityIn("warm", Quantity::Temperature, kelvin, "t");
    EXPECT_NE(errorOf(refused)->message.find("(a bare number is in K)"), std::string::npos);
}

TEST(ParseQuantity, RefusesWhatIsNoQuantityAndListsTheUnits) {
    for (const char* text : {"", "nan", "inf", "-infinity", "NaNF", "86X", "F86", "1e999F",
                             "86 F F", "0x10", "1013hPa", "12 ft"}) {
        const auto outcome =
            parseQuantity(text, Quantity::Temperature, UnitSystem::Imperial, "--t");
        const Error* error = errorOf(outcome);
        ASSERT_NE(error, nullptr) << text;
        EXPECT_EQ(error->message.rfind("--t: ", 0), 0u) << error->message;
        EXPECT_NE(error->message.find("F, C, K"), std::string::npos) << error->message;
    }
}

TEST(DisplayText, ShowsTheSystemsUnit) {
    EXPECT_EQ(displayText(303.15, Quantity::Temperature, UnitSystem::Imperial), "86.0 F");
    EXPECT_EQ(displayText(303.15, Quantity::Temperature, UnitSystem::Metric), "30.0 C");
    // As the Race Day window's unit boxes show them.
    EXPECT_EQ(displayText(303.15, Quantity::Temperature, UnitSystem::Metric, UnitTexts::Display),
              "30.0 °C");
    EXPECT_EQ(displayText(1767.84, Quantity::Elevation, UnitSystem::Imperial, UnitTexts::Display),
              "5800 ft");
    EXPECT_EQ(displayText(101320.75888, Quantity::Barometer, UnitSystem::Imperial), "29.92 inHg");
    EXPECT_EQ(displayText(1e300, Quantity::Weight, UnitSystem::Metric).size(), 301u + 3u);
    EXPECT_EQ(fixedText(29.1, 2), "29.10");
    const struct {
        double value;
        int decimals;
        const char* text;
    } nearZero[] = {{-0.3, 0, "0"}, {-0.0004, 3, "0.000"}, {-0.5001, 0, "-1"}, {-0.0, 1, "0.0"}};
    for (const auto& [value, decimals, text] : nearZero)
        EXPECT_EQ(fixedText(value, decimals), text);
}

TEST(ParseWeather, ReadsTheIssuesExamples) {
    const auto first = std::get<Weather>(parseWeather("86F 29.10inHg 40%", UnitSystem::Metric));
    EXPECT_NEAR(first.kelvin, 303.15, 1e-12);
    EXPECT_NEAR(std::get<StationPressure>(first.pressure).pascals, 98543.9199, 1e-9);
    EXPECT_NEAR(std::get<RelativeHumidity>(first.moisture).ratio, 0.4, 1e-15);

    const auto second = std::get<Weather>(
        parseWeather("  30C alt 1013hPa\telev 1768m dew 12C ", UnitSystem::Imperial));
    const auto setting = std::get<AltimeterSetting>(second.pressure);
    EXPECT_EQ(setting.pascals, 101300);
    EXPECT_EQ(setting.elevationMetres, 1768);
    EXPECT_NEAR(std::get<DewPoint>(second.moisture).kelvin, 285.15, 1e-12);

    // Keywords make bare numbers possible; they take the chosen system's unit.
    const auto bare =
        std::get<Weather>(parseWeather("temp 86 alt 29.92 elev 5800 rh 40", UnitSystem::Imperial));
    EXPECT_NEAR(std::get<AltimeterSetting>(bare.pressure).elevationMetres, 1767.84, 1e-9);
}

TEST(ParseWeather, RefusesIncompleteOrContradictoryWeather) {
    const struct {
        const char* text;
        const char* says;
    } table[] = {
        {"86F 40%", "station pressure"},
        {"29.92inHg", "temperature is missing"},
        {"86F 29.92inHg alt 29.92inHg elev 10ft", "either a station pressure"},
        {"86F alt 29.92inHg", "go together"},
        {"86F 29.92inHg elev 100m", "go together"},
        {"86F 29.92inHg 40% dew 50F", "not both"},
        {"86F 90F 29.92inHg", "given twice"},
        {"86 29.92inHg", "neither a keyword"},
        {"86F 29.92inHg dew", "needs a value"},
        {"86F 29.92inHg dew nanF", "is not a temperature"},
        {"86F 29.92inHg 40kg", "neither a keyword"},
        {"", "temperature is missing"},
    };
    for (const auto& [text, says] : table) {
        const auto outcome = parseWeather(text, UnitSystem::Imperial);
        const Error* error = errorOf(outcome);
        ASSERT_NE(error, nullptr) << text;
        EXPECT_EQ(error->field, Field::Labelled) << text;
        EXPECT_EQ(error->message.find("--"), std::string::npos) << error->message;
        EXPECT_NE(error->message.find(says), std::string::npos) << text << ": " << error->message;
    }
}

}  // namespace
}  // namespace moravik::raceday
