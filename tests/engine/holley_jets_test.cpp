// Holley jet numbers where the table's rows overlap: the last matching row wins (.093 gives 82,
// .104 gives 90). engine.reference (tests/reference/check_batch.py) holds every range edge, a
// thousandth below, at and above, against the table as the reference writes it down.
#include "moravik/holley_jets.h"

#include <gtest/gtest.h>

#include "moravik/nitrous.h"

namespace {

using moravik::holleyJetNumber;

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
    // Rounded sizes meet the bounds exactly.
    EXPECT_EQ(holleyJetNumber(moravik::roundToThousandths(0.0930001)), 82);
    EXPECT_EQ(holleyJetNumber(moravik::roundToThousandths(0.0399999)), 40);
}

}  // namespace
