#include "moravik/calculate.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <locale>
#include <map>
#include <string>

#include "moravik/result_format.h"
#include "moravik/tracks.h"

namespace {

using moravik::calculate;
using moravik::Fault;
using moravik::InputTexts;
using moravik::ResultTexts;

ResultTexts texts(const InputTexts& inputs) {
    const auto outcome = calculate(inputs);
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        ADD_FAILURE() << "unexpected fault: " << moravik::faultName(*fault);
        return {};
    }
    return std::get<ResultTexts>(outcome);
}

std::map<std::string, std::string> byName(const ResultTexts& results) {
    std::map<std::string, std::string> fields;
    for (const auto& field : results) fields[std::string(field.name)] = field.text;
    return fields;
}

double valueOf(const std::string& text) {
    const auto start = text.find_first_not_of(' ');
    double value = 0;
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}

TEST(Calculate, InitialTextsGiveTheKnownFigures) {
    const auto results = texts(InputTexts{});
    const char* const upper[] = {" .017",      " .017",       " 40.64508", " 34.548318",
                                 " 250.64508", " 213.048318", " 0"};
    for (std::size_t i = 0; i < std::size(upper); ++i) EXPECT_EQ(results[i].text, upper[i]) << i;

    auto fields = byName(results);
    const std::map<std::string, double> fourDecimals{
        {"huntmph", 97.7379},  {"huntmphn", 103.6755}, {"huntet", 14.4801}, {"huntetn", 13.6508},
        {"foxmph", 99.9098},   {"foxmphn", 105.9794},  {"foxet", 14.4317},  {"foxetn", 13.6052},
        {"halemph", 101.6474}, {"halemphn", 107.8225}, {"haleet", 13.4096}, {"haleetn", 12.6416},
        {"lrtmph", 100.2920},  {"lrtmphn", 106.0178},  {"lrtet", 14.1346},  {"lrtetn", 13.4416}};
    for (const auto& [name, expected] : fourDecimals) {
        EXPECT_NEAR(valueOf(fields[name]), expected, 0.00005) << name;
    }
    for (const char* name : {"huntalt", "HuntaltMPH", "foxalt", "FoxAltMPH", "halealt",
                             "HaleAltMPH", "lrtalt", "lrtAltMPH"}) {
        EXPECT_EQ(fields[name], " 0") << name;
    }
}

TEST(Calculate, ResultsComeInTheWritingOrder) {
    const auto results = texts(InputTexts{});
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].name, moravik::resultFieldNames[i]);
    }
    EXPECT_EQ(results[6].name, "Textbox5");
    EXPECT_EQ(results[9].name, "huntalt");
    EXPECT_EQ(results[30].name, "lrtmphn");
}

struct FieldCase {
    const char* name;
    InputTexts inputs;
    std::map<std::string, std::string> expected;
};

InputTexts with(std::string InputTexts::*field, std::string text, InputTexts inputs = {}) {
    inputs.*field = std::move(text);
    return inputs;
}

class CalculateFields : public testing::TestWithParam<FieldCase> {};

TEST_P(CalculateFields, GiveTheseTexts) {
    auto fields = byName(texts(GetParam().inputs));
    for (const auto& [name, text] : GetParam().expected) EXPECT_EQ(fields[name], text) << name;
}

