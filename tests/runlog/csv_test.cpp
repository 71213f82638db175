#include "moravik/runlog/csv.h"

#include <QFileInfo>
#include <sstream>

#include "moravik/runlog/run_csv.h"
#include "runlog_test_support.h"
#include "time_zone.h"

namespace moravik::runlog {
namespace {

bool has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

// Each problem in order: "line N: " and then a message holding the text given.
using ByLine = std::vector<std::pair<std::int64_t, const char*>>;
void expectByLine(const std::vector<CsvProblem>& problems, const ByLine& expected) {
    ASSERT_EQ(problems.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [line, part] = expected[i];
        EXPECT_EQ(problems[i].line, line);
        EXPECT_TRUE(problems[i].message.starts_with("line " + std::to_string(line) + ": "));
        EXPECT_TRUE(has(problems[i].message, part)) << problems[i].message;
    }
}

// `rows` runs of 11 s at 100 mph a second apart from 10:00, run n by "Car n % cars".
QByteArray carsCsv(int rows, int cars) {
    QByteArray text = "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg\n";
    const auto twoDigits = [](int value) {
        return QByteArray::number(value).rightJustified(2, '0');
    };
    for (int n = 0; n < rows; ++n)
        text += "2024-06-01T10:" + twoDigits(n / 60) + ":" + twoDigits(n % 60) + "Z,Car " +
                QByteArray::number(n % cars) + ",11,100,80,29.9\n";
    return text;
}

class RunCsvTest : public LogFileTest {
protected:
    std::unique_ptr<RunLog> log = openLog(path);

