// Settings kept between runs in the standard location, and a damaged or
// wrongly typed settings file survived with defaults and a note.
#include <QFile>
#include <QScreen>

#include "raceday_test_support.h"

using namespace moravik::raceday_window::testing;

namespace {

QString settingsFile() { return QSettings().fileName(); }

QString note(const RaceDay& raceDay) {
    return child<QLabel>(&raceDay.window, "settingsNote")->text();
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::raceday_window::testing::setUpTestApplication(); }
    void init() {
        QFile::remove(settingsFile());
        QFile::remove(settingsFile() + ".damaged");
    }

    // The units, the standard, Today's air, each section's inputs and the geometry come back
    // after a restart.
    void unitsStandardInputsAndGeometryAreKept() {
        const QStringList typed{
            "HorsepowerSection/weight=2562",      "HorsepowerSection/et=11.5",
            "PredictionSection/baselineEt=11.48", "PredictionSection/baselineAir/temperature=21",
            "JetSection/targetPower=150",         "JetSection/bottlePressure=65"};
        const auto field = [](RaceDay& raceDay, const QString& path) {
            return qobject_cast<QLineEdit*>(
                fieldAt(raceDay.open(path.section('/', 0, 0)), path.section('/', 1)));
        };
        {
            RaceDay first;
            first.action("actionMetric")->trigger();
            for (const QString& entry : typed)
                typeInto(field(first, entry.section('=', 0, 0)), entry.section('=', 1));
            fill(first.open("AirSection"),
                 {"standard=DIN 70020", "pressureKind=Altimeter", "moistureKind=Dew point",
                  "temperature=25", "pressure=1013", "elevation=1768", "dewPoint=12",
                  "elevationUnit=ft"});
            first.window.setGeometry(40, 50, 900, 600);
            QVERIFY(first.window.close());
        }
        QVERIFY(QFile::exists(settingsFile()));
        RaceDay second;
        for (const QString& entry : typed) {
            const QString path = entry.section('=', 0, 0);
            QCOMPARE(path + "=" + field(second, path)->text(), entry);
        }
        QWidget* air = second.open("AirSection");
        QVERIFY(second.action("actionMetric")->isChecked());
        QCOMPARE(child<QComboBox>(air, "standard")->currentText(), "DIN 70020");
        QCOMPARE(child<QComboBox>(air, "pressureKind")->currentText(),
                 "Altimeter setting and elevation");
        QCOMPARE(text(air, "temperature"), "25");
        QCOMPARE(child<QComboBox>(air, "temperatureUnit")->currentText(), "°C");
        QCOMPARE(text(air, "elevation"), "5800.52");
        QCOMPARE(child<QComboBox>(air, "elevationUnit")->currentText(), "ft");
        QCOMPARE(text(air, "dewPoint"), "12");
        QVERIFY(text(air, "densityAltitude") != "–");
        QCOMPARE(second.window.size(), QSize(900, 600));
        QCOMPARE(note(second), QString());
    }

    // A window saved on a larger screen opens within this one (offscreen: 800×600).
    void aGeometryLargerThanTheScreenIsFitted() {
        {
            RaceDay first;
            first.window.setGeometry(3000, 2000, 2599, 1500);
            QVERIFY(first.window.close());
        }
        RaceDay second;
        QVERIFY(QTest::qWaitForWindowExposed(&second.window));
        const QRect available = second.window.screen()->availableGeometry();
        const QRect frame = second.window.frameGeometry();
        // Its top left corner on the screen, as wide as the screen at most,
        // and no taller than the screen or the window's own least height.
        QVERIFY(available.contains(frame.topLeft()));
        QVERIFY(frame.width() <= available.width());
        QVERIFY(frame.height() <=
                std::max(available.height(), second.window.minimumSizeHint().height()));
        QCOMPARE(note(second), QString());
    }

    void aDamagedFileGivesDefaultsAndANote_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("noted");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>((i * 7919) % 256));
        QTest::newRow("garbage") << garbage << "could not be read";
        // Lines QSettings half reads: keys of binary garbage.
        QTest::newRow("garbage lines")
            << QByteArray("[units]\nsystem=metric\n\x01\x02\xff\xfe=\x7f\x03\n\x05=1\n")
            << "could not be read";
        QTest::newRow("unfinished group")
            << QByteArray("[units\nsystem=metric\n") << "could not be read";
        QTest::newRow("lines of another program")
            << QByteArray("[General]\ncolour=red\n") << "colour";
        QTest::newRow("wrong unit system") << QByteArray("[units]\nsystem=42\n") << "units/system";
        QTest::newRow("geometry that is text")
            << QByteArray("[window]\ngeometry=tall\n") << "window/geometry";
        QTest::newRow("geometry of wrong bytes")
            << QByteArray("[window]\ngeometry=@ByteArray(xyz)\n") << "window/geometry";
        QTest::newRow("standard unknown")
            << QByteArray("[sections]\nAirSection\\standard=sae-j9999\n")
            << "sections/AirSection/standard";
        QTest::newRow("unit of another dimension")
            << QByteArray("[sections]\nAirSection\\todaysAir\\temperatureUnit=kg\n")
            << "sections/AirSection/todaysAir/temperatureUnit";
        QTest::newRow("text that is bytes")
            << QByteArray("[sections]\nAirSection\\todaysAir\\temperature=@ByteArray(86)\n")
            << "sections/AirSection/todaysAir/temperature";
        QTest::newRow("text far too long")
            << "[sections]\nAirSection\\todaysAir\\pressure=" + QByteArray(100000, '9') + "\n"
            << "sections/AirSection/todaysAir/pressure";
        QTest::newRow("choice unknown")
            << QByteArray("[sections]\nAirSection\\todaysAir\\moistureKind=fog\n")
            << "sections/AirSection/todaysAir/moistureKind";
    }
    void aDamagedFileGivesDefaultsAndANote() {
        QFETCH(QByteArray, content);
        QFETCH(QString, noted);
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        RaceDay raceDay;
        QVERIFY(QTest::qWaitForWindowExposed(&raceDay.window));
        QVERIFY2(note(raceDay).contains(noted), qPrintable(note(raceDay)));
        // An unreadable file is set aside for the user, not overwritten.
        QCOMPARE(QFile::exists(settingsFile() + ".damaged"), noted == "could not be read");
        QVERIFY(raceDay.action("actionImperial")->isChecked());
        for (const QChar c : raceDay.status() + note(raceDay)) QVERIFY(c.isPrint());
        QVERIFY(raceDay.window.width() <= raceDay.window.screen()->availableGeometry().width());
        QWidget* air = raceDay.open("AirSection");
        QCOMPARE(text(air, "temperature"), "59");
        QCOMPARE(child<QComboBox>(air, "standard")->currentText(), "SAE J607 / STD");
        QVERIFY(text(air, "densityAltitude") != "–");
        // The window still keeps its settings.
        QVERIFY(raceDay.window.close());
        if (noted == "could not be read") {
            QFile kept(settingsFile() + ".damaged");
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), content);
        }
        QVERIFY(RaceDay().window.findChild<QLabel*>("settingsNote")->text().isEmpty());
    }
};

QTEST_MAIN(SettingsTest)
#include "raceday_settings_test.moc"