InputTexts powerEqualsWeight() {
    InputTexts inputs;
    inputs.draghp = "3000";
    inputs.vweight = "3000";
    return inputs;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculateFields,
    testing::Values(
        FieldCase{"TwoNozzles",
                  with(&InputTexts::jtn, "2"),
                  {{"TextBox1", " .017"}, {"Textbox2", " .024"}, {"TextBox3", " 81.29016"}}},
        FieldCase{"FourNozzles",
                  with(&InputTexts::jtn, "4"),
                  {{"TextBox1", " .017"}, {"Textbox2", " .034"}, {"TextBox3", " 162.58032"}}},
        FieldCase{"RoundedFuelJetDecidesTheStandardJet",
                  with(&InputTexts::njt, ".0295", with(&InputTexts::jtn, "4")),
                  {{"TextBox1", " .016"}, {"Textbox2", " .032"}}},
        FieldCase{"ExactPressureRoot",
                  with(&InputTexts::flp, "40", with(&InputTexts::nbp, "1000")),
                  {{"TextBox1", " .017"}}},
        FieldCase{"EmptyJetAddsNothing",
                  with(&InputTexts::njt, ""),
                  {{"TextBox1", " 0"},
                   {"Textbox2", " 0"},
                   {"TextBox3", " 0"},
                   {"Textbox4", " 0"},
                   {"Totalhp", " 210"},
                   {"TotalHPn", " 178.5"}}},
        FieldCase{"NegativeZeroIsWrittenAsZero",
                  with(&InputTexts::njt, "", with(&InputTexts::jtn, "-1")),
                  {{"TextBox1", " 0"}, {"Textbox2", " 0"}, {"TextBox3", " 0"}, {"Textbox4", " 0"}}},
        FieldCase{
            "NoNozzles",
            with(&InputTexts::jtn, "0"),
            {{"TextBox1", " .017"}, {"Textbox2", " 0"}, {"TextBox3", " 0"}, {"Totalhp", " 210"}}},
        FieldCase{"NegativeJetActsLikeItsMagnitude",
                  with(&InputTexts::njt, "-.030"),
                  {{"TextBox1", " .017"}, {"TextBox3", " 40.64508"}, {"Totalhp", " 250.64508"}}},
        FieldCase{"HolleyNumberFromTheWindow",
                  with(&InputTexts::njt, ".118", with(&InputTexts::jtn, "2")),
                  {{"TextBox1", " .066"}, {"Textbox2", " .093"}, {"Textbox5", " 82"}}},
        FieldCase{"FuelPressureTiesGoToEven", with(&InputTexts::flp, "42.5"),
                  byName(texts(with(&InputTexts::flp, "42")))},
        FieldCase{"FuelPressureRoundsUpToEven", with(&InputTexts::flp, "43.5"),
                  byName(texts(with(&InputTexts::flp, "44")))},
        FieldCase{"UnitSuffixAndBlanksAreIgnored", with(&InputTexts::flp, "4 3psi"),
                  byName(texts(InputTexts{}))},
        FieldCase{"ExponentOneThirdIsNotExact",
                  with(&InputTexts::draghp, "1", with(&InputTexts::vweight, "8")),
                  {{"huntmph", " 112.500077979085"}, {"huntet", " 12.5799912802115"}}},
        FieldCase{"PowerEqualToWeightGivesTheMultipliers",
                  powerEqualsWeight(),
                  {{"huntmph", " 225"},
                   {"huntet", " 6.29"},
                   {"foxmph", " 230"},
                   {"foxet", " 6.269"},
                   {"halemph", " 234"},
                   {"haleet", " 5.825"},
                   {"lrtmph", " 219.87"},
                   {"lrtet", " 6.9446"}}},
        FieldCase{"HeadingIsNoStrip",
                  with(&InputTexts::altitudeDD, "DIVISION 5  "),
                  {{"huntalt", " 0"}, {"HuntaltMPH", " 0"}, {"lrtAltMPH", " 0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Calculate, StripsAreFoundByTextInEitherGroup) {
    const auto entries = moravik::trackEntries();
    ASSERT_EQ(entries[6], entries[36]);
    auto denver = byName(texts(with(&InputTexts::altitudeDD, std::string(entries[6]))));
    const std::map<std::string, double> fourDecimals{
        {"huntalt", 13.4317},     {"foxalt", 13.3869},      {"halealt", 12.4387},
        {"lrtalt", 13.1112},      {"HuntaltMPH", 105.2930}, {"FoxAltMPH", 107.6329},
        {"HaleAltMPH", 109.5047}, {"lrtAltMPH", 108.0446}};
    for (const auto& [name, expected] : fourDecimals) {
        EXPECT_NEAR(valueOf(denver[name]), expected, 0.00005) << name;
    }
    // Everything but the altitude figures is the same as with no strip chosen.
    auto none = byName(texts(InputTexts{}));
    for (const auto& [name, text] : none) {
        if (!fourDecimals.contains(name)) {
            EXPECT_EQ(denver[name], text) << name;
        }
    }
}

TEST(Calculate, AltitudeFiguresAreOneProductEach) {
    auto fields =
        byName(texts(with(&InputTexts::altitudeDD, "Denver, CO  5800", powerEqualsWeight())));
    EXPECT_EQ(fields["huntalt"], moravik::formatResult(6.29 * 0.9276));
    EXPECT_EQ(fields["HuntaltMPH"], moravik::formatResult(225 * 1.0773));
}

TEST(Calculate, EqualAltitudesGiveEqualFigures) {
    EXPECT_EQ(byName(texts(with(&InputTexts::altitudeDD, "Amarillo, TX  3700"))),
              byName(texts(with(&InputTexts::altitudeDD, "Roswell, NM  3700"))));
}

struct FaultCase {
    const char* name;
    InputTexts inputs;
    Fault fault;
};

class CalculateFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(CalculateFaults, EndThePassWithoutTexts) {
    const auto outcome = calculate(GetParam().inputs);
    ASSERT_TRUE(std::holds_alternative<Fault>(outcome));
    EXPECT_EQ(std::get<Fault>(outcome), GetParam().fault);
}

InputTexts powerAndWeight(const char* hp, const char* weight, InputTexts inputs = {}) {
    inputs.draghp = hp;
    inputs.vweight = weight;
    return inputs;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculateFaults,
    testing::Values(
        FaultCase{"EmptyFuelPressure", with(&InputTexts::flp, ""), Fault::DivisionByZero},
        FaultCase{"FuelPressureRoundsToZero", with(&InputTexts::flp, "-0.5"),
                  Fault::DivisionByZero},
        FaultCase{"BothPressuresZero", with(&InputTexts::flp, "0", with(&InputTexts::nbp, "0")),
                  Fault::DivisionByZero},
        FaultCase{"BottlePressureZero", with(&InputTexts::nbp, "0"), Fault::DivisionByZero},
        FaultCase{"OppositePressures", with(&InputTexts::nbp, "-900"), Fault::InvalidArgument},
        FaultCase{"NegativeNozzles", with(&InputTexts::jtn, "-1"), Fault::InvalidArgument},
        FaultCase{"BottlePressureBeyondSixteenBits", with(&InputTexts::nbp, "32767.5"),
                  Fault::Overflow},
        FaultCase{"NozzlesBeyondSixteenBits", with(&InputTexts::jtn, "40000"), Fault::Overflow},
        FaultCase{"JetBeyondTheDoubleRange", with(&InputTexts::njt, "1E400"), Fault::Overflow},
        FaultCase{"SquaredJetOverflows", with(&InputTexts::njt, "1E200"), Fault::Overflow},
        FaultCase{
            "HugeHorsepowerTotal",
            with(&InputTexts::draghp, "1.7976931348623157E308", with(&InputTexts::njt, "1E150")),
            Fault::Overflow},
        FaultCase{"EmptyWeight", with(&InputTexts::vweight, ""), Fault::DivisionByZero},
        FaultCase{"EmptyHorsepower", with(&InputTexts::draghp, ""), Fault::DivisionByZero},
        FaultCase{"NegativeHorsepower", with(&InputTexts::draghp, "-210"), Fault::InvalidArgument},
        FaultCase{"NegativeWeight", with(&InputTexts::vweight, "-2562"), Fault::InvalidArgument},
        FaultCase{"NitrousCancelsTheEngine", powerAndWeight("-40.64508", "2562"),
                  Fault::InvalidArgument},
        FaultCase{"TinyWeightOverflowsTheRatio", powerAndWeight("1E300", "1E-300"),
                  Fault::Overflow},
        // The first impossible step decides the kind.
        FaultCase{"ReadingFaultComesBeforeComputing",
                  with(&InputTexts::nbp, "99999", with(&InputTexts::flp, "")), Fault::Overflow},
        FaultCase{"PressuresComeBeforeNozzles",
                  with(&InputTexts::nbp, "-900", with(&InputTexts::jtn, "-1")),
                  Fault::InvalidArgument},
        FaultCase{"NozzlesComeBeforeWeight",
                  with(&InputTexts::jtn, "-1", with(&InputTexts::vweight, "")),
                  Fault::InvalidArgument},
        FaultCase{"WeightDividesBeforeNegativePowerIsRooted", powerAndWeight("-210", ""),
                  Fault::DivisionByZero},
        FaultCase{"SpeedBeforeTimeWhenPowerIsZero", powerAndWeight("0", "2562"),
                  Fault::DivisionByZero}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Calculate, AGoodPassAfterAFaultGivesAllTexts) {
    ASSERT_TRUE(std::holds_alternative<Fault>(calculate(with(&InputTexts::flp, ""))));
    const auto outcome = calculate(InputTexts{});
    ASSERT_TRUE(std::holds_alternative<ResultTexts>(outcome));
    for (const auto& field : std::get<ResultTexts>(outcome)) EXPECT_FALSE(field.text.empty());
    EXPECT_EQ(std::get<ResultTexts>(outcome)[2].text, " 40.64508");
}

TEST(Calculate, CommaDecimalLocaleChangesNothing) {
    const InputTexts inputs = with(&InputTexts::altitudeDD, "Denver, CO  5800",
                                   with(&InputTexts::njt, "0.0625", with(&InputTexts::jtn, "3")));
    const auto inC = byName(texts(inputs));
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not installed";
    std::locale::global(std::locale("de_DE.UTF-8"));
    const auto inGerman = byName(texts(inputs));
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(inGerman.at("TextBox1"), " .035");
}

}  // namespace
