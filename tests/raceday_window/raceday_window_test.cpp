// Today's air through its widgets; keys, accessible names, 800×600 and Help → About in every
// section.
#include <QAbstractButton>
#include <QAccessible>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include "field_problem.h"
#include "qt_text.h"
#include "raceday_test_support.h"

using namespace moravik::raceday_window::testing;
using moravik::raceday_window::hasProblem;
using moravik::raceday_window::noValue;

namespace {

const QStringList airOutputs{"densityAltitude",    "nwsDensityAltitude", "airDensity",
                             "relativeAirDensity", "correctionFactor",   "relativeHp",
                             "vapourPressure",     "waterGrains"};

// Moves the focus to a field with its access key, then types over its text.
QWidget* typeByAccessKey(QWidget* window, char key, const QString& typed) {
    QTest::keyClick(window, key, Qt::AltModifier);
    QWidget* field = QApplication::focusWidget();
    if (field == nullptr) return nullptr;
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, typed);
    return field;
}

struct KeyboardCase {
    const char* name;
    int section;
    QString keys;  // access key, then the text, per entry
    QStringList typed;
    QString output;  // a field, a table's first cell, a chart's points
    QString expected;
};

}  // namespace

class RaceDayWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::raceday_window::testing::setUpTestApplication(); }
    void init() { QSettings().clear(); }

    // The NWS density-altitude calculator's 1013 hPa, 30 °C, dew point 20 °C: 2044 ft, the rest by
    // `tests/reference/raceday_reference.py air`; DIN 70020's own day corrects by exactly 1.
    void outputsFollowTheTyping_data() {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QStringList>("air");    // temperature, pressure, humidity= or dewPoint=
        QTest::addColumn<QStringList>("shown");  // output=text
        QTest::newRow("NWS calculator")
            << "SAE J607 / STD" << QStringList{"30C", "1013hPa", "dewPoint=20C"}
            << QStringList{"densityAltitude=2027",    "nwsDensityAltitude=2044",
                           "airDensity=1.1540",       "relativeAirDensity=94.20",
                           "correctionFactor=1.0491", "relativeHp=95.32",
                           "vapourPressure=0.69",     "waterGrains=102.8"};
        QTest::newRow("DIN 70020 day")
            << "DIN 70020" << QStringList{"20C", "1013hPa", "dewPoint=20C"}
            << QStringList{"correctionFactor=1.0000"};
    }
    void outputsFollowTheTyping() {
        QFETCH(QString, standard);
        QFETCH(QStringList, air);
        QFETCH(QStringList, shown);
        RaceDay raceDay;
        QWidget* section = raceDay.open("AirSection");
        const bool dewPoint = air[2].startsWith("dewPoint");
        fill(section, {"standard=" + standard, dewPoint ? "moistureKind=Dew" : "moistureKind=Rel",
                       air[2], "temperature=" + air[0], "pressure=" + air[1].chopped(1)});
        const QStringList beforeLastKey = readBack(section, shown);
        QTest::keyClicks(child(section, "pressure"), air[1].right(1));
        expectShown(section, shown);
        for (const QString& before : beforeLastKey)
            QVERIFY2(!shown.contains(before), qPrintable(before));
        QCOMPARE(raceDay.status(), QString());
    }

    // A unit changed at the field or for the window rewrites the text and leaves every output.
    void switchingUnitsKeepsTheQuantity() {
        RaceDay raceDay;
        QWidget* air = raceDay.open("AirSection");
        fill(air, {"temperature=86", "pressure=29.10", "humidity=40"});
        const QStringList imperial = readBack(air, airOutputs);

        fill(air, {"temperatureUnit=°C", "pressureUnit=hPa"});
        expectShown(air, {"temperature=30", "pressure=985.439"});
        QCOMPARE(readBack(air, airOutputs), imperial);

        raceDay.action("actionMetric")->trigger();
        expectShown(air, {"densityAltitudeUnit=m"});
        fill(air,
             {"densityAltitudeUnit=ft", "nwsDensityAltitudeUnit=ft", "vapourPressureUnit=inHg"});
        QCOMPARE(readBack(air, airOutputs), imperial);

        raceDay.action("actionImperial")->trigger();
        expectShown(air, {"temperature=86", "pressure=29.1"});
        QCOMPARE(readBack(air, airOutputs), imperial);

        // Freezing is 0 °C, not the 5.68434e-14 left by converting through an offset.
        fill(air, {"temperature=32", "temperatureUnit=°C"});
        expectShown(air, {"temperature=0"});
        // A dew point, chosen now, is asked in the temperature's °C.
        fill(air, {"moistureKind=Dew point"});
        expectShown(air, {"dewPointUnit=°C"});
    }

    // Published reports pasted at the strip's elevation, figures by raceday_reference.py air for
    // the decoded weather. A refused report says why at the field and in the status bar and
    // leaves the weather as it was.
    void pastedMetarFillsTheWeather_data() {
        QTest::addColumn<bool>("metric");
        QTest::addColumn<QString>("elevation");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("shown");  // field=text
        QTest::newRow("FAA key, tenths from T group")
            << false << "1204" << faaKeyMetar
            << QStringList{"pressure=29.92", "elevation=1204", "densityAltitude=2099",
                           "waterGrains=82.6", "vapourPressure=0.53"};
        // dixwx.com's METAR decoding key, an international report in hectopascals.
        QTest::newRow("Q group in hPa")
            << true << "200"
            << "SVVA 171100Z 00000KT 9999 FEW016 BKN250 21/19 Q1013 NOSIG"
            << QStringList{"temperature=21",      "dewPoint=19",          "pressure=1013",
                           "densityAltitude=549", "vapourPressure=21.96", "waterGrains=98.9"};
        // Why a report is refused is the METAR reader's test; here, that the window says so.
        QTest::newRow("refused: no altimeter")
            << false << "1204"
            << "KPIT 091955Z 22015G25KT 3/4SM OVC010CB 18/16" << QStringList();
    }
    void pastedMetarFillsTheWeather() {
        QFETCH(bool, metric);
        QFETCH(QString, elevation);
        QFETCH(QString, report);
        QFETCH(QStringList, shown);
        RaceDay raceDay;
        QWidget* air = raceDay.open("AirSection");
        if (metric) raceDay.action("actionMetric")->trigger();
        fill(air, {"pressureKind=Altimeter", "elevation=" + elevation});
        const QStringList before =
            readBack(air, airOutputs + QStringList{"temperature", "pressure", "humidity"});
        pasteInto(child(air, "metar"), report);
        const QString message = child(air, "metar")->toolTip();
        QCOMPARE(raceDay.status(), message);
        if (shown.isEmpty()) QVERIFY(message.startsWith("weather from METAR: "));
        expectShown(air, shown.isEmpty() ? before : shown);
    }

    // A report's missing elevation and dew point are asked for at their fields; figures by
    // raceday_reference.py air for 5 °C, 30.12 inHg at 1204 ft and 40 %.
    void pastedMetarMarksWhatItLeavesOut() {
        RaceDay raceDay;
        QWidget* air = raceDay.open("AirSection");
        pasteInto(child(air, "metar"), "KDEN 061853Z 18010KT 10SM FEW080 05/ A3012");
        QVERIFY(hasProblem(child(air, "elevation")));
        QVERIFY(raceDay.status().startsWith("elevation: type the strip's elevation"));
        QCOMPARE(text(air, "densityAltitude"), noValue);
        typeInto(air, "elevation", "1204");
        QVERIFY(!hasProblem(child(air, "elevation")));
        QVERIFY(hasProblem(child(air, "humidity")));
        QVERIFY(raceDay.status().startsWith("humidity: the METAR gives no dew point"));
        typeInto(air, "humidity", "40");
        QCOMPARE(raceDay.status(), QString());
        expectShown(air, {"densityAltitude=106", "waterGrains=15.6"});
    }

    // Each section by its shortcut, filled in by access keys; figures are the section tests'.
    void everySectionWorksFromTheKeyboard_data() {
        addRows<KeyboardCase>({
            {"today's air", 1, "TPD", {"60F", "29.92inHg", "0"}, "correctionFactor", "1.0000"},
            {"prediction in unchanged air",
             2,
             "EATPD",
             {"11.5", "118", "59F", "29.92inHg", "0"},
             "predictedEt",
             "11.500"},
            {"horsepower from a time slip", 3, "WE", {"2562", "14.4801"}, "powerTable", "210.0"},
            {"eighth to quarter", 4, "E", {"7.00"}, "resultEt", "10.990"},
            {"jet for a target", 5, "T", {"40.64508hp"}, "fuelJet", ".017"},
            {"jet chart", 6, "RTP", {".030", ".040", ".010"}, "chartView", "2"},
            {"log", 7, "", {}, "", ""},
        });
    }
    void everySectionWorksFromTheKeyboard() {
        QFETCH(KeyboardCase, row);
        const auto& [name, section, keys, typed, output, expected] = row;
        RaceDay raceDay;
        QTest::keyClick(&raceDay.window, static_cast<Qt::Key>(Qt::Key_0 + section),
                        Qt::ControlModifier);
        auto* tabs = child<QTabWidget>(&raceDay.window, "sections");
        QCOMPARE(tabs->currentIndex(), section - 1);
        QVERIFY(tabs->currentWidget()->isAncestorOf(QApplication::focusWidget()));
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QWidget* field = typeByAccessKey(&raceDay.window, keys[i].toLatin1(), typed[i]);
            QVERIFY2(field && tabs->currentWidget()->isAncestorOf(field),
                     qPrintable(keys.mid(i, 1)));
        }
        if (output.isEmpty()) return;  // nothing to type in the log
        const QWidget* shown = child(tabs->currentWidget(), output);
        if (const auto* table = qobject_cast<const QTableWidget*>(shown)) {
            QCOMPARE(table->item(0, 0)->text(), expected);
        } else if (const auto* view = qobject_cast<const QChartView*>(shown)) {
            const auto* points = qobject_cast<QLineSeries*>(view->chart()->series().value(0));
            QCOMPARE(QString::number(points->count()), expected);
            // Save's access key clicks its button after a short animation.
            raceDay.files.answer = QDir::temp().filePath("raceday-keyboard-chart.png");
            QTest::keyClick(&raceDay.window, Qt::Key_V, Qt::AltModifier);
            QTRY_COMPARE(raceDay.files.asked, 1);
            QVERIFY(QFile::remove(raceDay.files.answer));
        } else {
            QCOMPARE(text(tabs->currentWidget(), output), expected);
        }
    }

    // Tab walks every field and choice of Today's air in reading order, each unit by its value.
    void tabOrderOfTodaysAirIsTheReadingOrder() {
        RaceDay raceDay;
        QWidget* air = raceDay.open("AirSection");
        const auto place = [air](const QWidget* widget) {
            return QRect(widget->mapTo(air, QPoint()), widget->size());
        };
        child(air, "temperature")->setFocus();
        QWidgetList reached;
        for (QWidget* at = child(air, "temperature");
             air->isAncestorOf(at) && !reached.contains(at); at = QApplication::focusWidget()) {
            if (!reached.isEmpty()) {
                const QRect before = place(reached.back()), after = place(at);
                const bool sameRow = std::abs(after.center().y() - before.center().y()) < 8;
                QVERIFY2(sameRow ? after.left() > before.left() : after.top() > before.center().y(),
                         qPrintable(reached.back()->objectName() + " then " + at->objectName()));
            }
            reached << at;
            QTest::keyClick(at, Qt::Key_Tab);
        }
        for (QWidget* field : child(air, "todaysAir")->findChildren<QWidget*>()) {
            if ((qobject_cast<QLineEdit*>(field) || qobject_cast<QComboBox*>(field)) &&
                field->isVisibleTo(air) && !field->objectName().isEmpty())
                QVERIFY2(reached.contains(field), qPrintable(field->objectName()));
        }
    }

    void everyFieldHasAnAccessibleNameAndEveryAccessKeyABuddy() {
        RaceDay raceDay;
        for (QWidget* widget : raceDay.window.findChildren<QWidget*>()) {
            const bool field =
                qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QChartView*>(widget);
            // Parts that Qt builds inside its own widgets carry no object name.
            if (!field || widget->objectName().isEmpty() ||
                widget->objectName().startsWith("qt_")) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
        }
        for (const QLabel* label : raceDay.window.findChildren<QLabel*>()) {
            if (label->text().contains('&') && label->textFormat() != Qt::RichText)
                QVERIFY2(label->buddy() != nullptr, qPrintable(label->objectName()));
        }
    }

    // On 800×600 less a title bar and panel: no label, choice or horsepower header cut short.
    void theWindowFitsAnSvgaScreen() {
        RaceDay raceDay;
        const QSize screen(800, 540);
        const QSize least = raceDay.window.minimumSizeHint();
        QVERIFY2(least.width() <= screen.width() && least.height() <= screen.height(),
                 qPrintable(QString("%1×%2").arg(least.width()).arg(least.height())));
        raceDay.window.resize(screen);
        QTRY_COMPARE(raceDay.window.size(), screen);
        QVERIFY(raceDay.window.rect().contains(raceDay.window.statusBar()->geometry()));
        // The correction standard starts where the fields beside it start.
        const QWidget* air = raceDay.open("AirSection");
        QCOMPARE(child(air, "standard")->mapTo(air, QPoint()).x(),
                 child(air, "densityAltitude")->mapTo(air, QPoint()).x());
        for (QWidget* section : raceDay.window.sections()) {
            raceDay.open(section->objectName());
            for (const QLabel* label : section->findChildren<QLabel*>()) {
                if (!label->isVisibleTo(section) || label->wordWrap()) continue;
                QTRY_VERIFY2(label->width() >= label->sizeHint().width(),
                             qPrintable(label->objectName()));
            }
            for (const QComboBox* box : section->findChildren<QComboBox*>()) {
                if (!box->isVisibleTo(section)) continue;
                QVERIFY2(showsWhole(box, box->currentText()), qPrintable(box->objectName()));
            }
        }
        for (const QString standard : {"SAE J607 / STD", "SAE J1349 (1990)"}) {
            choose(raceDay.open("AirSection"), "standard", standard);
            const auto* table =
                child<QTableWidget>(raceDay.open("HorsepowerSection"), "powerTable");
            const QHeaderView* header = table->horizontalHeader();
            for (int column = 0; column < table->columnCount(); ++column) {
                const QString label = table->horizontalHeaderItem(column)->text();
                QVERIFY2(label.contains(standard) == (column >= 2), qPrintable(label));
                for (const QString& line : label.split('\n')) {
                    QTRY_VERIFY2(
                        header->fontMetrics().horizontalAdvance(line) < header->sectionSize(column),
                        qPrintable(line));
                }
            }
        }
    }

    void helpAboutOpensFromTheMenuAndClosesWithEscape() {
        RaceDay raceDay;
        QTest::keyClick(&raceDay.window, Qt::Key_H, Qt::AltModifier);
        auto* help = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(help != nullptr);
        QTest::keyClick(help, Qt::Key_A);
        auto* about = raceDay.window.findChild<QDialog*>("AboutDialog");
        QVERIFY(about && about->isVisible());
        QCOMPARE(child<QLabel>(about, "version")->text(), "Version " + qApp->applicationVersion());
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(!about->isVisible());
    }
};

QTEST_MAIN(RaceDayWindowTest)
#include "raceday_window_test.moc"
