// The run log's domain without a database: moments, CSV, the column table.
#include <gtest/gtest.h>

#include <sstream>

#include "moravik/runlog/csv.h"
#include "moravik/runlog/log_columns.h"
#include "moravik/runlog/prediction.h"
#include "moravik/runlog/run_cells.h"
#include "time_zone.h"

namespace moravik::runlog {
namespace {

// Milliseconds from Python's datetime.fromisoformat(...).timestamp(), local times by time.mktime.
TEST(Moment, ReadsIso8601AsTheCsvHasItAndWritesItBackInTheLocalZone) {
    const TimeZone denver("America/Denver");
    const struct {
        const char* text;
        std::int64_t ms;
        const char* written;  // in Denver
    } table[] = {
        {"2024-06-01T14:30:00+02:00", 1717245000000, "2024-06-01T06:30:00-06:00"},
        {"2024-06-01T15:05:30.250+02:00", 1717247130250, "2024-06-01T07:05:30.250-06:00"},
        {"2024-06-02T09:00:00Z", 1717318800000, "2024-06-02T03:00:00-06:00"},
        {"2024-07-14T18:45:00-05:00", 1721000700000, "2024-07-14T17:45:00-06:00"},
        {"2024-02-29T00:00:00Z", 1709164800000, "2024-02-28T17:00:00-07:00"},
        {"1969-12-31T23:59:59.500Z", -500, "1969-12-31T16:59:59.500-07:00"},
        {"2024-06-01T14:30:00+0200", 1717245000000, "2024-06-01T06:30:00-06:00"},
        {"2024-06-01 14:30+02", 1717245000000, "2024-06-01T06:30:00-06:00"},
        {"2024-06-01T06:30:00", 1717245000000, "2024-06-01T06:30:00-06:00"},  // local
        {"2024-01-15", 1705302000000, "2024-01-15T00:00:00-07:00"},
        // Local times far from now and where the clocks change: fold 0 in Python.
        {"1950-01-01T00:00:00", -631126800000, "1950-01-01T00:00:00-07:00"},
        {"2040-06-01T12:00:00", 2222186400000, "2040-06-01T12:00:00-06:00"},
        {"2099-12-31T23:59:00", 4102469940000, "2099-12-31T23:59:00-07:00"},
        {"2024-03-10T02:30:00", 1710063000000, "2024-03-10T03:30:00-06:00"},  // in the gap
        {"2024-11-03T01:30:00", 1730619000000, "2024-11-03T01:30:00-06:00"},  // twice: the first
    };
    for (const auto& row : table) {
        const auto read = readDateTime(row.text);
        ASSERT_TRUE(read.has_value()) << row.text;
        EXPECT_EQ(millisecondsOf(*read), row.ms) << row.text;
        EXPECT_EQ(dateTimeText(*read), row.written) << row.text;
    }
    EXPECT_EQ(localMinuteText(momentOfMilliseconds(1717245000000)), "2024-06-01 06:30");
    EXPECT_EQ(localYear(momentOfMilliseconds(1704067200000)), 2023);  // 2024-01-01Z in Denver
    const TimeZone utc("UTC");
    EXPECT_EQ(dateTimeText(momentOfMilliseconds(1717318800000)), "2024-06-02T09:00:00Z");
}

TEST(Moment, RefusesWhatIsNoDateAndTime) {
    for (const char* text : {"", "2024-6-1", "2024-13-01", "2023-02-29", "2024-06-31",
                             "2024-06-01T24:00", "2024-06-01T14:60", "2024-06-01T14:30:61",
                             "2024-06-01T14:30:00.", "2024-06-01T14:30:00+2", "2024-06-01X",
                             "2024-06-01T14:30:00 Z", "06/01/2024", "2024-06-01T14:30:00+02:00x"}) {
        EXPECT_FALSE(readDateTime(text).has_value()) << text;
    }
}

std::vector<CsvRecord> readAll(const std::string& text, CsvLimits limits = {}) {
    std::istringstream in(text);
    CsvReader reader(in, limits);
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.next(record)) records.push_back(record);
    return records;
}

using Fields = std::vector<std::string>;

// Lines counted from a record's first; a CR alone ends a line (old Mac); line 1 sets the separator.
TEST(CsvReader, ReadsQuotedFieldsAcrossLinesAndCountsLinesFromTheirStart) {
    const struct {
        const char* text;
        std::vector<std::pair<std::int64_t, Fields>> records;
    } table[] = {
        {"\xEF\xBB\xBF"
         "a,b,c\r\n\"1,5\",\"say \"\"hi\"\"\",\"two\r\nlines\"\n\nx,,\n\"last\"",
         {{1, {"a", "b", "c"}},
          {2, {"1,5", "say \"hi\"", "two\r\nlines"}},
          {5, {"x", "", ""}},
          {6, {"last"}}}},
        {"a;b\r1,5;\"x\ry\"\r\rlast;z\r",
         {{1, {"a", "b"}}, {2, {"1,5", "x\ry"}}, {5, {"last", "z"}}}},
    };
    for (const auto& [text, expected] : table) {
        const auto records = readAll(text);
        ASSERT_EQ(records.size(), expected.size()) << text;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(records[i].line, expected[i].first) << text;
            EXPECT_EQ(records[i].fields, expected[i].second) << text;
        }
    }
}

