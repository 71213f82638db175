// The calculating sections through their widgets; figures are published examples or the
// reference's.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include "moravik/answers/request_json.h"
#include "raceday_test_support.h"
#include "run_calc.h"

using namespace moravik::raceday_window::testing;

namespace {

QList<QPointF> seriesPoints(const QWidget* chart, int series) {
    const auto* view = child<QChartView>(chart, "chartView");
    return qobject_cast<QLineSeries*>(view->chart()->series().value(series))->points();
}

struct Impossible {
    const char* name;
    QString section;
    QStringList typed;   // field=text
    QStringList marked;  // field=part of its message
};

struct BottleCase {
    const char* name;
    QStringList typed;  // field=text or unit box=choice
    const char* line;   // moravik-calc's, as typed
    QString gaugeKey = "pressure_psig", absoluteKey = "pressure_psia";
    double absoluteScale = 1;
};

struct SentenceCase {
    const char* name;
    QString field;  // section/[form/]field, typed after today's J607 day
    QString typed;
    QString windowLabel;  // what the window puts before the sentence
    QString line;         // moravik-calc's, as typed: command --option value ...
    QString key, sentence;
    QString units;  // the note after it where units are typed
};

}  // namespace

class SectionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::raceday_window::testing::setUpTestApplication(); }
    void init() { QSettings().clear(); }

    // A baseline run in today's air predicts itself; warmer air slows it; incomplete air shows "–".
    void predictionFollowsTodaysAir() {
        RaceDay raceDay;
        QWidget* air = raceDay.open("AirSection");
        typeJ607Day(child(air, "todaysAir"));
        QWidget* prediction = raceDay.open("PredictionSection");
        fill(prediction, {"baselineEt=11.5", "baselineSpeed=118"});
        QCOMPARE(text(prediction, "predictedEt"), "–");
        typeJ607Day(child(prediction, "baselineAir"));
        expectShown(prediction, {"predictedEt=11.500", "predictedSpeed=118.00"});

        typeInto(air, "temperature", "95F");
        QVERIFY(number(prediction, "predictedEt") > 11.5);
        QVERIFY(number(prediction, "predictedSpeed") < 118);
        typeInto(air, "temperature", "");
        QCOMPARE(text(prediction, "predictedEt"), "–");
        QVERIFY(child<QLabel>(prediction, "todaysAirSummary")->text().contains("not complete"));
    }

    // Every wrong field, and no other, marked with its reason; the status bar says so; results "–".
    void impossibleInputsAreMarkedWithTheirRange_data() {
        const QStringList hp{"weight=2562", "et=11.5", "speed=118"};
        const QStringList baseline{"baselineEt=11.5", "baselineAir/pressureKind=Altimeter",
                                   "baselineAir/temperature=60F", "baselineAir/pressure=29.92",
                                   "baselineAir/humidity=0"};
        addRows<Impossible>({
            {"unreadable temperature",
             "AirSection",
             {"todaysAir/temperature=warm"},
             {"temperature=is not a temperature"}},
            {"pressure in a unit of weight",
             "AirSection",
             {"todaysAir/pressure=29.10 kg"},
             {"pressure=is not a pressure"}},
            {"ET 0.5 s and weight 1e308 at once",
             "HorsepowerSection",
             hp + QStringList{"et=0.5", "weight=1e308"},
             {"et=2 to 60 s", "weight=100 to 20,000 lb"}},
            {"ET factor 1e308", "MileSection", {"et=6.5", "etFactor=1e308"}, {"etFactor=1 to 2"}},
            {"eighth ET 50 s", "MileSection", {"et=50"}, {"et=1.5 to 40 s"}},
            {"target 1e308", "JetSection", {"targetPower=1e308"}, {"targetPower=1 to 20,000 hp"}},
            // 25 inHg at 15,000 ft is about 478 hPa at the station (NWS altimeter formula): the
            // pressure is marked, not the elevation.
            {"station pressure below 500 hPa",
             "PredictionSection",
             baseline + QStringList{"baselineAir/pressure=25", "baselineAir/elevation=15000"},
             {"pressure=station pressure must lie within 500"}},
            {"ET, temperature and elevation at once",
             "PredictionSection",
             baseline + QStringList{"baselineEt=0.5", "baselineAir/temperature=200F",
                                    "baselineAir/elevation=50000"},
             {"baselineEt=1.5 to 60 s", "temperature=-40 to 140 °F",
              "elevation=-1,000 to 15,000 ft"}},
        });
    }
    void impossibleInputsAreMarkedWithTheirRange() {
        QFETCH(Impossible, row);
        RaceDay raceDay;
        typeJ607Day(raceDay);
        QWidget* page = raceDay.open(row.section);
        fill(page, row.typed);
        QStringList wrong, results;
        for (QLineEdit* field : page->findChildren<QLineEdit*>()) {
            if (!field->isReadOnly() && !field->toolTip().isEmpty())
                wrong << field->objectName() + "=" + field->toolTip();
            if (field->isReadOnly() && field->isVisibleTo(page) && field->text() != "–")
                results << field->objectName() + "=" + field->text();
        }
        if (const auto* table = page->findChild<QTableWidget*>("powerTable")) {
            for (int at = 0; at < table->rowCount(); ++at) results << table->item(at, 0)->text();
            results.removeAll("–");
        }
        QCOMPARE(results, QStringList());
        QCOMPARE(wrong.size(), row.marked.size());
        for (const QString& expected : row.marked) {
            const QString name = expected.section('=', 0, 0) + "=";
            const auto found = std::find_if(wrong.cbegin(), wrong.cend(), [&](const QString& w) {
                return w.startsWith(name) && w.contains(expected.section('=', 1));
            });
            QVERIFY2(found != wrong.cend(), qPrintable(wrong.join(" | ")));
        }
        QVERIFY(!raceDay.status().isEmpty());
    }

    // The Calculate pass's example, 2562 lb and 210 hp by Huntington, in each column that has
    // what it needs; SAE J607's own day corrects by exactly 1.
    void horsepowerFromATimeSlip() {
        RaceDay raceDay;
        QWidget* hp = raceDay.open("HorsepowerSection");
        auto* table = child<QTableWidget>(hp, "powerTable");
        const auto columns = [table] {
            QStringList texts;
            for (int column = 0; column < 4; ++column) texts << table->item(0, column)->text();
            return texts.join(' ');
        };
        fill(hp, {"weight=2562", "et=14.4801"});
        QCOMPARE(columns(), "210.0 – – –");
        typeInto(hp, "speed", "97.7379");
        QCOMPARE(columns(), "210.0 210.0 – –");
        QTest::keyClick(child(hp, "correctWithAir"), Qt::Key_Space);
        typeJ607Day(child(hp, "runAir"));
        QCOMPARE(columns(), "210.0 210.0 210.0 210.0");
        // A run in hot air made less than the standard day allows.
        typeInto(child(hp, "runAir"), "temperature", "95F");
        QVERIFY(table->item(0, 2)->text().toDouble() > 210);

        typeInto(hp, "weight", "heavy");
        QCOMPARE(table->item(0, 0)->text(), "–");
        QVERIFY(raceDay.status().contains("is not a weight"));
        typeInto(hp, "weight", "");
        QCOMPARE(raceDay.status(), "Enter the weight with driver to see the horsepower.");
    }

    // calchorsepower.com: 8.5 s, 85 mph at factors 1.557 and 1.25 give 13.23 s, 106 mph;
    // calculator.city's table (factor 1.57) read back: a 12.56 s quarter was an 8.00 s eighth.
    void eighthAndQuarterMile() {
        RaceDay raceDay;
        QWidget* mile = raceDay.open("MileSection");
        fill(mile,
             {"direction=Eighth", "et=8.5", "speed=85", "etFactor=1.557", "speedFactor=1.25"});
        QVERIFY(std::abs(number(mile, "resultEt") - 13.23) <= 0.005);
        QVERIFY(std::abs(number(mile, "resultSpeed") - 106) <= 0.5);
        QTest::mouseClick(child(mile, "resetFactors"), Qt::LeftButton);
        expectShown(mile, {"etFactor=1.57", "speedFactor=1.26"});
        fill(mile, {"direction=Quarter", "speed=", "et=12.56"});
        QVERIFY(std::abs(number(mile, "resultEt") - 8.00) <= 0.005 / 1.57 + 1e-9);
        QCOMPARE(text(mile, "resultSpeed"), "–");
    }

    // The Calculate pass's example: jet .030 adds 162.58032 hp on four nozzles (jets by
    // moravik_reference.py njt=.030 jtn=4); 121.2 kW at the definition's 0.7457 kW/hp.
    void jetForATarget() {
        RaceDay raceDay;
        QWidget* jet = raceDay.open("JetSection");
        auto* nozzles = child<QSpinBox>(jet, "nozzles");
        nozzles->setValue(4);
        typeInto(jet, "targetPower", "162.58032");
        expectShown(jet, {"nitrousJet=.030", "fuelJet=.017", "standardJet=.034", "holleyNumber=0",
                          "addedPower=162.6"});
        choose(jet, "targetPowerUnit", "kW");
        expectShown(jet, {"addedPower=121.2"});
        QCOMPARE(child<QLabel>(jet, "addedPowerUnit")->text(), "kW");
        choose(jet, "targetPowerUnit", "hp");

        // An emptied nozzle box is marked, not read as the count before it.
        nozzles->selectAll();
        QTest::keyClick(nozzles, Qt::Key_Backspace);
        VERIFY_CONTAINS(nozzles->toolTip(), "from 1 to 99");
        QCOMPARE(text(jet, "nitrousJet"), "–");
    }

    // Each point is its jet's Calculate pass, as moravik_reference.py njt=.02 draghp=350
    // vweight=3100 gives it.
    void chartSeriesHoldThePassesFigures() {
        const QString formula = "Lucius-RoadTrack";
        const QList<QPointF> etsWithNitrous{
            {.02, 12.7222554335829}, {.03, 12.5088598024952}, {.04, 12.2353511814218}};
        const QList<QPointF> mphsWithNitrous{
            {.02, 112.658405242197}, {.03, 114.783108288707}, {.04, 117.620492029409}};
        RaceDay raceDay;
        QWidget* chart = raceDay.open("ChartSection");
        fill(chart, {"formula=" + formula, "enginePower=350", "weight=3100", "jetFrom=.02",
                     "jetTo=.04", "jetStep=.01"});
        QCOMPARE(seriesPoints(chart, 0), etsWithNitrous);
        QCOMPARE(seriesPoints(chart, 1), mphsWithNitrous);
        raceDay.action("actionMetric")->trigger();
        const auto* view = child<QChartView>(chart, "chartView");
        QVERIFY(view->chart()->axes(Qt::Vertical).value(1)->titleText().contains("km/h"));
        QCOMPARE(seriesPoints(chart, 0), etsWithNitrous);

        typeInto(chart, "jetTo", ".01");
        QVERIFY(
            child(chart, "jetTo")->toolTip().contains("must not be less than the smallest jet"));
        QVERIFY(seriesPoints(chart, 0).isEmpty());
    }

    void chartIsSavedAsPngOrSvg_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("PNG") << "chart.png" << QByteArray("\x89PNG");
        QTest::newRow("SVG") << "chart.svg" << QByteArray("<?xml");
        QTest::newRow("no suffix is PNG") << "chart" << QByteArray("\x89PNG");
    }
    void chartIsSavedAsPngOrSvg() {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        QTemporaryDir folder;
        RaceDay raceDay;
        QWidget* chart = raceDay.open("ChartSection");
        typeInto(chart, "weight", "3100");
        raceDay.files.answer = folder.filePath(name);
        QTest::mouseClick(child(chart, "saveChart"), Qt::LeftButton);
        QFile saved(raceDay.files.answer + (name.contains('.') ? "" : ".png"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.read(start.size()) == start);
        QVERIFY(raceDay.status().startsWith("Chart saved to"));
        // Readable away from the window: wide, and saying what it shows.
        if (start.startsWith("\x89PNG")) {
            QVERIFY(QImage(saved.fileName()).width() >= 1600);
        } else {
            saved.seek(0);
            const QString svg = QString::fromUtf8(saved.readAll());
            // In the drawing, not only in the file's <title>.
            QVERIFY2(svg.count("3100 lb") >= 2 && svg.contains("Huntington"),
                     qPrintable(svg.left(400)));
        }

        raceDay.files.answer = folder.filePath("no/such/folder/chart.png");
        QTest::mouseClick(child(chart, "saveChart"), Qt::LeftButton);
        QVERIFY(raceDay.status().startsWith("The chart could not be saved"));
    }

    // The section and `moravik-calc bottle --json` agree to the digits shown, both directions.
    void bottleMatchesTheCommandLine_data() {
        addRows<BottleCase>({
            // Typed over a refused temperature: the pressure wanted is the other direction.
            {"950 psi wanted",
             {"bottleTemperature=98", "bottlePressure=950"},
             "bottle --json --pressure 950psi"},
            {"65 bar, jet .062, thin air, tuned at 1000 psia",
             {"bottlePressureUnit=bar", "bottlePressure=65", "nitrousJet=.062",
              "outsidePressure=25.5", "tunePressureUnit=psia", "tunePressure=1000"},
             "bottle --json --pressure 65bar --nitrous-jet .062 --outside-pressure 25.5inHg "
             "--tune-pressure 1000psia",
             "pressure_bar_gauge",
             "pressure_kpa_absolute",
             0.01},
        });
    }
    void bottleMatchesTheCommandLine() {
        QFETCH(BottleCase, row);
        RaceDay raceDay;
        QWidget* bottle = raceDay.open("BottleSection");
        fill(bottle, row.typed);
        const auto calc = moravik::cli::run(std::string_view(row.line));
        QCOMPARE(int(calc.status), 0);
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(calc.out)).object();
        const auto shown = [&json](const QString& key, double scale) {
            return QString::number(json[key].toDouble() * scale, 'f', 1);
        };
        QCOMPARE(text(bottle, "resultTemperature"), shown("temperature_f", 1));
        QCOMPARE(text(bottle, "gaugePressure"), shown(row.gaugeKey, 1));
        QCOMPARE(text(bottle, "absolutePressure"), shown(row.absoluteKey, row.absoluteScale));
        QCOMPARE(text(bottle, "fuelJetAtTune"), json["fuel_jet_at_tune"].toString());
        QCOMPARE(text(bottle, "fuelJetToday"), json["fuel_jet_today"].toString());
        QCOMPARE(text(bottle, "todaysBottle"), json["today_bottle_pressure_psi"].toString());
        QCOMPARE(raceDay.status(), QString());
    }

    // One refused value gives the core's sentence, byte for byte, after each front end's name
    // for the field: moravik-calc's option, the web module's field key, the window's field.
    void everyFrontEndGivesTheCoresSentence_data() {
        addRows<SentenceCase>({
            {"temperature 200 F", "AirSection/todaysAir/temperature", "200F", "",
             "air --temperature 200F --pressure 29.92 --humidity 0", "temperature",
             "temperature must lie within -40 to +60 °C (-40 to 140 °F)", " (units F, C, K)"},
            {"humidity 400 %", "AirSection/todaysAir/humidity", "400", "",
             "air --temperature 60F --pressure 29.92 --humidity 400", "humidity",
             "humidity must lie within 0 to 100 %", " (units %)"},
            {"bottle at 98 F", "BottleSection/bottleTemperature", "98",
             "bottle temperature: ", "bottle --temperature 98F", "temperature",
             "above 97.56 °F (36.42 °C), nitrous oxide's critical temperature, no liquid is left "
             "in the bottle and its pressure no longer follows the vapour curve",
             ""},
        });
    }
    void everyFrontEndGivesTheCoresSentence() {
        QFETCH(SentenceCase, row);
        const QStringList words = row.line.split(' ');
        QStringList request;
        for (qsizetype i = 1; i + 1 < words.size(); i += 2)
            request << "\"" + words[i].mid(2) + "\":\"" + words[i + 1] + "\"";
        const auto calc = moravik::cli::run(row.line.toStdString());
        QCOMPARE(QString::fromStdString(moravik::cli::linesOf(calc.err).at(0)),
                 "moravik-calc " + words[0] + ": --" + row.key + ": " + row.sentence + row.units);
        const QJsonObject web =
            QJsonDocument::fromJson(
                QByteArray::fromStdString(moravik::raceday::answerJson(
                    words[0].toStdString(), "{" + request.join(',').toStdString() + "}",
                    moravik::raceday::UnitTexts::Display)))
                .object();
        QCOMPARE(web["fields"].toArray(), QJsonArray{row.key});
        QCOMPARE(web["error"].toString(), row.sentence + row.units);
        RaceDay raceDay;
        typeJ607Day(raceDay);
        QWidget* page = raceDay.open(row.field.section('/', 0, 0));
        const QString path = row.field.section('/', 1);
        fill(page, {path + "=" + row.typed});
        QCOMPARE(fieldAt(page, path)->toolTip(), row.windowLabel + row.sentence);
        VERIFY_CONTAINS(raceDay.status(), row.sentence);
    }
};

QTEST_MAIN(SectionsTest)
#include "raceday_sections_test.moc"
