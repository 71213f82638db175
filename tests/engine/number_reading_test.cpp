#include "moravik/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using moravik::readNumber;
using moravik::toWholeNumber;

TEST(ReadNumber, ReadsTheLeadingNumber) {
    const std::pair<std::string, double> cases[] = {
        {"43", 43},         {".030", 0.03},    {"3E-2", 0.03}, {"43psi", 43},
        {"1,000", 1},       {"0,030", 0},      {"9 00", 900},  {"1 e 2", 100},
        {"4\r3", 4},        {"", 0},           {",5", 0},      {"-1.5", -1.5},
        {"-", 0},           {"1.2.3", 1.2},    {"1e", 1},      {"1e+", 1},
        {".", 0},           {"e5", 0},         {"1e-400", 0},  {"-1e-400", -0.0},
        {"1e-310", 1e-310}, {"&HFF", 255},     {"&H1G", 1},    {"&H", 0},
        {"&H-1", 0},        {"&HFFFF", 65535}, {"&O17", 15},   {"&O78", 7},
        {"&O0", 0},         {"&O000", 0},      {"-&H10", 0},   {"\t4\n3 \t.\n5", 43.5},
    };
    for (const auto& [text, expected] : cases) {
        const auto value = readNumber(text);
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(*value, expected) << text;
        EXPECT_EQ(std::signbit(*value), std::signbit(expected)) << text;
    }
}

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
    EXPECT_EQ(*readNumber("&H10000000000000001"), 18446744073709551616.0);  // 2^64 + 1
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

// Half to even within the 16-bit range; nothing outside it.
TEST(ToWholeNumber, RoundsHalfToEvenWithinSixteenBits) {
    const double justBelowHalf = 0.49999999999999994, justAboveHalf = 2.5000000000000004;
    const std::pair<double, std::int16_t> cases[] = {
        {42.5, 42},          {43.5, 44},         {-0.5, 0},          {-1.5, -2},
        {32767.4, 32767},    {-32768.5, -32768}, {-32767.5, -32768}, {justBelowHalf, 0},
        {-justBelowHalf, 0}, {justAboveHalf, 3},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(toWholeNumber(value), expected) << value;
    for (const double value : {32767.5, 32768.0, -32768.51, -32769.0, 1e300, -1e300})
        EXPECT_FALSE(toWholeNumber(value).has_value()) << value;
}

}  // namespace
