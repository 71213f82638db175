#include "moravik/tracks.h"

#include <gtest/gtest.h>

#include <charconv>
#include <set>

namespace {

using moravik::altitudeFactorsFor;
using moravik::trackEntries;

TEST(TrackList, EntriesKeepTheirExactTexts) {
    const auto entries = trackEntries();
    struct Entry {
        std::size_t position;  // counted from 1
        const char* text;
    };
    for (const auto [position, text] : {
             Entry{1, "Comp, S/C, S/G, S/ST"},
             {2, "DIVISION 4"},
             {6, "DIVISION 5  "},
             {7, "Denver, CO  5800"},
             {31, "Stock & Super Stock  "},
             {37, "Denver, CO  5800"},
             {59, "Tucson, AZ  3000"},
         }) {
        EXPECT_EQ(entries[position - 1], text) << position;
    }
}

TEST(TrackList, EveryStripStandsUnderBothGroupsWithItsFactors) {
    const auto entries = trackEntries();
    std::multiset<std::string_view> strips;
    for (const auto entry : entries) {
        if (altitudeFactorsFor(entry)) strips.insert(entry);
    }
    EXPECT_EQ(strips.size(), 42u);
    for (const auto strip : strips) EXPECT_EQ(strips.count(strip), 2u) << strip;
}

TEST(AltitudeFactors, FollowTheAltitudeInTheStripText) {
    // ET factor 1.003 - 0.000013 h and MPH factor 0.9961 + 0.000014 h, to four decimals.
    for (const auto entry : trackEntries()) {
        const auto factors = altitudeFactorsFor(entry);
        if (!factors) continue;
        const auto altitude = entry.substr(entry.rfind(' ') + 1);
        int feet = 0;
        std::from_chars(altitude.data(), altitude.data() + altitude.size(), feet);
        EXPECT_NEAR(factors->et, 1.003 - 0.000013 * feet, 5e-9) << entry;
        EXPECT_NEAR(factors->mph, 0.9961 + 0.000014 * feet, 5e-9) << entry;
    }
}

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
