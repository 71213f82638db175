// Units at the edges: one table of units for the command line and the windows.
//
// Inside the library every quantity is an SI double: kelvin, pascal, metre,
// kilogram, watt, metre per second, second, and a ratio for humidity. Text a
// user types ("86F", "29.92inHg", "1768m", "40%") is read here, and values are
// shown here in the unit system the user chose.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/raceday/error.h"

namespace moravik::raceday {

enum class Dimension { Temperature, Pressure, Length, Ratio, Mass, Power, Speed, Time };

struct Unit {
    std::string_view symbol;  // as typed after a number and as shown
    Dimension dimension;
    double scale;   // SI value = (value + offset) * scale
    double offset;  // zero except for temperatures
};

// Exact definitions: 1 lb = 0.45359237 kg and 1 ft = 0.3048 m (international
// yard and pound, 1959); 1 mph = 1.609344 km/h; 1 hp = 745.69987158227022 W
// (mechanical, 550 ft·lbf/s); 1 PS = 735.49875 W; 1 psi = 1 lbf/in² = 6894.757293168361 Pa
// (to a double; 6894.757293168 is 5e-14 short);
// 1 inHg = 3386.389 Pa (at 0 °C, the NWS and ASTM figure); °F by the Rankine
// offset 459.67.
inline constexpr double kilogramsPerPound = 0.45359237;
inline constexpr double metresPerFoot = 0.3048;
inline constexpr double wattsPerHorsepower = 745.69987158227022;
inline constexpr double pascalsPerInchOfMercury = 3386.389;
inline constexpr double pascalsPerPsi = 6894.757293168361;
inline constexpr double metresPerSecondPerMph = 1609.344 / 3600;

inline constexpr std::array<Unit, 23> units{{
    {"F", Dimension::Temperature, 5.0 / 9.0, 459.67},
    {"°F", Dimension::Temperature, 5.0 / 9.0, 459.67},
    {"C", Dimension::Temperature, 1, 273.15},
    {"°C", Dimension::Temperature, 1, 273.15},
    {"K", Dimension::Temperature, 1, 0},
    {"inHg", Dimension::Pressure, pascalsPerInchOfMercury, 0},
    {"hPa", Dimension::Pressure, 100, 0},
    {"mbar", Dimension::Pressure, 100, 0},
    {"kPa", Dimension::Pressure, 1000, 0},
    {"psi", Dimension::Pressure, pascalsPerPsi, 0},
    {"bar", Dimension::Pressure, 100000, 0},
    {"ft", Dimension::Length, metresPerFoot, 0},
    {"m", Dimension::Length, 1, 0},
    {"%", Dimension::Ratio, 0.01, 0},
    {"lb", Dimension::Mass, kilogramsPerPound, 0},
    {"kg", Dimension::Mass, 1, 0},
    {"hp", Dimension::Power, wattsPerHorsepower, 0},
    {"kW", Dimension::Power, 1000, 0},
    {"PS", Dimension::Power, 735.49875, 0},
    {"mph", Dimension::Speed, metresPerSecondPerMph, 0},
    {"km/h", Dimension::Speed, 1 / 3.6, 0},
    {"m/s", Dimension::Speed, 1, 0},
    {"s", Dimension::Time, 1, 0},
}};

// Units the code names, checked against the table when it compiles.
constexpr const Unit& unitAt(std::size_t index, std::string_view symbol) {
    return units[index].symbol == symbol ? units[index] : throw "no such unit at that index";
}
inline constexpr const Unit& fahrenheitUnit = unitAt(0, "F");
inline constexpr const Unit& poundUnit = unitAt(14, "lb");
inline constexpr const Unit& horsepowerUnit = unitAt(16, "hp");
inline constexpr const Unit& mphUnit = unitAt(19, "mph");

enum class UnitSystem { Imperial, Metric };

// What a value means, which decides its units and how it is shown.
enum class Quantity {
    Temperature,
    Barometer,     // absolute air pressure
    LinePressure,  // fuel and bottle pressure
    Elevation,
    Humidity,
    Weight,
    Power,
    Speed,
    Time,
};

struct QuantityInfo {
    std::string_view name;  // as in "is not a temperature"
    Dimension dimension;
    std::string_view imperialUnit;
    std::string_view metricUnit;
    int decimals;  // shown after the point in reports
};

inline constexpr std::array<QuantityInfo, 9> quantities{{
    {"temperature", Dimension::Temperature, "F", "C", 1},
    {"pressure", Dimension::Pressure, "inHg", "hPa", 2},
    {"pressure", Dimension::Pressure, "psi", "bar", 1},
    {"elevation", Dimension::Length, "ft", "m", 0},
    {"humidity", Dimension::Ratio, "%", "%", 1},
    {"weight", Dimension::Mass, "lb", "kg", 0},
    {"power", Dimension::Power, "hp", "kW", 1},
    {"speed", Dimension::Speed, "mph", "km/h", 2},
    {"time", Dimension::Time, "s", "s", 3},
}};

constexpr const QuantityInfo& quantityInfo(Quantity quantity) {
    return quantities[static_cast<std::size_t>(quantity)];
}

// The unit whose symbol matches, ignoring ASCII case, or nullptr.
const Unit* findUnit(std::string_view symbol, Dimension dimension);

const Unit& displayUnit(Quantity quantity, UnitSystem system);

// The symbol as people read it beside a number: "°F" and "°C", "K" alone.
std::string shownSymbol(const Unit& unit);

// How a report writes its units: in ASCII, as typed after a number on the
// command line ("86.0 F", "kg/m3"), or as the Race Day window displays them
// ("86.0 °F", "kg/m³").
enum class UnitTexts { Ascii, Display };

// Air density's unit, which no field reads.
constexpr std::string_view densityUnitText(UnitTexts texts) {
    return texts == UnitTexts::Ascii ? "kg/m3" : "kg/m³";
}

constexpr double toSi(double value, const Unit& unit) { return (value + unit.offset) * unit.scale; }
constexpr double fromSi(double si, const Unit& unit) { return si / unit.scale - unit.offset; }

// The units a quantity accepts, in table order, without the ° spellings.
std::vector<const Unit*> unitChoices(Quantity quantity);

// "F, C, K": the symbols of unitChoices.
std::string acceptedUnits(Quantity quantity);

struct NumberAndSymbol {
    double number;
    std::string_view symbol;  // empty when none was typed
};

// Splits "29.92 inHg" into its finite number and its unit symbol; nothing when
// the text does not start with a finite number.
std::optional<NumberAndSymbol> splitQuantity(std::string_view text);

// Reads a finite number with an optional unit ("86F", "29.92 inHg", "40%");
// a bare number is in the unit of `system`. Gives the SI value, or an Error
// whose message starts with `field` and lists the accepted units.
Outcome<double> parseQuantity(std::string_view text, Quantity quantity, UnitSystem system,
                              std::string_view field);

// The same with a bare number in `bareUnit`, as a form field with its own unit
// choice reads it.
Outcome<double> parseQuantityIn(std::string_view text, Quantity quantity, const Unit& bareUnit,
                                std::string_view field);

// "imperial" or "metric".
Outcome<UnitSystem> parseUnitSystem(std::string_view text, std::string_view field);

// A whole number as typed, from low to high, or an Error saying what is
// accepted: "\"abc\" is not a whole number from 1 to 1000", or "... of 1 or
// more" where high is the type's own limit, no bound a user would type.
Outcome<std::int64_t> readWholeNumber(std::string_view text, std::int64_t low,
                                      std::int64_t high = std::numeric_limits<std::int64_t>::max());

// Text the user typed, in double quotes for a message; beyond 40 bytes it is
// cut at a character boundary and ends in "...". Escaping is the caller's.
std::string echoedText(std::string_view text);

// A value with a fixed number of decimals, the same in every locale.
std::string fixedText(double value, int decimals);

// The SI value in the display unit of `system`, with the quantity's decimals,
// and the unit after a blank: "86.0 F", "1013.25 hPa"; "86.0 °F" in Display texts.
std::string displayText(double si, Quantity quantity, UnitSystem system,
                        UnitTexts texts = UnitTexts::Ascii);

}  // namespace moravik::raceday
