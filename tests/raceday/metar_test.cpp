#include "moravik/raceday/metar.h"

#include <gtest/gtest.h>

#include <string>

#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

constexpr double denverMetres = 1656.3;  // 5434 ft

struct Decoded {
    const char* source;
    const char* report;
    double celsius, dewPointCelsius;
    double altimeter;  // in inHg for an A group, hPa for a Q group
    bool hectopascals = false;
};

// Reports as published, with the values their sources decode from them.
const Decoded published[] = {
    {"the FAA's Aeronautical Information Manual, Fig. 7-1-19 (Key to METAR)",
     "METAR KPIT 091955Z COR 22015G25KT 3/4SM R28L/2600FT TSRA OVC010CB 18/16 A2992 RMK SLP045 "
     "T01820159",
     18.2, 15.9, 29.92},
    {"US Air Force Manual 15-111 (2019), remark 30: 03/M01 with T00261015 is 2.6 and -1.5 °C",
     "KXYZ 061853Z 00000KT 10SM CLR 03/M01 A3000 RMK AO2 T00261015", 2.6, -1.5, 30.00},
    {"dixwx.com's METAR decoding key: an automated station, 16/M02, T01561022",
     "KMEM 230853Z AUTO 18014G18KT 10SM CLR 16/M02 A3008 RMK AO2 SLP117 T01561022 TSNO", 15.6, -2.2,
     30.08},
    {"dixwx.com's key: below freezing in both groups",
     "KBIL 162256Z 29017G27KT 10SM FEW070 SCT085 BKN110 M02/M02 A2961 RMK AO2 PK WND 29027/2250 "
     "WSHFT 2241 SLP205 70033 T10171022 11006 21017 53016",
     -1.7, -2.2, 29.61},
    {"dixwx.com's key: an international report in hectopascals, without remarks",
     "SVVA 171100Z 00000KT 9999 FEW016 BKN250 21/19 Q1013 NOSIG", 21, 19, 1013, true},
    {"Texas A&M's METAR decoding page, whole degrees and a three-part visibility",
     "KPIT 211151Z 25009KT 1 1/2SM -SN FEW021 BKN027 OVC035 M12/M15 A3014 RMK A02 SLP236 8/546 "
     "P0000 60000 T11171150 11106 21131 51016",
     -11.7, -15.0, 30.14},
    {"a Denver report whose T group gives the tenths",
     "KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 SLP198 T00501028", 5.0, -2.8, 30.12},
};

TEST(Metar, ReadsPublishedReports) {
    for (const Decoded& row : published) {
        SCOPED_TRACE(row.source);
        const auto weather = weatherFromMetar(row.report, denverMetres, "--metar");
        ASSERT_EQ(errorOf(weather), nullptr) << errorOf(weather)->message;
        const Weather& w = std::get<Weather>(weather);
        EXPECT_NEAR(w.kelvin - celsiusZero, row.celsius, 1e-9);
        ASSERT_TRUE(std::holds_alternative<DewPoint>(w.moisture));
        EXPECT_NEAR(std::get<DewPoint>(w.moisture).kelvin - celsiusZero, row.dewPointCelsius, 1e-9);
        const auto& setting = std::get<AltimeterSetting>(w.pressure);
        EXPECT_NEAR(setting.pascals / (row.hectopascals ? 100 : pascalsPerInchOfMercury),
                    row.altimeter, 1e-9);
        EXPECT_EQ(setting.elevationMetres, denverMetres);
    }
}

TEST(Metar, RefusesWhatItCannotReadAndSaysWhy) {
    const struct {
        const char* report;
        const char* says;
    } table[] = {
        {"", "--metar: paste one METAR"},
        {"kden 061853z 18010kt 10sm few080 05/m03 a3012", "lower case"},
        {"KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012=", "end mark '='"},
        {"KDEN 061853Z 05/M03 A3012 KDEN 061953Z 06/M03 A3011", "more than one report"},
        {"KDEN 061853Z 05/M03 A3012\nMETAR KCOS 061854Z 04/M05 A3010", "more than one report"},
        {"061853Z 05/M03 A3012", "must begin with the airfield and the time"},
        {"KDEN 18010KT 05/M03 A3012", "must begin with the airfield and the time"},
        {"KDEN 061853Z 18010KT 10SM 0M5/03 A3012", "\"0M5/03\""},
        {"KDEN 061853Z 18010KT 10SM 05M/03 A3012", "M only before the digits"},
        {"KDEN 061853Z 18010KT 10SM 5/3 A3012", "two digits each"},
        {"KGTF 170322Z AUTO 33014KT 1 3/4SM -SN BR OVC005 A2991 RMK AO2", "gives no temperature"},
        {"KDEN 061853Z 18010KT 10SM FEW080 05/M03 RMK AO2", "gives no altimeter setting"},
        {"KDEN 061853Z 18010KT 10SM FEW080 05/ A3012", "gives no dew point"},
        {"KDEN 061853Z 18010KT 10SM FEW080 05/ A3012 RMK T0050", "gives no dew point"},
    };
    for (const auto& row : table) {
        const auto weather = weatherFromMetar(row.report, denverMetres, "--metar");
        const Error* error = errorOf(weather);
        ASSERT_NE(error, nullptr) << row.report;
        EXPECT_EQ(error->field, Field::Labelled);
        EXPECT_EQ(error->message.rfind("--metar: ", 0), 0u) << error->message;
        EXPECT_NE(error->message.find(row.says), std::string::npos) << error->message;
    }
}

}  // namespace
}  // namespace moravik::raceday
