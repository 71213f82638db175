// The weather of a run written as one line of text, for the command line's
// predict and the window alike.
//
// Items are separated by blanks. Each is a quantity with its unit, led by a
// keyword where the unit alone does not say what it is:
//
//   [temp] T   air temperature            86F, 30C
//   [baro] P   station (absolute) pressure 29.10inHg, 985hPa
//   alt A      altimeter setting           alt 1013hPa   (needs elev)
//   [elev] E   elevation of the strip      elev 1768m
//   [rh] H     relative humidity           40%
//   dew T      dew point                   dew 12C
//
// A keyword in brackets may be left out when the item has a unit. A bare
// number needs its keyword and is read in the unit system's unit. Each item
// appears at most once; a temperature and a pressure are required.
#pragma once

#include <string_view>

#include "moravik/raceday/air.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/units.h"

namespace moravik::raceday {

// The help text's summary of the grammar above, one item a line.
extern const std::string_view weatherGrammar;

// Errors name the item; the caller puts its own label for the text before the sentence.
Outcome<Weather> parseWeather(std::string_view text, UnitSystem system);

}  // namespace moravik::raceday
