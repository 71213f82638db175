#include "moravik/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using moravik::readNumber;
using moravik::toWholeNumber;

struct ReadCase {
    const char* name;
    std::string text;
    double expected;
};

class ReadNumber : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, ReadsTheLeadingNumber) {
    const auto value = readNumber(GetParam().text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, GetParam().expected);
    EXPECT_EQ(std::signbit(*value), std::signbit(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    testing::Values(
        ReadCase{"Plain", "43", 43}, ReadCase{"LeadingPoint", ".030", 0.03},
        ReadCase{"Exponent", "3E-2", 0.03}, ReadCase{"UnitSuffixStops", "43psi", 43},
        ReadCase{"CommaStops", "1,000", 1}, ReadCase{"CommaBeforeDigits", "0,030", 0},
        ReadCase{"BlanksDropped", "9 00", 900}, ReadCase{"BlanksInsideExponent", "1 e 2", 100},
        ReadCase{"TabsAndLineFeedsDropped", "\t4\n3 \t.\n5", 43.5},
        ReadCase{"CarriageReturnStops", "4\r3", 4}, ReadCase{"Empty", "", 0},
        ReadCase{"LeadingComma", ",5", 0}, ReadCase{"Negative", "-32768.5", -32768.5},
        ReadCase{"SignAlone", "-", 0}, ReadCase{"SecondPointStops", "1.2.3", 1.2},
        ReadCase{"ExponentWithoutDigits", "1e", 1}, ReadCase{"ExponentSignWithoutDigits", "1e+", 1},
        ReadCase{"PointAlone", ".", 0}, ReadCase{"ExponentAlone", "e5", 0},
        ReadCase{"BelowSmallestDouble", "1e-400", 0},
        ReadCase{"NegativeBelowSmallestDouble", "-1e-400", -0.0},
        ReadCase{"Subnormal", "1e-310", 1e-310}, ReadCase{"Hex", "&HFF", 255},
        ReadCase{"HexStopsAtNonDigit", "&H1G", 1}, ReadCase{"HexWithoutDigits", "&H", 0},
        ReadCase{"HexSignIsNoDigit", "&H-1", 0},
        ReadCase{"HexSixteenBitsStayPositive", "&HFFFF", 65535},
        ReadCase{"HexBeyondSixtyFourBits", "&H10000000000000001", 18446744073709551616.0},
        ReadCase{"Octal", "&O17", 15}, ReadCase{"OctalStopsAtEight", "&O78", 7},
        ReadCase{"OctalZero", "&O0", 0}, ReadCase{"OctalZeros", "&O000", 0},
        ReadCase{"SignBeforeAmpersand", "-&H10", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadNumber, DecimalTextIsCorrectlyRounded) {
    // Digit-by-digit accumulation gets these last bits wrong.
    EXPECT_EQ(*readNumber("0.1"), 0.1);
    EXPECT_EQ(*readNumber("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(*readNumber("2.2250738585072011e-308"), 2.2250738585072011e-308);
    EXPECT_EQ(*readNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(ReadNumber, ValuesBeyondTheDoubleRangeAreNothing) {
    for (const std::string& text : std::vector<std::string>{
             "1E400", "-1e309", "1" + std::string(400, '0'), "&H1" + std::string(256, '0'),
             "&O2" + std::string(342, '0'), "1e99999999999999999999"}) {
        EXPECT_FALSE(readNumber(text).has_value()) << text;
    }
}

TEST(ReadNumber, LargestHexAndOctalValuesStillRead) {
    // The largest double is 53 one bits followed by 971 zero bits.
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(*readNumber("&H" + std::string(13, 'F') + "8" + std::string(242, '0')), largest);
    EXPECT_EQ(*readNumber("&O1" + std::string(17, '7') + "4" + std::string(323, '0')), largest);
    // All 1024 bits set rounds up beyond the range.
    EXPECT_FALSE(readNumber("&H" + std::string(256, 'F')).has_value());
    EXPECT_EQ(*readNumber("&H" + std::string(1000, '0') + "1"), 1);
}

TEST(ReadNumber, HugeTextsAreReadWithoutTrouble) {
    const std::string digits(10'000'000, '7');
    EXPECT_FALSE(readNumber(digits).has_value());
    EXPECT_EQ(*readNumber("." + digits), 0.7777777777777778);
    EXPECT_EQ(*readNumber(std::string(10'000'000, ' ') + "5"), 5);
    EXPECT_EQ(*readNumber(std::string("1\0"
                                      "2",
                                      3)),
              1);
}

TEST(ReadNumberLength, PointsAtTheFirstIgnoredCharacter) {
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"3,200", 1}, {"43 psi", 3}, {" 7 ", 3},   {"9 00", 4},  {"abc", 0},  {"  abc", 2},
        {"", 0},      {"1e", 1},     {"1 e+x", 2}, {"1e5x", 3},  {"5.x", 2},  {".", 0},
        {"-", 0},     {"+abc", 0},   {"&H1G", 3},  {"&Hxyz", 0}, {"&O78", 3},
    };
    for (const auto& [text, length] : cases)
        EXPECT_EQ(moravik::readNumberLength(text), length) << text;
}

struct WholeCase {
    double value;
    std::int16_t expected;
};

TEST(ToWholeNumber, RoundsHalfToEven) {
    for (const auto [value, expected] : {WholeCase{42.5, 42},
                                         {43.5, 44},
                                         {-0.5, 0},
                                         {-1.5, -2},
                                         {0.49999999999999994, 0},
                                         {-0.49999999999999994, 0},
                                         {2.5000000000000004, 3},
                                         {32767.4, 32767},
                                         {-32768.5, -32768},
                                         {-32767.5, -32768}}) {
        const auto whole = toWholeNumber(value);
        ASSERT_TRUE(whole.has_value()) << value;
        EXPECT_EQ(*whole, expected) << value;
    }
}

TEST(ToWholeNumber, OutOfRangeIsNothing) {
    for (const double value : {32767.5, 32768.0, -32768.51, -32769.0, 1e300, -1e300}) {
        EXPECT_FALSE(toWholeNumber(value).has_value()) << value;
    }
}

}  // namespace
