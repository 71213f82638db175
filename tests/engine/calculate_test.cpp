#include "moravik/calculate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <locale>
#include <map>
#include <string>

#include "moravik/result_format.h"
#include "moravik/tracks.h"

namespace {

using moravik::calculate;
using moravik::Fault;
using moravik::InputTexts;
using Fields = std::map<std::string, std::string>;

Fields fieldsOf(const InputTexts& inputs) {
    const auto outcome = calculate(inputs);
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        ADD_FAILURE() << "unexpected fault: " << moravik::faultName(*fault);
        return {};
    }
    Fields fields;
    const auto& results = std::get<moravik::ResultTexts>(outcome);
    for (std::size_t i = 0; i < results.size(); ++i) {
        fields[std::string(moravik::resultFieldNames[i])] = results[i].str();
    }
    return fields;
}

double valueOf(const std::string& text) {
    double value = 0;
    std::from_chars(text.data() + 1, text.data() + text.size(), value);
    return value;
}

// The initial texts with some fields replaced: {"njt", ".118"}, ...
InputTexts inputsWith(std::initializer_list<std::pair<std::string, std::string>> changes) {
    InputTexts inputs;
    for (const auto& [name, text] : changes) {
        const auto field =
            std::ranges::find(moravik::inputFields, name, &moravik::InputField::name);
        inputs.*(field->text) = text;
    }
    return inputs;
}

TEST(Calculate, InitialTextsGiveTheKnownFigures) {
    auto fields = fieldsOf(InputTexts{});
    const Fields exact{
        {"TextBox1", " .017"},      {"Textbox2", " .017"},     {"TextBox3", " 40.64508"},
        {"Textbox4", " 34.548318"}, {"Totalhp", " 250.64508"}, {"TotalHPn", " 213.048318"},
        {"Textbox5", " 0"},         {"huntalt", " 0"},         {"HuntaltMPH", " 0"},
        {"foxalt", " 0"},           {"FoxAltMPH", " 0"},       {"halealt", " 0"},
        {"HaleAltMPH", " 0"},       {"lrtalt", " 0"},          {"lrtAltMPH", " 0"}};
    for (const auto& [name, text] : exact) EXPECT_EQ(fields[name], text) << name;
    const std::map<std::string, double> fourDecimals{
        {"huntmph", 97.7379},  {"huntmphn", 103.6755}, {"huntet", 14.4801}, {"huntetn", 13.6508},
        {"foxmph", 99.9098},   {"foxmphn", 105.9794},  {"foxet", 14.4317},  {"foxetn", 13.6052},
        {"halemph", 101.6474}, {"halemphn", 107.8225}, {"haleet", 13.4096}, {"haleetn", 12.6416},
        {"lrtmph", 100.2920},  {"lrtmphn", 106.0178},  {"lrtet", 14.1346},  {"lrtetn", 13.4416}};
    for (const auto& [name, value] : fourDecimals) {
        EXPECT_NEAR(valueOf(fields[name]), value, 0.00005) << name;
    }
}

struct FieldCase {
    const char* name;
    InputTexts inputs;
    Fields expected;
};

class CalculateFields : public testing::TestWithParam<FieldCase> {};

