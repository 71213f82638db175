// Holley jet numbers at every edge of the jet table. The expected numbers are
// the table's own: rows 1 to 40 as listed, and above .093 what remains once
// the last matching row wins (.093 gives 82, .104 gives 90).
#include "moravik/holley_jets.h"

#include <gtest/gtest.h>

#include "moravik/nitrous.h"

namespace {

using moravik::holleyJetNumber;

struct Edge {
    int thousandths;  // a range bound, as a whole number of thousandths of an inch
    int below;        // the number one thousandth below it
    int at;
    int above;  // one thousandth above it
};

// Sizes arrive as whole thousandths made by dividing by 1000.
TEST(HolleyJetNumber, EveryRangeEdgeBelowAtAndAbove) {
    for (const auto [edge, below, at, above] : {
             Edge{40, 0, 40, 41}, {41, 40, 41, 42},  {42, 41, 42, 43},  {43, 42, 43, 44},
             {44, 43, 44, 45},    {45, 44, 45, 46},  {46, 45, 46, 47},  {47, 46, 47, 48},
             {48, 47, 48, 49},    {49, 48, 49, 50},  {50, 49, 50, 51},  {51, 50, 51, 52},
             {52, 51, 52, 53},    {53, 52, 53, 54},  {54, 53, 54, 55},  {55, 54, 55, 56},
             {56, 55, 56, 57},    {57, 56, 57, 58},  {58, 57, 58, 59},  {59, 58, 59, 60},
             {60, 59, 60, 61},    {61, 60, 61, 62},  {62, 61, 62, 63},  {63, 62, 63, 64},
             {64, 63, 64, 65},    {65, 64, 65, 65},  {67, 65, 66, 67},  {68, 66, 67, 68},
             {69, 67, 68, 69},    {70, 68, 69, 69},  {73, 69, 70, 70},  {76, 70, 71, 71},
             {79, 71, 72, 73},    {80, 72, 73, 74},  {81, 73, 74, 75},  {82, 74, 75, 75},
             {84, 75, 76, 76},    {86, 76, 77, 77},  {89, 77, 78, 78},  {91, 78, 79, 79},
             {93, 79, 82, 83},    {94, 82, 83, 83},  {99, 83, 84, 85},  {100, 84, 85, 86},
             {101, 85, 86, 86},   {103, 86, 87, 90}, {104, 87, 90, 93}, {105, 90, 93, 93},
             {108, 93, 94, 94},   {118, 94, 96, 96}, {125, 96, 99, 99}, {128, 99, 100, 100},
         }) {
        EXPECT_EQ(holleyJetNumber((edge - 1) / 1000.0), below) << edge << " less .001";
        EXPECT_EQ(holleyJetNumber(edge / 1000.0), at) << edge;
        EXPECT_EQ(holleyJetNumber((edge + 1) / 1000.0), above) << edge << " plus .001";
    }
}

TEST(HolleyJetNumber, OverlappingRangesLeaveTheLastMatch) {
    const struct {
        int tenThousandths, number;
    } sizes[] = {{933, 82},  {936, 82},  {1039, 87}, {1042, 90}, {1048, 90},
                 {1053, 93}, {1056, 93}, {1185, 96}, {1253, 99}, {1256, 99}};
    // The upper bounds inside a thousandth (.0933, .1042, .1185, ...) never decide.
    for (const auto [size, number] : sizes) {
        EXPECT_EQ(holleyJetNumber(size / 10000.0), number) << size;
    }
    EXPECT_EQ(holleyJetNumber(0.0), 0);
    EXPECT_EQ(holleyJetNumber(100.0), 100);
}

TEST(HolleyJetNumber, RoundedSizesMeetTheBoundsExactly) {
    EXPECT_EQ(holleyJetNumber(moravik::roundToThousandths(0.0930001)), 82);
    EXPECT_EQ(holleyJetNumber(moravik::roundToThousandths(0.0399999)), 40);
}

}  // namespace
