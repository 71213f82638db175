// Expected powers are mpmath's at 300 bits rounded to the nearest double, at
// arguments where glibc's pow or cbrt (with or without FMA) gives another double.
#include "moravik/portable_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using moravik::portable::cbrt;
using moravik::portable::pow;

constexpr double infinity = std::numeric_limits<double>::infinity();

struct PowerCase {
    double base;
    double exponent;
    double expected;
};

TEST(PortableMath, PowerIsCorrectlyRounded) {
    const PowerCase cases[] = {
        {1.9150827158369677, 0.3138, 1.2261693300681549},
        {0.08795614623480086, 0.2841, 0.5012634343882899},
        {0.7620385474076534, 3.5198873636043646, 0.38421306101104424},
        {10, 0.7944266993943856, 6.229120029189887},
        {10, 0.7146751964562688, 5.184121797659179},
        {1.0750952912600475, 0.1902630958088845, 1.0138721553800323},
        {1.1804607514642842, 0.235, 1.0397576269237347},
        {0.7583098261122782, 8, 0.1093385898821572},
        {1.3528718575560275, 8, 11.221561692931276},
        {10, 2, 100},
        {2, 0.5, 1.4142135623730951},
        {1e300, 8, infinity},
        {1e-300, 8, 0},
        {0, 0.333333, 0},
        {0, -1, infinity},
        {-2, 3, -8},
        {-0.0, 3, -0.0},
        {123.4, 0, 1},
        {1, infinity, 1},
        {0.5, infinity, 0},
        {infinity, -0.5, 0},
    };
    for (const PowerCase& c : cases) {
        const double got = pow(c.base, c.exponent);
        EXPECT_EQ(got, c.expected) << c.base << " ^ " << c.exponent;
        EXPECT_EQ(std::signbit(got), std::signbit(c.expected)) << c.base << " ^ " << c.exponent;
    }
    EXPECT_TRUE(std::isnan(pow(-8, 1.0 / 3)));
    EXPECT_TRUE(std::isnan(pow(std::numeric_limits<double>::quiet_NaN(), 2)));
}

TEST(PortableMath, CubeRootIsCorrectlyRounded) {
    const PowerCase cases[] = {
        // glibc gives 3.0000000000000004 for the first.
        {27, 0, 3},
        {-8, 0, -2},
        {1.4238351334837107, 0, 1.1250018458527635},
        {0.6837168063237107, 0, 0.8809651971358379},
        {-0.0, 0, -0.0},
        {infinity, 0, infinity},
    };
    for (const PowerCase& c : cases) {
        const double got = cbrt(c.base);
        EXPECT_EQ(got, c.expected) << "cbrt " << c.base;
        EXPECT_EQ(std::signbit(got), std::signbit(c.expected)) << "cbrt " << c.base;
    }
}

}  // namespace
