// The Calculate pass through its public interface: seven texts in, 31 texts or
// a fault out. Expected texts are the calculation's own worked examples, or,
// where those give fewer digits, the output of the independent derivation
// tests/reference/moravik_reference.py (marked "reference").
#include "moravik/calculate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <locale>
#include <map>
#include <string>

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

// The initial texts with some fields replaced: {"njt", ".118"}, ...
InputTexts inputsWith(std::initializer_list<std::pair<std::string, std::string>> changes) {
    InputTexts inputs;
    for (const auto& change : changes) {
        const auto field =
            std::find_if(moravik::inputFields.begin(), moravik::inputFields.end(),
                         [&](const moravik::InputField& f) { return f.name == change.first; });
        inputs.*(field->text) = change.second;
    }
    return inputs;
}

// All 31 texts in the writing order. The first seven and the unset altitude
// values are worked examples; the quarter-mile texts are the reference's (the
// examples give them to four decimals).
TEST(Calculate, InitialTextsGiveTheKnownFigures) {
    const auto outcome = calculate(InputTexts{});
    ASSERT_TRUE(std::holds_alternative<moravik::ResultTexts>(outcome));
    std::string texts;
    for (const auto& text : std::get<moravik::ResultTexts>(outcome)) texts.append(text).append("|");
    EXPECT_EQ(texts,
              " .017| .017| 40.64508| 34.548318| 250.64508| 213.048318| 0|"
              " 14.4800555143393| 13.6507639238018| 0| 0| 97.7378849548265| 103.675516469253|"
              " 14.4317119267716| 13.6051890362978| 0| 0| 99.9098379538226| 105.979416835237|"
              " 13.4095903610535| 12.6416057005001| 0| 0| 101.64740035302| 107.822537128023|"
              " 14.134552519823| 13.4416273586369| 0| 0| 100.291992967637| 106.017758743691|");
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
        // Reference; the worked example gives the same to four decimals.
        FieldCase{"DenverWithTheInitialTexts",
                  inputsWith({{"altitudeDD", "Denver, CO  5800"}}),
                  {{"huntalt", " 13.4316994951012"},
                   {"HuntaltMPH", " 105.293023461835"},
                   {"foxalt", " 13.3868559832733"},
                   {"FoxAltMPH", " 107.632868427653"},
                   {"halealt", " 12.4387360189133"},
                   {"HaleAltMPH", " 109.504744400308"},
                   {"lrtalt", " 13.1112109173878"},
                   {"lrtAltMPH", " 108.044564024035"}}},
        FieldCase{"ExponentOneThirdIsNotExact",
                  inputsWith({{"draghp", "1"}, {"vweight", "8"}}),
                  {{"huntmph", " 112.500077979085"}, {"huntet", " 12.5799912802115"}}},
        // Through the reciprocal of the speed ratio this would end in ...543.
        FieldCase{"TimeComesFromItsOwnRatio",
                  inputsWith({{"draghp", "849"}, {"vweight", "3000"}}),
                  {{"huntet", " 9.58050313954542"}}},
        FieldCase{"TwoNozzles",
                  inputsWith({{"jtn", "2"}}),
                  {{"TextBox1", " .017"}, {"Textbox2", " .024"}, {"TextBox3", " 81.29016"}}},
        FieldCase{"FourNozzles",
                  inputsWith({{"jtn", "4"}}),
                  {{"Textbox2", " .034"}, {"TextBox3", " 162.58032"}}},
        FieldCase{"RoundedFuelJetDecidesTheStandardJet",
                  inputsWith({{"njt", ".0295"}, {"jtn", "4"}}),
                  {{"TextBox1", " .016"}, {"Textbox2", " .032"}}},
        // Totalhp is the engine alone; TotalHPn is the reference's.
        FieldCase{"EmptyJetAddsNothing",
                  inputsWith({{"njt", ""}}),
                  {{"TextBox1", " 0"},
                   {"Textbox2", " 0"},
                   {"TextBox3", " 0"},
                   {"Textbox4", " 0"},
                   {"Totalhp", " 210"},
                   {"TotalHPn", " 178.5"}}},
        // Reference; the loss as a factor of 0.85 would give ...071.
        FieldCase{"DrivetrainLossIsAShareOfTheTotal",
                  inputsWith({{"njt", "0"}, {"draghp", "781.6489914118488"}}),
                  {{"TotalHPn", " 664.401642700072"}}},
        FieldCase{"NegativeZeroIsWrittenAsZero",
                  inputsWith({{"njt", ""}, {"jtn", "-1"}}),
                  {{"Textbox2", " 0"}, {"TextBox3", " 0"}}},
        FieldCase{"NegativeJetActsLikeItsMagnitude",
                  inputsWith({{"njt", "-.030"}}),
                  {{"TextBox1", " .017"}, {"TextBox3", " 40.64508"}}},
        // A one-inch jet shows every psi in the fuel jet (reference texts):
        // 42 psi gives .559, 43 gives .556 and 44 gives .553.
        FieldCase{"PressureTiesGoToEvenDown",
                  inputsWith({{"njt", "1"}, {"flp", "42.5"}, {"nbp", "9 00psi"}}),
                  {{"TextBox1", " .559"}}},
        FieldCase{"PressureTiesGoToEvenUp",
                  inputsWith({{"njt", "1"}, {"flp", "43.5"}}),
                  {{"TextBox1", " .553"}}}),
    [](const auto& info) { return std::string(info.param.name); });

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

TEST(Calculate, CommaDecimalLocaleChangesNothing) {
    const InputTexts inputs =
        inputsWith({{"njt", "0.0625"}, {"jtn", "3"}, {"altitudeDD", "Denver, CO  5800"}});
    const auto inC = calculate(inputs);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not installed";
    std::locale::global(std::locale("de_DE.UTF-8"));
    const auto inGerman = calculate(inputs);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(fieldsOf(inputs).at("TextBox1"), " .035");
}

}  // namespace
