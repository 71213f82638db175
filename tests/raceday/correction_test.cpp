#include "moravik/raceday/correction.h"

#include <gtest/gtest.h>

#include "raceday_test_support.h"

namespace moravik::raceday {
namespace {

// Each standard's own reference day, as the standards define it, corrects by
// exactly 1: SAE J1349 99 kPa of dry air at 25 °C, SAE J607 29.92 inHg of dry
// air at 60 °F, DIN 70020 1013 mbar total pressure at 20 °C. The moist rows
// take the vapour pressure of their dew point from the Smithsonian table,
// 23.373 hPa at 20 °C and 12.272 hPa at 10 °C: the SAE standards count only the
// dry air, DIN all of it.
TEST(CorrectionFactor, IsOneOnEachStandardsReferenceDay) {
    const struct {
        const char* name;
        Standard standard;
        Weather weather;
    } table[] = {
        {"J1349 1990 dry", Standard::SaeJ1349_1990, {celsius(25), StationPressure{99000}, {}}},
        {"J1349 2004 dry", Standard::SaeJ1349_2004, {celsius(25), StationPressure{99000}, {}}},
        {"J1349 1990 moist",
         Standard::SaeJ1349_1990,
         {celsius(25), StationPressure{99000 + 2337.3}, DewPoint{celsius(20)}}},
        {"J607 dry",
         Standard::SaeJ607,
         {(60 + 459.67) * 5 / 9, StationPressure{29.92 * 3386.389}, {}}},
        {"J607 moist",
         Standard::SaeJ607,
         {(60 + 459.67) * 5 / 9, StationPressure{29.92 * 3386.389 + 1227.2},
          DewPoint{celsius(10)}}},
        {"DIN dry", Standard::Din70020, {celsius(20), StationPressure{101300}, {}}},
        {"DIN moist",
         Standard::Din70020,
         {celsius(20), StationPressure{101300}, DewPoint{celsius(20)}}},
    };
    for (const auto& [name, standard, weather] : table) {
        // 3e-5 of the vapour pressure is the table fit; it moves a factor by under 1e-6.
        EXPECT_NEAR(correctionFactor(standard, airOf(weather)), 1, 1e-6) << name;
    }
}

TEST(CorrectionFactor, RisesInThinHotAirAndFallsInDenseColdAir) {
    const Air thin = airOf({celsius(35), StationPressure{85000}, RelativeHumidity{0.5}});
    const Air dense = airOf({celsius(0), StationPressure{103000}, {}});
    for (const StandardName& s : standards) {
        const double thinFactor = correctionFactor(s.standard, thin);
        EXPECT_GT(thinFactor, 1) << s.key;
        EXPECT_LT(correctionFactor(s.standard, dense), 1) << s.key;
        EXPECT_NEAR(relativeHpPercent(thinFactor) * thinFactor, 100, 1e-12) << s.key;
    }
}

TEST(Standards, AreFoundByTheirKeys) {
    for (const StandardName& s : standards) EXPECT_EQ(findStandard(s.key), s.standard);
    EXPECT_EQ(findStandard("sae"), std::nullopt);
    EXPECT_EQ(standardName(defaultStandard).key, "sae-j607");
}

}  // namespace
}  // namespace moravik::raceday
