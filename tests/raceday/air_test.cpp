#include "moravik/raceday/air.h"

#include <gtest/gtest.h>

#include <string>

#include "moravik/raceday/air_density.h"
#include "weather.h"

namespace moravik::raceday {
namespace {

using namespace test_support;
double hectopascals(double hpa) { return hpa * 100; }

// Smithsonian Meteorological Tables (R. J. List, 6th revised edition, 1951), saturation vapour
// pressure over water, read both ways. Wobus's polynomial fits the table, and its error bounds
// the agreement: 3e-5 of the pressure, under 0.001 K. Tetens's 237.3 form is 4e-4 off at 20 °C.
TEST(SaturationVapourPressure, MatchesTheSmithsonianTableBothWays) {
    const struct {
        double celsius, hectopascals;
    } table[] = {{-10, 2.8627}, {0, 6.1078},  {10, 12.272},
                 {20, 23.373},  {30, 42.430}, {40, 73.777}};
    for (const auto& [c, hpa] : table) {
        EXPECT_NEAR(saturationVapourPressure(celsius(c)), hectopascals(hpa),
                    hectopascals(hpa) * 3e-5)
            << c << " °C";
        EXPECT_NEAR(dewPointFor(hectopascals(hpa)), celsius(c), 0.001) << hpa << " hPa";
    }
}

// Station pressures from the NWS density-altitude calculator
// (weather.gov/epz/wxcalc_densityaltitude), as recorded with their inputs in the tests of
// github.com/fvalka/AviatorsBot (StationPressureTest.scala); shown to 0.01 hPa.
TEST(StationPressure, MatchesTheNwsCalculator) {
    const struct {
        double altimeterHpa, elevationMetres, stationHpa;
    } table[] = {{1013, 304.8, 976.91},
                 {1013, 3048, 696.49},
                 {990, 500, 932.67},
                 {1050, 0, 1050},
                 {1013, -200, 1037.27}};
    for (const auto& [altimeter, elevation, station] : table) {
        EXPECT_NEAR(stationPressure({hectopascals(altimeter), elevation}), hectopascals(station),
                    hectopascals(0.01))
            << elevation << " m";
    }
}

// NWS density-altitude calculator: 1013 hPa station pressure, 30 °C, dew point 20 °C gives
// 2044.3 ft (AviatorsBot, DensityAltitudeTest.scala). Rankine by 459.67 instead of the NWS's
// 459.69 gives 2043.1 ft, and 237.3 instead of 237.7 in its vapour pressure 2044.9 ft.
TEST(NwsDensityAltitude, ReproducesTheNwsCalculator) {
    const Air air =
        airOf({celsius(30), StationPressure{hectopascals(1013)}, DewPoint{celsius(20)}});
    EXPECT_NEAR(air.nwsDensityAltitudeFeet, 2044.3, 0.05);
}

// The International Standard Atmosphere (ICAO Doc 7488): 1.2250 kg/m³ at sea
// level with 15 °C and 1013.25 hPa, and 0.3639 kg/m³ at the tropopause, 11000 m.
TEST(DensityAltitude, MatchesTheStandardAtmosphere) {
    const Air sea = airOf({celsius(15), StationPressure{hectopascals(1013.25)}, {}});
    EXPECT_NEAR(sea.densityKgPerM3, 1.2250, 0.00005);
    EXPECT_NEAR(sea.relativeDensityPercent, 100, 0.005);
    EXPECT_NEAR(densityAltitude(1.225), 0, 1e-9);
    // ±0.00005 kg/m³ of the printed density is ±1.1 m there.
    EXPECT_NEAR(densityAltitude(0.3639), 11000, 1.1);
}

// ASHRAE Handbook, Fundamentals (2017), chapter 1, table 2: the humidity ratio of saturated air
// at 101.325 kPa. The table multiplies the vapour pressure by the enhancement factor (about
// 1.004 here), moist air's departure from an ideal mixture, which this calculation leaves out:
// it puts the table 0.45 to 0.5 % above us. Within 0.6 %; the last digits are the Python
// reference's to check.
TEST(WaterGrains, MatchAshraesSaturatedAirTable) {
    const struct {
        double celsius, humidityRatio;
    } table[] = {{10, 0.007661}, {20, 0.014758}, {30, 0.027329}};
    for (const auto& [c, ratio] : table) {
        const Air saturated =
            airOf({celsius(c), StationPressure{hectopascals(1013.25)}, RelativeHumidity{1}});
        EXPECT_NEAR(waterGrainsPerPound(saturated), 7000 * ratio, 7000 * ratio * 0.006) << c;
    }
    EXPECT_EQ(waterGrainsPerPound(airOf({celsius(30), StationPressure{hectopascals(1000)}, {}})),
              0);
}

// The figures without the dew point are evaluateAir's to the bit, the factors too, and what
// evaluateAir refuses it refuses.
TEST(EvaluateAirDensity, GivesEvaluateAirsFigures) {
    const Weather table[] = {
        {celsius(30), StationPressure{hectopascals(1000)}, RelativeHumidity{0.4}},
        {celsius(-5), AltimeterSetting{hectopascals(1013), 1600}, DewPoint{celsius(-10)}},
        {celsius(15), StationPressure{101325}, {}},
    };
    for (const Weather& weather : table) {
        const Air air = airOf(weather);
        const auto density = std::get<AirDensity>(evaluateAirDensity(weather));
        EXPECT_EQ(density.densityAltitudeMetres, air.densityAltitudeMetres);
        for (const StandardName& name : standards)
            EXPECT_EQ(correctionFactor(name.standard, density),
                      correctionFactor(name.standard, air));
    }
    const Weather hot{celsius(61), StationPressure{100000}, {}};
    EXPECT_EQ(errorOf(evaluateAirDensity(hot))->field, errorOf(evaluateAir(hot))->field);
}

// The day sheet's re-dial table: the same temperature and moisture at another density altitude,
// none beyond the pressures accepted.
TEST(AtDensityAltitude, KeepsTheTemperatureAndMoistureAndMovesThePressure) {
    const Weather today{celsius(30), AltimeterSetting{hectopascals(1013), 1600},
                        RelativeHumidity{0.4}};
    const double todays = airOf(today).densityAltitudeMetres;
    for (const double metres : {todays - 304.8, todays + 76.2, 0.0}) {
        const auto moved = atDensityAltitude(today, metres);
        ASSERT_TRUE(moved.has_value()) << metres;
        EXPECT_NEAR(airOf(*moved).densityAltitudeMetres, metres, 0.01);
        EXPECT_EQ(moved->kelvin, today.kelvin);
        EXPECT_EQ(std::get<RelativeHumidity>(moved->moisture).ratio, 0.4);
    }
    EXPECT_FALSE(atDensityAltitude(today, 9000).has_value());
    EXPECT_FALSE(atDensityAltitude(today, -3000).has_value());
}

// Each row changes one value of 20 °C dry air at 1000 hPa, and names its field. Each range's
// bound, and the nearest value past it, is raceday.reference's.
TEST(EvaluateAir, RefusesValuesOutsideTheAcceptedRanges) {
    const auto air = [](double c, PressureReading pressure = StationPressure{hectopascals(1000)},
                        Moisture moisture = {}) {
        return Weather{celsius(c), pressure, moisture};
    };
    const struct {
        Weather weather;
        std::string field;
    } table[] = {
        {air(-40.01), "temperature"},
        {{std::numeric_limits<double>::quiet_NaN(), StationPressure{100000}, {}}, "temperature"},
        {air(20, StationPressure{hectopascals(499.9)}), "station pressure"},
        {air(20, AltimeterSetting{hectopascals(1013), 6000}), "station pressure"},  // a mountain
        {air(20, StationPressure{100000}, RelativeHumidity{1.001}), "humidity"},
        {air(20, StationPressure{100000}, DewPoint{celsius(20.1)}), "dew point"},
    };
    for (const auto& [weather, field] : table) {
        const auto outcome = evaluateAir(weather);
        const Error* error = errorOf(outcome);
        ASSERT_NE(error, nullptr) << field;
        EXPECT_EQ(fieldName(error->field), field);
        EXPECT_NE(error->message.find(field), std::string::npos) << error->message;
    }
}

}  // namespace
}  // namespace moravik::raceday