    LogResult<CsvImport> import(const QByteArray& text, RunLog* into = nullptr) {
        std::istringstream in(text.toStdString());
        return importRunsCsv(into ? *into : *log, in);
    }
};

// Through the store's export and import: the vehicles, and cells a spreadsheet would run as
// formulas, written after a ' that import takes off again (a ' of the racer's own stays).
TEST_F(RunCsvTest, ExportAndImportGiveBackTheSameRunsInEitherUnitSystem) {
    const VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
    const VehicleId nova = valueOf(log->addVehicle(namedVehicle("Nova, \"SS\"")));
    std::vector<runlog::Run> runs;
    for (int n = 0; n < 6; ++n) runs.push_back(numberedRun(n % 2 == 0 ? camaro : nova, n));
    runs[1].strip = "=HYPERLINK(1)";
    runs[1].lane = "+1";
    runs[1].notes = "@SUM(A1)";
    runs[2].strip = "\tTab";
    runs[2].lane = "\rReturn";
    runs[2].notes = "'=quoted already";
    runs[3].strip = "'71 Camaro";
    runs[3].lane = "-";
    runs[4].air.pressure = raceday::AltimeterSetting{101325, 1609};
    runs[4].air.moisture = raceday::DewPoint{283.15};
    runs[5].air.moisture = std::monostate{};
    runs[5].stripElevationMetres.reset();
    valueOf(log->addRuns(runs));
    const auto saved = valueOf(log->runs());
    for (const auto system : {raceday::UnitSystem::Imperial, raceday::UnitSystem::Metric}) {
        std::ostringstream file;
        ASSERT_EQ(exportRunsCsv(*log, {}, system, file), std::nullopt);
        for (const char* guarded : {",'=HYPERLINK(1),", ",'+1,", ",'@SUM(A1)", ",'\tTab,",
                                    "\"'\rReturn\"", ",''=quoted already", ",''71 Camaro,", ",'-,"})
            EXPECT_TRUE(has(file.str(), guarded)) << guarded;
        const auto copy = openLog(path + QString::number(static_cast<int>(system)));
        const auto report = valueOf(import(QByteArray::fromStdString(file.str()), copy.get()));
        EXPECT_EQ(report.imported, 6);
        EXPECT_TRUE(report.problems.empty()) << report.problems.front().message;
        EXPECT_EQ(report.newVehicles, std::vector<std::string>({"Camaro", "Nova, \"SS\""}));
        // Metric keeps every bit; imperial, only of values typed in its units (domain_test).
        if (system == raceday::UnitSystem::Imperial) continue;
        auto imported = valueOf(copy->runs());
        ASSERT_EQ(imported.size(), saved.size());
        for (std::size_t i = 0; i < saved.size(); ++i) {
            imported[i].id = saved[i].id;
            imported[i].vehicleId = saved[i].vehicleId;
            EXPECT_EQ(imported[i], saved[i]) << "run " << i;
        }
    }
}

TEST_F(RunCsvTest, ImportsTheGoodRowsAndNamesEachBadOneByItsLine) {
    const TimeZone utc("UTC");
    const QByteArray text =
        "date_time,vehicle,et_s,speed_km/h,temperature_C,station_pressure_hPa,humidity_%,"
        "altimeter_setting_inHg,altimeter_elevation_ft,notes\n"
        "2024-06-01T14:30:00+02:00,Camaro,11.5,160.9344,30,1013.25,40,,,good\n"  // 2
        "2024-06-01T15:30:00+02:00,Camaro,0,160,30,1013.25,40,,,\n"              // 3
        "2024-06-01T14:30:00+02:00,Camaro,11.6,161,30,1013.25,40,,,\n"           // 4
        "\"2024-06-01T15:50:00+02:00\",Camaro,11.5,160,30,1013.25,40,,,\"two\nlines\"\n";
    const auto report = valueOf(import(text));
    EXPECT_EQ(report.imported, 2);
    const ByLine expected = {
        {3, "ET must lie within 2 to 60 s"},
        {4, "already has a run at 2024-06-01T12:30:00Z with other values for et, speed, notes"},
    };
    expectByLine(report.problems, expected);
    // 100 mph is 44.704 m/s by definition (1 mi = 1609.344 m); 1013.25 hPa is 101325 Pa.
    const auto runs = valueOf(log->runs());
    ASSERT_EQ(runs.size(), 2U);
    EXPECT_NEAR(runs[0].speed, 44.704, 1e-12);
    EXPECT_NEAR(runs[0].air.kelvin, 303.15, 1e-12);
    EXPECT_NEAR(std::get<raceday::StationPressure>(runs[0].air.pressure).pascals, 101325, 1e-9);
    EXPECT_EQ(runs[1].notes, "two\nlines");

    // The same file again adds nothing, and its repeats are no error: a script may import twice.
    const auto again = valueOf(import(text));
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(again.repeats, 2);
    EXPECT_EQ(again.problems.size(), expected.size());
    EXPECT_EQ(valueOf(log->runs()).size(), 2U);
}

// Out of range, or after tomorrow by the clock given, is refused; far from the vehicle's runs is
// listed but kept, close in their air is not; a stray quote loses only its own row.
TEST_F(RunCsvTest, ImplausibleRowsAreRefusedAndOutliersListedButKept) {
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    for (int n = 0; n < 3; ++n) valueOf(log->addRun(numberedRun(id, n)));  // ET 10.00 to 10.02 s
    const TimeZone utc("UTC");
    std::istringstream text(
        "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg,notes\n"
        "2024-06-02T10:00:00Z,Camaro,118,100,80,29.9,\n"             // 2
        "0001-06-02T10:03:00Z,Camaro,11,100,80,29.9,\n"              // 3
        "2024-06-02T10:05:00Z,Camaro,13,100,80,29.9,\"not closed\n"  // 4
        "2024-06-02T10:06:00Z,Camaro,13,100,80,29.9,slow\n"          // 5
        "2024-06-03T00:00:00Z,Camaro,11,100,80,29.9,\n"              // 6: the day after tomorrow
        "2024-06-02T23:59:59Z,Camaro,10.02,100,61,28.1,fine\n");     // 7: tomorrow
    const Moment noon = *readDateTime("2024-06-01T12:00:00Z");
    const auto report = valueOf(importRunsCsv(*log, text, {}, noon));
    expectByLine(report.problems,
                 {{2, "ET must lie within 2 to 60 s"},
                  {3, "date must lie within the years 1950"},
                  {4, "a quoted field is not closed"},
                  {6,
                   "the date 2024-06-03T00:00:00Z is later than tomorrow by this machine's "
                   "clock (2024-06-01T12:00:00Z); check the date, and the clock"}});
    EXPECT_EQ(report.imported, 2);
    ASSERT_EQ(report.outliers.size(), 1U);
    EXPECT_EQ(report.outliers[0].line, 5);
    EXPECT_TRUE(has(report.outliers[0].message, "far from this vehicle's other runs (no nitrous)"));
    EXPECT_EQ(QFileInfo(QString::fromStdString(log->path() + "-wal")).size(), 0);
}

TEST_F(RunCsvTest, AddsAHundredNewVehiclesAtMost) {
    const int most = static_cast<int>(maxNewVehicles);
    const auto report = valueOf(import(carsCsv(most + 1, most + 1)));
    EXPECT_EQ(report.imported, most);
    ASSERT_EQ(report.problems.size(), 1U);
    EXPECT_EQ(report.problems[0].line, most + 2);
    EXPECT_TRUE(has(report.problems[0].message, "more than 100 vehicles"));
}

// Stopped after more rows than one batch, the import takes back what it had written.
TEST_F(RunCsvTest, AnImportStoppedByItsProgressAddsNothing) {
    const VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
    valueOf(log->addRun(numberedRun(camaro, 1)));
    const auto before = valueOf(log->runs());
    std::istringstream in(carsCsv(3000, 50).toStdString());
    std::int64_t lastRead = 0;
    int calls = 0;
    const auto result = importRunsCsv(*log, in, [&](std::int64_t bytesRead) {
        EXPECT_GT(bytesRead, lastRead);
        lastRead = bytesRead;
        return ++calls < 2500;
    });
    expectProblem(result, Problem::Failed, QStringLiteral("cancelled"));
    EXPECT_EQ(calls, 2500);
    EXPECT_EQ(valueOf(log->runs()).size(), before.size());
    EXPECT_EQ(valueOf(log->vehicles()).size(), 1U);
}

TEST_F(RunCsvTest, AFileWithoutARequiredColumnImportsNothing) {
    const QByteArray row = "\n2024-06-01T14:30:00Z,Camaro,11,100,80,29.9\n";
    const struct {
        QByteArray text;
        const char* message;
    } table[] = {
        {"\n\n", "line 1: the file is empty"},
        {"date_time,vehicle,et_s,temperature_F,station_pressure_inHg" + row, "no column speed"},
        {"date_time,vehicle,et_s,speed_mph,temperature_F,et_s" + row, "\"et_s\" appears twice"},
        {"date_time,vehicle,et_s,speed_furlongs,temperature_F" + row,
         "\"speed_furlongs\" has a unit the run log does not know; name it speed_mph (or "
         "_km/h)"},
        // A value the log would drop could mislead a prediction.
        {"date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg,nitrous" + row,
         "the column \"nitrous\" is not one the run log keeps"},
        {"date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg,elev" + row,
         "the columns are date_time, vehicle, strip, strip_elevation_ft (or _m), lane, et_s,"},
        {QByteArray("\xFF\xFE"
                    "d\0a\0t\0e\0",
                    10) +
             row,
         "line 1: the file is UTF-16 text; save it as CSV in UTF-8"},
        {"date_time,vehicle,\"et_s" + row, "line 1: a quoted field is not closed"},
    };
    for (const auto& [text, message] : table) {
        expectProblem(import(text), Problem::Invalid, QLatin1String(message));
    }
    EXPECT_TRUE(valueOf(log->vehicles()).empty());
}

// Other programs' spellings are read with a note; so is a semicolon file of decimal commas and
// Windows-1252 text.
TEST_F(RunCsvTest, ReadsOtherSpellingsAndDecimalCommaSpreadsheetsWithANote) {
    const struct {
        const char* name;
        QByteArray text;
        const char* note;
        double et;
        const char* notes;
    } table[] = {
        {"spellings",
         "date_time,vehicle,et_s,mph,temperature_F,station_pressure_inHg,humidity,nitrous_jet,"
         "notes\n2024-06-01T14:30:00Z,Camaro,11.92,100,80,29.9,40,0.052,Caf\xC3\xA9\n",
         "the column \"nitrous_jet\" is read as nitrous_jet_in", 11.92, "Caf\xC3\xA9"},
        {"decimal commas",
         "date_time;vehicle;et_s;speed_mph;temperature_F;station_pressure_inHg;humidity;"
         "nitrous_jet;notes\r\n2024-06-01T14:31:00Z;Camaro;11,92;100;80;29,9;40;0,052;"
         "\"Caf\xE9; 1,5\"\r\n2024-06-01T14:32:00Z;Camaro;1.234,5;100;80;29,9;40;;\r\n",
         "separated by semicolons, so numbers are read with decimal commas", 11.92,
         "Caf\xC3\xA9; 1,5"},
    };
    for (const auto& row : table) {
        const auto report = valueOf(import(row.text));
        EXPECT_EQ(report.imported, 1) << row.name;
        const auto notes = importNotes(report);
        EXPECT_TRUE(std::ranges::any_of(notes, [&](const auto& n) { return has(n, row.note); }))
            << row.name;
        const auto runs = valueOf(log->runs());
        ASSERT_FALSE(runs.empty());
        const runlog::Run& run = runs.back();
        EXPECT_EQ(run.etSeconds, row.et) << row.name;
        EXPECT_EQ(run.nitrousJetInches, 0.052) << row.name;
        EXPECT_EQ(std::get<raceday::RelativeHumidity>(run.air.moisture).ratio, 0.40) << row.name;
        EXPECT_EQ(run.notes, row.notes) << row.name;
    }
    // "1.234,5" mixes the two ways of writing a decimal: no number.
    const auto last = valueOf(import(table[1].text));
    ASSERT_EQ(last.problems.size(), 1U);
    EXPECT_TRUE(has(last.problems[0].message, "line 3: et \"1.234,5\" is not a number such as"))
        << last.problems[0].message;
}

}  // namespace
}  // namespace moravik::runlog
