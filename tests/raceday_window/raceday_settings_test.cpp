// Settings kept between runs; a damaged or wrongly typed settings file gives defaults and a note.
#include <QFile>
#include <QScreen>

#include "raceday_test_support.h"

using namespace moravik::raceday_window::testing;

namespace {

QString settingsFile() { return QSettings().fileName(); }

QString note(const RaceDay& raceDay) {
    return child<QLabel>(&raceDay.window, "settingsNote")->text();
}

struct SettingsCase {
    const char* name;
    QByteArray content;
    QString noted;  // part of the settings note
};

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::raceday_window::testing::setUpTestApplication(); }
    void init() {
        QFile::remove(settingsFile());
        QFile::remove(settingsFile() + ".damaged");
    }

    // The units, the standard, each section's inputs and the geometry come back after a restart.
    void unitsStandardInputsAndGeometryAreKept() {
        const QMap<QString, QStringList> typed{
            {"HorsepowerSection", {"weight=2562", "et=11.5"}},
            {"PredictionSection", {"baselineEt=11.48", "baselineAir/temperature=21"}},
            {"JetSection", {"targetPower=150", "bottlePressure=65"}},
            {"AirSection",
             {"standard=DIN 70020", "pressureKind=Altimeter", "moistureKind=Dew point",
              "temperature=25", "pressure=1013", "elevation=1768", "dewPoint=12",
              "elevationUnit=ft"}}};
        {
            RaceDay first;
            first.action("actionMetric")->trigger();
            for (auto section = typed.cbegin(); section != typed.cend(); ++section)
                fill(first.open(section.key()), section.value());
            first.window.setGeometry(40, 50, 900, 600);
            QVERIFY(first.window.close());
        }
        QVERIFY(QFile::exists(settingsFile()));
        RaceDay second;
        for (auto section = typed.cbegin(); section != typed.cend(); ++section) {
            QStringList kept = section.value();
            if (section.key() == "AirSection")  // 1768 m shown in feet; the choices' whole texts
                kept = {"standard=DIN 70020",
                        "pressureKind=Altimeter setting and elevation",
                        "moistureKind=Dew point",
                        "temperature=25",
                        "temperatureUnit=°C",
                        "elevation=5800.52",
                        "dewPoint=12",
                        "elevationUnit=ft"};
            expectShown(second.open(section.key()), kept);
        }
        QVERIFY(second.action("actionMetric")->isChecked());
        QVERIFY(text(second.open("AirSection"), "densityAltitude") != "–");
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
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>((i * 7919) % 256));
        const QString unread = "could not be read";
        const QByteArray air = "[sections]\nAirSection\\", today = air + "todaysAir\\";
        addRows<SettingsCase>({
            {"garbage", garbage, unread},
            // Lines QSettings half reads: keys of binary garbage.
            {"garbage lines", "[units]\nsystem=metric\n\x01\x02\xff\xfe=\x7f\x03\n\x05=1\n",
             unread},
            {"unfinished group", "[units\nsystem=metric\n", unread},
            {"lines of another program", "[General]\ncolour=red\n", "colour"},
            {"wrong unit system", "[units]\nsystem=42\n", "units/system"},
            {"geometry that is text", "[window]\ngeometry=tall\n", "window/geometry"},
            {"geometry of wrong bytes", "[window]\ngeometry=@ByteArray(xyz)\n", "window/geometry"},
            {"standard unknown", air + "standard=sae-j9999\n", "sections/AirSection/standard"},
            {"unit of another dimension", today + "temperatureUnit=kg\n",
             "sections/AirSection/todaysAir/temperatureUnit"},
            {"text that is bytes", today + "temperature=@ByteArray(86)\n",
             "sections/AirSection/todaysAir/temperature"},
            {"text far too long", today + "pressure=" + QByteArray(100000, '9') + "\n",
             "sections/AirSection/todaysAir/pressure"},
            {"choice unknown", today + "moistureKind=fog\n",
             "sections/AirSection/todaysAir/moistureKind"},
        });
    }
    void aDamagedFileGivesDefaultsAndANote() {
        QFETCH(SettingsCase, row);
        const auto& [name, content, noted] = row;
        QVERIFY(writeFile(settingsFile(), content));

        RaceDay raceDay;
        VERIFY_CONTAINS(note(raceDay), noted);
        // An unreadable file is set aside for the user, not overwritten.
        QCOMPARE(QFile::exists(settingsFile() + ".damaged"), noted == "could not be read");
        QVERIFY(raceDay.action("actionImperial")->isChecked());
        for (const QChar c : raceDay.status() + note(raceDay)) QVERIFY(c.isPrint());
        QVERIFY(raceDay.window.width() <= raceDay.window.screen()->availableGeometry().width());
        QWidget* air = raceDay.open("AirSection");
        expectShown(air, {"temperature=59", "standard=SAE J607 / STD"});
        QVERIFY(text(air, "densityAltitude") != "–");
        // The window still keeps its settings.
        QVERIFY(raceDay.window.close());
        if (noted == "could not be read") QCOMPARE(fileBytes(settingsFile() + ".damaged"), content);
        QVERIFY(RaceDay().window.findChild<QLabel*>("settingsNote")->text().isEmpty());
    }
};

QTEST_MAIN(SettingsTest)
#include "raceday_settings_test.moc"
