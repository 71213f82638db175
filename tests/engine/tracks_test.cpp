// A strip is found by its exact text. Every entry of the list and every strip's factors are checked
// through moravik-calc by the reference test (tests/reference) and the --tracks golden file.
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
    EXPECT_TRUE(altitudeFactorsFor("Denver, CO  5800").has_value());
}

}  // namespace
