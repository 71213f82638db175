// The weather of an airfield's routine report (METAR or SPECI), as racers copy it from the
// nearest airport: the temperature and dew point, and the altimeter setting.
//
//   KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 SLP198 T00501028
//
// The temperature group (05/M03, whole degrees Celsius, M for minus) is read, and the tenths of
// the remarks' T group (T00501028: 5.0 and -2.8) are preferred where the report has one. The
// altimeter setting is A followed by hundredths of an inch of mercury, or Q followed by
// hectopascals; it needs the strip's elevation to become a station pressure.
#pragma once

#include <string_view>

#include "moravik/raceday/air.h"
#include "moravik/raceday/error.h"

namespace moravik::raceday {

// One report, in capitals, as published. Errors name `field` and say what was missing or
// could not be read.
Outcome<Weather> weatherFromMetar(std::string_view report, double elevationMetres,
                                  std::string_view field);

}  // namespace moravik::raceday
