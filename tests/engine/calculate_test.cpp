// The Calculate pass: seven texts in, 31 texts or a fault out. Every text and fault kind over
// thousands of inputs is engine.reference's (tests/reference/check_batch.py).
#include "moravik/calculate.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

namespace {

using moravik::calculate;
using moravik::Fault;
using moravik::InputTexts;

// All 31 texts in the writing order: the first seven and the unset altitude values are worked
// examples; the quarter-mile texts are moravik_reference.py's (the examples give four decimals).
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

// One fault as a representative: an empty fuel pressure divides by zero.
TEST(Calculate, AFaultEndsThePassWithoutTexts) {
    InputTexts inputs;
    inputs.flp = "";
    EXPECT_EQ(std::get<Fault>(calculate(inputs)), Fault::DivisionByZero);
}

TEST(Calculate, CommaDecimalLocaleChangesNothing) {
    const InputTexts inputs{.njt = "0.0625", .jtn = "3", .altitudeDD = "Denver, CO  5800"};
    const auto inC = calculate(inputs);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not installed";
    std::locale::global(std::locale("de_DE.UTF-8"));
    const auto inGerman = calculate(inputs);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(std::get<moravik::ResultTexts>(inC)[0].str(), " .035");
}

}  // namespace