TEST(CsvReader, ReportsABadRecordByItsLineAndReadsOnAfterIt) {
    const CsvLimits small{.fieldBytes = 8, .fieldsPerRecord = 3};
    const struct {
        const char* name;
        std::string record;
        const char* problem;
    } table[] = {
        {"text after a closing quote", "\"a\"b,c", "after its closing quote"},
        {"field too long", "123456789,x", "longer than 8 bytes"},
        {"too many fields", "1,2,3,4", "more than 3 fields"},
        {"not UTF-8", "caf\xE9", "not UTF-8"},
        {"an overlong UTF-8 slash", "\xC0\xAF", "not UTF-8"},
        {"a NUL", std::string("Cam\0aro", 7), "NUL character"},
        {"a quote never closed", "x,\"o", "line 2: a quoted field is not closed"},
    };
    for (const auto& row : table) {
        const auto records = readAll("ok\n" + row.record + "\nnext\n", small);
        ASSERT_EQ(records.size(), 3U) << row.name;
        EXPECT_EQ(records[1].line, 2) << row.name;
        EXPECT_NE(("line 2: " + records[1].problem).find(row.problem), std::string::npos)
            << row.name << ": " << records[1].problem;
        EXPECT_TRUE(records[1].fields.empty()) << row.name;
        EXPECT_EQ(records[2].fields, Fields({"next"})) << row.name;
    }
    // A quote that is never closed takes the rest of the text, and no more than the limit.
    const auto open = readAll("ok\n\"" + std::string(1 << 20, 'x'), small);
    ASSERT_EQ(open.size(), 2U);
    EXPECT_NE(open[1].problem.find("longer than 8 bytes"), std::string::npos);
}

