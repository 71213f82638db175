// A strip is found by its exact text. Every entry of the list and every strip's
// factors are checked through moravik-calc by the reference test (tests/reference)
// and the --tracks golden file.
#include "moravik/tracks.h"

#include <gtest/gtest.h>

namespace {

using moravik::altitudeFactorsFor;

TEST(AltitudeFactors, OnlyExactStripTextsMatch) {
    for (const char* text :
         {"", "Comp, S/C, S/G, S/ST", "DIVISION 5  ", "------------------", "Denver, CO 5800",
          "denver, CO  5800", "Denver, CO  5800 ", " Denver, CO  5800"}) {
        EXPECT_FALSE(altitudeFactorsFor(text).has_value()) << '[' << text << ']';
    }
    const auto denver = altitudeFactorsFor("Denver, CO  5800");
    ASSERT_TRUE(denver.has_value());
    EXPECT_EQ(denver->et, 0.9276);
    EXPECT_EQ(denver->mph, 1.0773);
}

}  // namespace
