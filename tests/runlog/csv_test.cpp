#include "moravik/runlog/csv.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <sstream>

#include "moravik/runlog/run_csv.h"
#include "runlog_test_support.h"
#include "time_zone.h"

namespace moravik::runlog {
namespace {

LogResult<CsvImport> importText(RunLog& log, const std::string& text) {
    std::istringstream in(text);
    return importRunsCsv(log, in);
}

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

class RunCsvTest : public testing::Test {
protected:
    QTemporaryDir folder;
    std::unique_ptr<RunLog> log = openLog(folder.filePath(QStringLiteral("a.sqlite")));

    LogResult<CsvImport> import(const QByteArray& text) {
        return importText(*log, text.toStdString());
    }
};

// Run n as the window would keep it after the racer typed its values in the
// units of `system`.
runlog::Run typedRun(VehicleId vehicle, int n, raceday::UnitSystem system) {
    const bool imperial = system == raceday::UnitSystem::Imperial;
    const auto typed = [system](double value, int decimals, raceday::Quantity quantity) {
        const std::string text = QString::number(value, 'f', decimals).toStdString();
        return std::get<double>(raceday::parseQuantity(text, quantity, system, "test"));
    };
    using Q = raceday::Quantity;
    runlog::Run run = numberedRun(vehicle, n);
    n %= 40;
    run.stripElevationMetres = typed(imperial ? 5800 - 7 * n : 1768 - 2 * n, 0, Q::Elevation);
    run.speed = typed(imperial ? 110 + 0.37 * n : 177 + 0.59 * n, 2, Q::Speed);
    run.eighthSpeed = typed(imperial ? 88 + 0.29 * n : 141 + 0.47 * n, 2, Q::Speed);
    run.air.kelvin = typed(imperial ? 55 + 0.7 * n : 12.5 + 0.4 * n, 1, Q::Temperature);
    const double barometer = typed(imperial ? 29.92 - 0.03 * n : 1013.2 - n, 2, Q::Barometer);
    run.air.pressure = raceday::StationPressure{barometer};
    run.air.moisture = raceday::RelativeHumidity{typed(20 + n % 60, 0, Q::Humidity)};
    switch (n % 4) {
        case 1:
            run.air.pressure = raceday::AltimeterSetting{
                barometer, typed(imperial ? 5800 : 1768, 0, Q::Elevation)};
            break;
        case 2:
            run.air.moisture = raceday::DewPoint{typed(imperial ? 40 : 4.5, 1, Q::Temperature)};
            break;
        case 3:
            run.air.moisture = std::monostate{};
            run.stripElevationMetres.reset();
            run.eighthSpeed.reset();
            break;
    }
    return run;
}

TEST_F(RunCsvTest, ExportAndImportGiveBackTheSameRunsInEitherUnitSystem) {
    const VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
    const VehicleId nova = valueOf(log->addVehicle(namedVehicle("Nova, \"SS\"")));
    for (const auto system : {raceday::UnitSystem::Imperial, raceday::UnitSystem::Metric}) {
        const int first = system == raceday::UnitSystem::Imperial ? 0 : 100;
        std::vector<runlog::Run> runs;
        for (int n = first; n < first + 40; ++n) {
            runs.push_back(typedRun(n % 2 == 0 ? camaro : nova, n, system));
        }
        // Text cells a spreadsheet would run as formulas are written with a
        // leading ', which import takes off again; a ' of the racer's own stays.
        runs[1].strip = "=HYPERLINK(1)";
        runs[1].lane = "+1";
        runs[1].notes = "@SUM(A1)";
        runs[2].strip = "\tTab";
        runs[2].lane = "\rReturn";
        runs[2].notes = "'=quoted already";
        runs[3].strip = "'71 Camaro";
        runs[3].lane = "-";
        valueOf(log->addRuns(runs));
        const RunFilter typedNow{.from = runs.front().when, .to = runs.back().when};
        const auto saved = valueOf(log->runs(typedNow));

        std::ostringstream file;
        ASSERT_EQ(exportRunsCsv(*log, typedNow, system, file), std::nullopt);
        // The first run's numbers as typed: the fewest digits that give the value back.
        const char* typedLine = system == raceday::UnitSystem::Imperial
                                    ? ",5800,left,10,110,1.5,4.2,6.5,88,0.03,55,29.92,,,20,,"
                                    : ",1728,left,11,188.8,1.51,4.21,6.59,150.4,,20.5,993.2,,,40,,";
        EXPECT_TRUE(has(file.str(), typedLine)) << file.str().substr(0, 400);
        for (const char* guarded : {",'=HYPERLINK(1),", ",'+1,", ",'@SUM(A1)", ",'\tTab,",
                                    "\"'\rReturn\"", ",''=quoted already", ",''71 Camaro,", ",'-,"})
            EXPECT_TRUE(has(file.str(), guarded)) << guarded;
        const auto copy = openLog(folder.filePath(QStringLiteral("copy.sqlite")));
        const auto report = valueOf(importText(*copy, file.str()));
        EXPECT_EQ(report.imported, 40);
        EXPECT_TRUE(report.problems.empty()) << report.problems.front().message;
        EXPECT_EQ(report.newVehicles, std::vector<std::string>({"Camaro", "Nova, \"SS\""}));
        auto imported = valueOf(copy->runs());
        ASSERT_EQ(imported.size(), saved.size());
        for (std::size_t i = 0; i < saved.size(); ++i) {
            imported[i].id = saved[i].id;
            imported[i].vehicleId = saved[i].vehicleId;
            EXPECT_EQ(imported[i], saved[i]) << "run " << first + i;
        }
        QFile::remove(QString::fromStdString(copy->path()));
    }
}

TEST_F(RunCsvTest, ImportsTheGoodRowsAndNamesEachBadOneByItsLine) {
    const TimeZone utc("UTC");
    const QByteArray text =
        "date_time,vehicle,et_s,speed_km/h,temperature_C,station_pressure_hPa,humidity_%,"
        "altimeter_setting_inHg,altimeter_elevation_ft,notes\n"
        "2024-06-01T14:30:00+02:00,Camaro,11.5,160.9344,30,1013.25,40,,,good\n"  // 2
        "2024-06-01T14:40:00+02:00,Camaro,11.x,160,30,1013.25,40,,,\n"           // 3
        "June 1st,Camaro,11.5,160,30,1013.25,40,,,\n"                            // 4
        "2024-06-01T15:20:00+02:00,Camaro,11.5,160,75,1013.25,40,,,\n"           // 5
        "2024-06-01T15:30:00+02:00,Camaro,0,160,30,1013.25,40,,,\n"              // 6
        "2024-06-01T14:30:00+02:00,Camaro,11.6,161,30,1013.25,40,,,\n"           // 7
        "2024-06-01T15:40:00+02:00,Camaro,11.5\n"                                // 8
        "\"2024-06-01T15:50:00+02:00\",Camaro,11.5,160,30,1013.25,40,,,\"two\nlines\"\n"
        "2024-06-01T16:00:00+02:00,,11.5,160,30,1013.25,40,,,\n";  // 11
    const auto report = valueOf(import(text));
    EXPECT_EQ(report.imported, 2);
    const ByLine expected = {
        {3, "et \"11.x\" is not a number"},
        {4, "date_time \"June 1st\""},
        {5, "temperature"},
        {6, "ET must lie within 2 to 60 s"},
        {7, "already has a run at 2024-06-01T12:30:00Z with other values for et, speed, notes"},
        {8, "3 fields where the header has 10"},
        {11, "vehicle is empty"},
    };
    expectByLine(report.problems, expected);
    // 100 mph is 44.704 m/s by definition (1 mi = 1609.344 m); 1013.25 hPa is 101325 Pa.
    const auto runs = valueOf(log->runs());
    ASSERT_EQ(runs.size(), 2U);
    EXPECT_NEAR(runs[0].speed, 44.704, 1e-12);
    EXPECT_NEAR(runs[0].air.kelvin, 303.15, 1e-12);
    EXPECT_NEAR(std::get<raceday::StationPressure>(runs[0].air.pressure).pascals, 101325, 1e-9);
    EXPECT_EQ(runs[1].notes, "two\nlines");

    // The same file again adds nothing: its good rows repeat logged runs,
    // which is no error, so a script may run an import twice.
    const auto again = valueOf(import(text));
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(again.repeats, 2);
    EXPECT_EQ(again.problems.size(), expected.size());
    EXPECT_EQ(valueOf(log->runs()).size(), 2U);
}

// Out of range is refused with the range; far from the vehicle's runs (as predictions judge)
// is listed but kept, close in their air is not; a stray quote loses only its own row.
TEST_F(RunCsvTest, ImplausibleRowsAreRefusedAndOutliersListedButKept) {
    const VehicleId id = valueOf(log->addVehicle(namedVehicle("Camaro")));
    for (int n = 0; n < 3; ++n) valueOf(log->addRun(numberedRun(id, n)));  // ET 10.00 to 10.02 s
    const QByteArray text =
        "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg,notes\n"
        "2024-06-02T10:00:00Z,Camaro,118,100,80,29.9,\n"             // 2
        "2024-06-02T10:01:00Z,Camaro,1e-300,100,80,29.9,\n"          // 3
        "2024-06-02T10:02:00Z,Camaro,11,1e308,80,29.9,\n"            // 4
        "0001-06-02T10:03:00Z,Camaro,11,100,80,29.9,\n"              // 5
        "9999-06-02T10:04:00Z,Camaro,11,100,80,29.9,\n"              // 6
        "2024-06-02T10:05:00Z,Camaro,13,100,80,29.9,\"not closed\n"  // 7
        "2024-06-02T10:06:00Z,Camaro,13,100,80,29.9,slow\n"          // 8
        "2024-06-02T10:07:00Z,Camaro,10.02,100,61,28.1,fine\n";      // 9
    const auto report = valueOf(import(text));
    expectByLine(report.problems, {
                                      {2, "ET must lie within 2 to 60 s"},
                                      {3, "ET must lie within 2 to 60 s"},
                                      {4, "MPH must lie within 20 to 400 mph"},
                                      {5, "date must lie within the years 1950"},
                                      {6, "date must lie within the years 1950"},
                                      {7, "a quoted field is not closed"},
                                  });
    EXPECT_EQ(report.imported, 2);
    ASSERT_EQ(report.outliers.size(), 1U);
    EXPECT_EQ(report.outliers[0].line, 8);
    EXPECT_TRUE(has(report.outliers[0].message, "far from this vehicle's other runs (no nitrous)"));
    // The import left no write-ahead file behind.
    EXPECT_EQ(QFileInfo(QString::fromStdString(log->path() + "-wal")).size(), 0);
}

TEST_F(RunCsvTest, AddsAHundredNewVehiclesAtMost) {
    QByteArray text = "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg\n";
    for (int n = 0; n <= static_cast<int>(maxNewVehicles); ++n) {
        text += "2024-06-01T14:30:00Z,Car " + QByteArray::number(n) + ",11,100,80,29.9\n";
    }
    const auto report = valueOf(import(text));
    EXPECT_EQ(report.imported, static_cast<int>(maxNewVehicles));
    ASSERT_EQ(report.problems.size(), 1U);
    EXPECT_EQ(report.problems[0].line, static_cast<std::int64_t>(maxNewVehicles) + 2);
    EXPECT_TRUE(has(report.problems[0].message, "more than 100 vehicles"));
}

// Stopped after more rows than one batch, the import takes back the runs and
// vehicles it had already written.
TEST_F(RunCsvTest, AnImportStoppedByItsProgressAddsNothing) {
    const VehicleId camaro = valueOf(log->addVehicle(namedVehicle("Camaro")));
    const std::vector<runlog::Run> kept{numberedRun(camaro, 1)};
    valueOf(log->addRuns(kept));
    const auto before = valueOf(log->runs());
    QByteArray text = "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg\n";
    for (int n = 0; n < 3000; ++n) {
        const auto twoDigits = [](int value) {
            return QByteArray::number(value).rightJustified(2, '0');
        };
        text += "2024-06-01T10:" + twoDigits(n / 60) + ":" + twoDigits(n % 60) + "Z,Car " +
                QByteArray::number(n % 50) + ",11,100,80,29.9\n";
    }
    std::istringstream in(text.toStdString());
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

// Other programs' spellings of a column are read with a note; a spreadsheet's
// semicolon file with decimal commas and Windows-1252 text is read as such.
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

// Dated after tomorrow by the clock given: a typo in the year, or a clock
// that is wrong; either way not a run that has happened.
TEST_F(RunCsvTest, RunsDatedLaterThanTomorrowAreRefusedByLine) {
    const TimeZone utc("UTC");
    const QByteArray text =
        "date_time,vehicle,et_s,speed_mph,temperature_F,station_pressure_inHg\n"
        "2024-06-02T23:59:59Z,Camaro,11,100,80,29.9\n"   // 2: tomorrow
        "2024-06-03T00:00:00Z,Camaro,11,100,80,29.9\n"   // 3: the day after
        "2042-06-01T14:30:00Z,Camaro,11,100,80,29.9\n";  // 4
    std::istringstream in(text.toStdString());
    const Moment noon = *readDateTime("2024-06-01T12:00:00Z");
    const auto report = valueOf(importRunsCsv(*log, in, {}, noon));
    EXPECT_EQ(report.imported, 1);
    ASSERT_EQ(report.problems.size(), 2U);
    EXPECT_EQ(report.problems[0].message,
              "line 3: the date 2024-06-03T00:00:00Z is later than tomorrow by this machine's "
              "clock (2024-06-01T12:00:00Z); check the date, and the clock");
    EXPECT_EQ(report.problems[1].line, 4);
}

}  // namespace
}  // namespace moravik::runlog