// A run through a CSV row and back in both unit systems: a column dropped or misplaced shows.
TEST(RunCells, ARunWrittenAsCsvReadsBackTheSame) {
    const TimeZone denver("America/Denver");
    runlog::Run run;
    run.when = momentOfMilliseconds(1717247130250);
    run.strip = "Bandimere";
    run.stripElevationMetres = 1767.84;
    run.lane = "=left";
    run.etSeconds = 11.923;
    run.speed = 50.27;
    run.sixtyFootSeconds = 1.612;
    run.threeThirtyFootSeconds = 4.451;
    run.eighthEtSeconds = 7.601;
    run.eighthSpeed = 40.29;
    run.nitrousJetInches = 0.045;
    run.notes = "first pass, \"hooked\" — Zürich";
    const raceday::Weather airs[] = {
        {303.4, raceday::StationPressure{84016.3}, raceday::RelativeHumidity{0.4}},
        {302.1, raceday::AltimeterSetting{101659.4, 1767.84}, raceday::DewPoint{286.2}},
        {294.26, raceday::StationPressure{101320.75}, std::monostate{}},
    };
    for (const auto system : {raceday::UnitSystem::Imperial, raceday::UnitSystem::Metric}) {
        for (const auto& air : airs) {
            run.air = air;
            const auto records =
                readAll(runCsvHeaderLine(system) + runCsvLine(run, "Nova SS", system));
            ASSERT_EQ(records.size(), 2U);
            const auto header = readCsvHeader(records[0]);
            ASSERT_EQ(logErrorOf(header), nullptr);
            const auto read = readCsvRun(std::get<CsvHeader>(header), records[1]);
            ASSERT_EQ(logErrorOf(read), nullptr) << logErrorOf(read)->message;
            EXPECT_EQ(std::get<CsvRun>(read).run, run);
            EXPECT_EQ(std::get<CsvRun>(read).vehicleName, "Nova SS");
        }
    }
}

// Jets are sold in thousandths of an inch: .0452 is .045's jet, .046 another.
TEST(RecentRuns, AreTheRunsOfTodaysJetToTheThousandth) {
    const struct {
        std::optional<double> runJet;
        bool taken;
    } table[] = {{0.045, true},  {0.0452, true}, {0.0448, true},
                 {0.046, false}, {0.044, false}, {std::nullopt, false}};
    for (const auto& row : table) {
        runlog::Run run;
        run.nitrousJetInches = row.runJet;
        EXPECT_EQ(recentRunsOf({run}, 0.045, 10).size(), row.taken ? 1U : 0U)
            << row.runJet.value_or(0);
    }
}

TEST(RunCells, NamesWhatARowLacksOrContradicts) {
    const std::string header =
        "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg,"
        "altimeter_setting_inHg,altimeter_elevation_ft,humidity_%,dew_point_F\n";
    const struct {
        const char* row;
        const char* problem;
    } table[] = {
        {"2024-06-01T12:00Z,A,11.9,112,86,29.1,,,,", ""},
        {"2024-06-01T12:00Z,A,11.9,112,86,29.1,29.9,,,",
         "give station_pressure or altimeter_setting, not both"},
        {"2024-06-01T12:00Z,A,11.9,112,86,,29.9,,,", "altimeter_setting needs altimeter_elevation"},
        {"2024-06-01T12:00Z,A,11.9,112,86,,,,,", "give station_pressure or altimeter_setting"},
        {"2024-06-01T12:00Z,A,11.9,112,86,29.1,,,40,50", "give humidity or dew_point, not both"},
        {"2024-06-01T12:00Z,,11.9,112,86,29.1,,,,", "vehicle is empty"},
        {"June 1,A,11.9,112,86,29.1,,,,", "date_time \"June 1\" is not a date and time"},
        {"2024-06-01T12:00Z,A,11.9s,112,86,29.1,,,,", "et \"11.9s\" is not a number"},
        {"2024-06-01T12:00Z,A,11.9,112,86,29.1,,,", "9 fields where the header has 10"},
    };
    for (const auto& row : table) {
        const auto records = readAll(header + row.row + "\n");
        ASSERT_EQ(records.size(), 2U) << row.row;
        const auto read = readCsvRun(std::get<CsvHeader>(readCsvHeader(records[0])), records[1]);
        const LogError* error = logErrorOf(read);
        const std::string said = error ? error->message : "";
        EXPECT_EQ(said.empty(), row.problem[0] == '\0') << row.row << said;
        EXPECT_TRUE(said.empty() || said.starts_with("line 2: ")) << said;
        EXPECT_NE(said.find(row.problem), std::string::npos) << said;
    }
}

}  // namespace
}  // namespace moravik::runlog