TEST_P(CalculateFields, GiveTheseTexts) {
    auto fields = fieldsOf(GetParam().inputs);
    for (const auto& [name, text] : GetParam().expected) EXPECT_EQ(fields[name], text) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculateFields,
    testing::Values(
        FieldCase{"TwoNozzles",
                  inputsWith({{"jtn", "2"}}),
                  {{"TextBox1", " .017"}, {"Textbox2", " .024"}, {"TextBox3", " 81.29016"}}},
        FieldCase{"RoundedFuelJetDecidesTheStandardJet",
                  inputsWith({{"njt", ".0295"}, {"jtn", "4"}}),
                  {{"TextBox1", " .016"}, {"Textbox2", " .032"}}},
        FieldCase{"EmptyJetAddsNothing",
                  inputsWith({{"njt", ""}}),
                  {{"TextBox1", " 0"},
                   {"Textbox2", " 0"},
                   {"TextBox3", " 0"},
                   {"Textbox4", " 0"},
                   {"Totalhp", " 210"},
                   {"TotalHPn", " 178.5"}}},
        FieldCase{"NegativeZeroIsWrittenAsZero",
                  inputsWith({{"njt", ""}, {"jtn", "-1"}}),
                  {{"Textbox2", " 0"}, {"TextBox3", " 0"}, {"Textbox4", " 0"}}},
        FieldCase{"NegativeJetActsLikeItsMagnitude",
                  inputsWith({{"njt", "-.030"}}),
                  {{"TextBox1", " .017"}, {"TextBox3", " 40.64508"}}},
        FieldCase{"HolleyNumberFromTheWindow",
                  inputsWith({{"njt", ".118"}, {"jtn", "2"}}),
                  {{"TextBox1", " .066"}, {"Textbox2", " .093"}, {"Textbox5", " 82"}}},
        // A one-inch jet makes every psi of fuel pressure show in the fuel jet.
        FieldCase{"PressureTiesGoToEvenDown",
                  inputsWith({{"njt", "1"}, {"flp", "42.5"}, {"nbp", "9 00psi"}}),
                  {{"TextBox1", " .559"}}},
        FieldCase{"PressureTiesGoToEvenUp",
                  inputsWith({{"njt", "1"}, {"flp", "43.5"}}),
                  {{"TextBox1", " .553"}}},
        FieldCase{"ExponentOneThirdIsNotExact",
                  inputsWith({{"draghp", "1"}, {"vweight", "8"}}),
                  {{"huntmph", " 112.500077979085"}, {"huntet", " 12.5799912802115"}}},
        FieldCase{"PowerEqualToWeightGivesTheMultipliers",
                  inputsWith({{"draghp", "3000"}, {"vweight", "3000"}}),
                  {{"huntmph", " 225"},
                   {"huntet", " 6.29"},
                   {"foxmph", " 230"},
                   {"foxet", " 6.269"},
                   {"halemph", " 234"},
                   {"haleet", " 5.825"},
                   {"lrtmph", " 219.87"},
                   {"lrtet", " 6.9446"}}},
        FieldCase{"AltitudeFiguresAreOneProductEach",
                  inputsWith({{"draghp", "3000"},
                              {"vweight", "3000"},
                              {"altitudeDD", "Denver, CO  5800"}}),
                  {{"huntalt", moravik::formatResult(6.29 * 0.9276).str()},
                   {"HuntaltMPH", moravik::formatResult(225 * 1.0773).str()}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Calculate, StripsAreFoundByTextInEitherGroup) {
    const auto entries = moravik::trackEntries();
    ASSERT_EQ(entries[6], entries[36]);
    auto denver = fieldsOf(inputsWith({{"altitudeDD", std::string(entries[36])}}));
    const std::map<std::string, double> fourDecimals{
        {"huntalt", 13.4317},     {"foxalt", 13.3869},      {"halealt", 12.4387},
        {"lrtalt", 13.1112},      {"HuntaltMPH", 105.2930}, {"FoxAltMPH", 107.6329},
        {"HaleAltMPH", 109.5047}, {"lrtAltMPH", 108.0446}};
    for (const auto& [name, value] : fourDecimals) {
        EXPECT_NEAR(valueOf(denver[name]), value, 0.00005) << name;
    }
    // Everything else is as with no strip chosen, and a heading is no strip.
    for (const auto& [name, text] : fieldsOf(inputsWith({{"altitudeDD", "DIVISION 5  "}}))) {
        if (!fourDecimals.contains(name)) {
            EXPECT_EQ(denver[name], text) << name;
        }
    }
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

INSTANTIATE_TEST_SUITE_P(
    Cases, CalculateFaults,
    testing::Values(
        FaultCase{"EmptyFuelPressure", inputsWith({{"flp", ""}}), Fault::DivisionByZero},
        FaultCase{"BothPressuresZero", inputsWith({{"flp", "0"}, {"nbp", "0"}}),
                  Fault::DivisionByZero},
        FaultCase{"BottlePressureZero", inputsWith({{"nbp", "0"}}), Fault::DivisionByZero},
        FaultCase{"OppositePressures", inputsWith({{"nbp", "-900"}}), Fault::InvalidArgument},
        FaultCase{"NegativeNozzles", inputsWith({{"jtn", "-1"}}), Fault::InvalidArgument},
        FaultCase{"BottlePressureBeyondSixteenBits", inputsWith({{"nbp", "32767.5"}}),
                  Fault::Overflow},
        FaultCase{"JetBeyondTheDoubleRange", inputsWith({{"njt", "1E400"}}), Fault::Overflow},
        FaultCase{"SquaredJetOverflows", inputsWith({{"njt", "1E200"}}), Fault::Overflow},
        FaultCase{"EmptyWeight", inputsWith({{"vweight", ""}}), Fault::DivisionByZero},
        FaultCase{"EmptyHorsepower", inputsWith({{"draghp", ""}}), Fault::DivisionByZero},
        FaultCase{"NegativeHorsepower", inputsWith({{"draghp", "-210"}}), Fault::InvalidArgument},
        FaultCase{"NitrousCancelsTheEngine", inputsWith({{"draghp", "-40.64508"}}),
                  Fault::InvalidArgument},
        FaultCase{"TinyWeightOverflowsTheRatio",
                  inputsWith({{"draghp", "1E300"}, {"vweight", "1E-300"}}), Fault::Overflow},
        // The first impossible step decides the kind.
        FaultCase{"ReadingComesBeforeComputing", inputsWith({{"flp", ""}, {"nbp", "99999"}}),
                  Fault::Overflow},
        FaultCase{"PressuresComeBeforeNozzles", inputsWith({{"nbp", "-900"}, {"jtn", "-1"}}),
                  Fault::InvalidArgument},
        FaultCase{"WeightDividesBeforePowerIsRooted",
                  inputsWith({{"draghp", "-210"}, {"vweight", ""}}), Fault::DivisionByZero},
        FaultCase{"SpeedBeforeTimeWhenPowerIsZero", inputsWith({{"draghp", "0"}}),
                  Fault::DivisionByZero}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Calculate, AGoodPassAfterAFaultGivesAllTexts) {
    ASSERT_TRUE(std::holds_alternative<Fault>(calculate(inputsWith({{"flp", ""}}))));
    const auto fields = fieldsOf(InputTexts{});
    EXPECT_EQ(fields.size(), moravik::resultFieldCount);
    EXPECT_EQ(fields.at("TextBox3"), " 40.64508");
}

TEST(Calculate, CommaDecimalLocaleChangesNothing) {
    const InputTexts inputs =
        inputsWith({{"njt", "0.0625"}, {"jtn", "3"}, {"altitudeDD", "Denver, CO  5800"}});
    const auto inC = fieldsOf(inputs);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not installed";
    std::locale::global(std::locale("de_DE.UTF-8"));
    const auto inGerman = fieldsOf(inputs);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(inGerman.at("TextBox1"), " .035");
}

}  // namespace
