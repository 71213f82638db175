#include "moravik/result_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using moravik::formatResult;

struct FormatCase {
    double value;
    const char* text;
};

TEST(FormatResult, WritesDoublesByTheTextRules) {
    for (const auto [value, text] : {
             FormatCase{12.3456, " 12.3456"},
             {1.2, " 1.2"},
             {0.017, " .017"},
             {-0.5, "-.5"},
             {2.0 / 3.0, " .666666666666667"},
             {40.645079999999986, " 40.64508"},
             {0, " 0"},
             {-0.0, " 0"},
             {250, " 250"},
             {-1234.5, "-1234.5"},
             {0.001, " .001"},
             {-0.00123, "-.00123"},
             {0.0009999999999999998, " .001"},  // rounds up into the plain window
             {0.0001, " 1E-04"},
             {0.00012345, " 1.2345E-04"},
             {999999999999999.0, " 999999999999999"},
             {999999999999999.9, " 1000000000000000"},  // below 1E15, so plain
             {1e15, " 1E+15"},
             {1.5e15, " 1.5E+15"},
             {-2.5e100, "-2.5E+100"},
             {1e-300, " 1E-300"},
             {std::numeric_limits<double>::max(), " 1.79769313486232E+308"},
             {0.1 + 0.2, " .3"},
             {100.0, " 100"},
             // Halfway between two 15-digit texts: ties to even, as Python's '%.14e' rounds.
             {123456789012345.5, " 123456789012346"},
             {123456789012344.5, " 123456789012344"},
             {1234567890123.125, " 1234567890123.12"},
             {1.2345678901234567e-08, " 1.23456789012346E-08"},
             {9.999999999999999e-09, " 1E-08"},
         }) {
        EXPECT_EQ(formatResult(value), text) << value;
    }
}

TEST(FormatResult, WritesWholeNumbersBehindTheSignPosition) {
    EXPECT_EQ(formatResult(std::int16_t{61}), " 61");
    EXPECT_EQ(formatResult(std::int16_t{0}), " 0");
    EXPECT_EQ(formatResult(std::int16_t{-32768}), "-32768");
}

}  // namespace
