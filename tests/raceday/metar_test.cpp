#include "moravik/raceday/metar.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "moravik/raceday/units.h"

namespace moravik::raceday {
namespace {

constexpr double denverMetres = 1656.3;  // 5434 ft

struct Decoded {
    const char* source;
    std::string report;
    double celsius;
    std::optional<double> dewPointCelsius;  // none: the report leaves it out
    double altimeter;                       // in inHg for an A group, hPa for a Q group
    bool hectopascals = false;
    const char* note = "";  // part of the note the reading gives, if any
};

const std::string kden = "KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 SLP198 T00501028";

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
    {"a Denver report whose T group gives the tenths", kden, 5.0, -2.8, 30.12},
    {"MetPy's METAR tests: Amman Marka gives Q1013 and A2991, decoded as 29.91 inHg",
     "METAR OJAM 050000Z 04004KT 4000 DU NSC 13/08 Q1013 A2991 R36/190095 NOSIG", 13, 8, 29.91,
     false, "Both given: A2991 is used, not Q1013"},
    {"MetPy's METAR tests: a report broken over lines as the feed sends it",
     "K0CO 042354Z AUTO 01007KT M1/4SM -SN OVC001 M07/M13 A2992 RMK\n\n     AO2", -7, -13, 29.92},
    {"the pmetar vignette (CRAN): Warsaw in hectopascals, ended as bulletins end it",
     "EPWA 251800Z 28010KT 9999 BKN005 10/09 Q0999 TEMPO BKN004=", 10, 9, 999, true},
    {"the pmetar vignette: Newark, with the end mark set apart and spaces of other kinds",
     "KEWR\u00A0251751Z\u200324008KT 10SM\u3000FEW150 BKN210 BKN250 23/09\u202FA3024 RMK SLP239 "
     "T02280089 10233 20106 58021 =",
     22.8, 8.9, 30.24},
    {"a temperature-only T group keeps the main group's dew point (AFMAN 15-111, remark 30)",
     "KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 T0050", 5.0, -3, 30.12},
    {"a missing dew point written 05/ (US Navy aerographer's training manual, METAR coding)",
     "KDEN 061853Z 18010KT 10SM FEW080 05/ A3012", 5, std::nullopt, 30.12},
    {"a missing dew point written 10/// (UK AIP GEN 3.5.10)",
     "EGNM 141050Z 24008KT 9999 FEW030 10/// Q1021", 10, std::nullopt, 1021, true},
};

TEST(Metar, ReadsPublishedReports) {
    for (const Decoded& row : published) {
        SCOPED_TRACE(row.source);
        const auto read = readMetar(row.report);
        ASSERT_EQ(errorOf(read), nullptr) << errorOf(read)->message;
        const MetarReport& report = std::get<MetarReport>(read);
        const std::string notes = report.notes.empty() ? "" : report.notes.front();
        EXPECT_EQ(report.notes.size(), *row.note ? 1u : 0u) << notes;
        EXPECT_NE(notes.find(row.note), std::string::npos) << notes;
        // A dew point typed beside the report stands in for the one it leaves out.
        const Moisture typed =
            row.dewPointCelsius ? Moisture{} : Moisture{DewPoint{celsiusZero - 1}};
        const auto weather = weatherFromMetar(report, denverMetres, typed);
        ASSERT_EQ(errorOf(weather), nullptr) << errorOf(weather)->message;
        const Weather& w = std::get<Weather>(weather);
        EXPECT_NEAR(w.kelvin - celsiusZero, row.celsius, 1e-9);
        ASSERT_TRUE(std::holds_alternative<DewPoint>(w.moisture));
        EXPECT_NEAR(std::get<DewPoint>(w.moisture).kelvin - celsiusZero,
                    row.dewPointCelsius.value_or(-1), 1e-9);
        const auto& setting = std::get<AltimeterSetting>(w.pressure);
        EXPECT_NEAR(setting.pascals / (row.hectopascals ? 100 : pascalsPerInchOfMercury),
                    row.altimeter, 1e-9);
        EXPECT_EQ(setting.elevationMetres, denverMetres);
    }
}

TEST(Metar, RefusesWhatItCannotReadAndSaysWhy) {
    const struct {
        std::string report;
        const char* says;
    } table[] = {
        {"", "paste one METAR"},
        {"\u00A0\u3000", "paste one METAR"},
        {"kden 061853z 18010kt 10sm few080 05/m03 a3012", "lower case"},
        {"KDEN 061853Z 05/M03 A3012 KDEN 061953Z 06/M03 A3011", "more than one report"},
        {"KDEN 061853Z 05/M03 A3012\nMETAR KCOS 061854Z 04/M05 A3010", "more than one report"},
        {"KDEN 061853Z 05/M03 A3012= KCOS 04/M05 A3010", "more than one report"},
        {"061853Z 05/M03 A3012", "must begin with the airfield and the time"},
        {"KDEN 18010KT 05/M03 A3012", "must begin with the airfield and the time"},
        {"KDEN 999999Z 18010KT 05/M03 A3012", "999999Z, which cannot be: DDHHMMZ gives the day 01"},
        {"KDEN 001853Z 18010KT 05/M03 A3012", "001853Z, which cannot be"},
        {"KDEN 322359Z 18010KT 05/M03 A3012", "322359Z, which cannot be"},
        {"KDEN 062400Z 18010KT 05/M03 A3012", "062400Z, which cannot be"},
        {"KDEN 061860Z 18010KT 05/M03 A3012", "061860Z, which cannot be"},
        {"KDEN 061853Z 18010KT 10SM 0M5/03 A3012", "\"0M5/03\""},
        {"KDEN 061853Z 18010KT 10SM 05M/03 A3012", "M only before the digits"},
        {"KDEN 061853Z 18010KT 10SM 5/3 A3012", "two digits each"},
        {"KGTF 170322Z AUTO 33014KT 1 3/4SM -SN BR OVC005 A2991 RMK AO2", "gives no temperature"},
        // MetPy's METAR tests: an automated station that could not measure either.
        {"KOMN 042350Z 00000KT 10SM BKN110 MM/MM A3013 RMK LAST", "gives no temperature (MM/MM)"},
        {"KDEN 061853Z 18010KT 10SM FEW080 05/M03 RMK AO2", "gives no altimeter setting"},
        // MetPy's METAR tests: a station with no barometer.
        {"KEHA 042349Z AUTO 14016KT 18/09 RMK AO1 T01780089", "gives no altimeter setting"},
        {"KDEN 061853Z 05/M03 06/M03 A3012", "two different temperature groups, 05/M03 and 06/M03"},
        {"KDEN 061853Z 05/M03 A3012 RMK T00501028 T00601028",
         "two different T groups in its remarks, T00501028 and T00601028"},
        // A digit slipped in the T group: 50.2 °C is no reading beside 05/M03.
        {"KDEN 061853Z 18010KT 10SM FEW080 05/M03 A3012 RMK AO2 T05021028",
         "T group T05021028 in its remarks (temperature 50.2 °C) and the group 05/M03 "
         "(temperature 5 °C)"},
        {"KDEN 061853Z 05/M03 A3012 RMK T00501041",
         "(dew point -4.1 °C) and the group 05/M03 "
         "(dew point -3 °C)"},
        {"KDEN 061853Z 05/M03 A3012 RMK T00561028", "(temperature 5.6 °C)"},
        {"KDEN 061853Z 05/M03 A3012 RMK T10501028", "(temperature -5 °C)"},
    };
    for (const auto& row : table) {
        const auto read = readMetar(row.report);
        const Error* error = errorOf(read);
        ASSERT_NE(error, nullptr) << row.report;
        EXPECT_EQ(error->field, Field::Labelled);
        EXPECT_EQ(error->message.find("--"), std::string::npos) << error->message;
        EXPECT_NE(error->message.find(row.says), std::string::npos) << error->message;
    }
}

// The humidity or dew point beside a report: wanted when it leaves the dew point out, refused
// when it gives one, so that neither is quietly dropped.
TEST(Metar, TakesTypedMoistureOnlyWhereTheReportHasNone) {
    const struct {
        const char* report;
        Moisture typed;
        const char* says;
    } table[] = {
        {"KDEN 061853Z 05/ A3012", {}, "the METAR gives no dew point; give the humidity or dew point"},
        {"KDEN 061853Z 05/ A3012 RMK T0050", {}, "gives no dew point; give the humidity or dew point"},
        {"KDEN 061853Z 05/M03 A3012", RelativeHumidity{0.4}, "gives the dew point; leave out the humidity or dew point"},
    };
    for (const auto& row : table) {
        const auto read = readMetar(row.report);
        ASSERT_EQ(errorOf(read), nullptr) << row.report;
        const auto weather =
            weatherFromMetar(std::get<MetarReport>(read), denverMetres, row.typed);
        ASSERT_NE(errorOf(weather), nullptr) << row.report;
        EXPECT_NE(errorOf(weather)->message.find(row.says), std::string::npos)
            << errorOf(weather)->message;
    }
    const auto humid = weatherFromMetar(std::get<MetarReport>(readMetar("KDEN 061853Z 05/ A3012")),
                                        denverMetres, RelativeHumidity{0.4});
    ASSERT_EQ(errorOf(humid), nullptr);
    EXPECT_EQ(std::get<RelativeHumidity>(std::get<Weather>(humid).moisture).ratio, 0.4);
}

TEST(Metar, KeepsTheStationAndTimeForTheDaySheet) {
    const MetarReport report = std::get<MetarReport>(readMetar(kden));
    EXPECT_EQ(report.station, "KDEN");
    EXPECT_EQ(report.time, "061853Z");
    EXPECT_EQ(report.altimeterGroup, "A3012");
}

}  // namespace
}  // namespace moravik::raceday
