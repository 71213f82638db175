#include "moravik/raceday/bottle.h"

#include <gtest/gtest.h>

#include "weather.h"

namespace moravik::raceday {
namespace {

using namespace test_support;

Bottle accepted(const Outcome<Bottle>& outcome) {
    if (const Error* error = errorOf(outcome)) ADD_FAILURE() << error->message;
    return std::get<Bottle>(outcome);
}

// The issue's own figures for the ESDU 91022 curve: 5060.1 kPa absolute at
// 20 °C, about 737 psig at 70 °F and about 900 psig at 86 °F.
TEST(Bottle, GivesTheIssuesFigures) {
    const struct {
        double kelvin;
        double expected;
        double tolerance;
        bool gaugePsi;
    } table[] = {
        {celsius(20), 5060.1, 0.05, false},
        {fahrenheit(70), 737, 1, true},
        {fahrenheit(86), 900, 1.5, true},
    };
    for (const auto& row : table) {
        const Bottle bottle =
            accepted(bottleAtTemperature(row.kelvin, standardAtmospherePascals, "--temperature"));
        const double shown =
            row.gaugePsi ? bottle.gaugePascals() / pascalsPerPsi : bottle.absolutePascals / 1e3;
        EXPECT_NEAR(shown, row.expected, row.tolerance) << row.kelvin;
        // The heater's set point for that pressure is the temperature again.
        const Bottle back = accepted(bottleAtPressure(
            {bottle.absolutePascals, PressureReference::Absolute}, standardAtmospherePascals, "p"));
        EXPECT_NEAR(back.kelvin, row.kelvin, 1e-9);
    }
}

// Upper case and blanks, which raceday.reference does not type: 950 psi is 6550019.428509943 Pa
// by the definition of the psi (NIST SP 811).
TEST(Bottle, ReadsGaugePressuresInUpperCase) {
    const auto read = parseBottlePressure(" 950 PSIG ", bareBottleUnit(UnitSystem::Metric), "p");
    ASSERT_EQ(errorOf(read), nullptr);
    EXPECT_DOUBLE_EQ(std::get<BottlePressure>(read).pascals, 6550019.428509943);
    EXPECT_EQ(std::get<BottlePressure>(read).reference, PressureReference::Gauge);
}

TEST(Bottle, RefusesWhatTheCurveDoesNotCoverAndSaysWhy) {
    const auto message = [](const auto& outcome) {
        const Error* error = errorOf(outcome);
        return error == nullptr ? std::string("accepted") : error->message;
    };
    const std::pair<std::string, std::string> table[] = {
        {message(bottleAtTemperature(celsius(-30.001), 101325, "--temperature")),
         "--temperature: the curve covers a bottle from -22.00 °F (-30.00 °C) up"},
        {message(bottleAtTemperature(celsius(36.43), 101325, "--temperature")),
         "critical temperature, no liquid is left"},
        {message(bottleAtPressure({1038 * pascalsPerPsi, PressureReference::Gauge}, 101325, "p")),
         "p: above 1037.0 psi (71.50 bar) gauge"},
        {message(bottleAtPressure({176 * pascalsPerPsi, PressureReference::Gauge}, 101325, "p")),
         "p: the curve covers a bottle from 176.8 psi (12.19 bar) gauge"},
        {message(
             parseBottlePressure("950inHg", bareBottleUnit(UnitSystem::Imperial), "--pressure")),
         "--pressure: \"950inHg\" is not a bottle pressure; give a number with one of the units "
         "psi, psig, psia, bar, kPa"},
        {message(
             parseBottlePressure("nan psi", bareBottleUnit(UnitSystem::Imperial), "--pressure")),
         "is not a bottle pressure"},
        {checkOutsidePressure(49999, "--outside-pressure")->message,
         "must lie within 500 to 1100 hPa"},
        {message(fuelJetsForBottle({std::nullopt, 0.4 * pascalsPerPsi},
                                   accepted(bottleAtTemperature(celsius(20), 101325, "t")))),
         "fuel pressure must lie within 1 to 32767 psi"},
    };
    for (const auto& [got, expected] : table)
        EXPECT_NE(got.find(expected), std::string::npos) << got;
    EXPECT_FALSE(checkOutsidePressure(110000, "x"));
}

}  // namespace
}  // namespace moravik::raceday
