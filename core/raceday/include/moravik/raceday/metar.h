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

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/raceday/air.h"
#include "moravik/raceday/error.h"

namespace moravik::raceday {

// What one report says, before the strip's elevation is known.
struct MetarReport {
    std::string station;  // KDEN
    std::string time;     // the day and time group as published: 061853Z
    double kelvin = 0;
    std::optional<double> dewPointKelvin;  // none where the report leaves it out (M02/)
    double altimeterPascals = 0;
    std::string altimeterGroup;      // the group used: A3012 or Q1013
    std::vector<std::string> notes;  // whole sentences on choices the racer should know of
};

// One report, in capitals, as published; a trailing '=' and any Unicode spaces between the
// groups are taken. Errors say what was missing or could not be read; the caller puts its own
// label for the report before the sentence.
Outcome<MetarReport> readMetar(std::string_view report);

// The report's weather at the strip's elevation. `typed` is the humidity or dew point given
// beside a report that leaves out the dew point, and nothing beside one that gives it. The
// caller labels the report as for readMetar.
Outcome<Weather> weatherFromMetar(const MetarReport& report, double elevationMetres,
                                  const Moisture& typed);

}  // namespace moravik::raceday
