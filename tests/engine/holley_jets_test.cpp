#include "moravik/holley_jets.h"

#include <gtest/gtest.h>

#include "moravik/nitrous.h"

namespace {

using moravik::holleyJetNumber;

// Sizes arrive as whole thousandths made by dividing by 1000.
double thousandths(int k) { return k / 1000.0; }

struct JetCase {
    int thousandthsOfInch;
    std::int16_t number;
};

TEST(HolleyJetNumber, LastMatchingRangeWins) {
    for (const auto [size, number] : {
             JetCase{0, 0}, {17, 0},    {39, 0},    {40, 40},      {41, 41},  {52, 52},  {64, 64},
             {65, 65},      {66, 65},   {67, 66},   {70, 69},      {71, 69},  {72, 69},  {79, 72},
             {82, 75},      {83, 75},   {91, 79},   {92, 79},      {93, 82},  {94, 83},  {98, 83},
             {99, 84},      {100, 85},  {101, 86},  {102, 86},     {103, 87}, {104, 90}, {105, 93},
             {106, 93},     {107, 93},  {108, 94},  {117, 94},     {118, 96}, {124, 96}, {125, 99},
             {127, 99},     {128, 100}, {500, 100}, {100000, 100},
         }) {
        EXPECT_EQ(holleyJetNumber(thousandths(size)), number) << size;
    }
}

TEST(HolleyJetNumber, RoundedSizesMeetTheBoundsExactly) {
    // A rounded size compares equal to the table bound with the same decimals.
    EXPECT_EQ(holleyJetNumber(moravik::roundToThousandths(0.0930001)), 82);
    EXPECT_EQ(holleyJetNumber(moravik::roundToThousandths(0.0399999)), 40);
}

}  // namespace
