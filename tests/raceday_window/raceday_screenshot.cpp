// Renders the Race Day window to a PNG file for people to look at: Today's
// air after the example weather, 86 °F, 29.10 inHg and 40 %.
#include <QDir>

#include "raceday_test_support.h"

using namespace moravik::raceday_window::testing;

class Screenshot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::raceday_window::testing::setUpTestApplication(); }

    void raceDayWindow() {
        const QDir folder(MORAVIK_SCREENSHOT_DIR);
        QVERIFY(folder.mkpath("."));
        RaceDay raceDay;
        raceDay.window.resize(1000, 640);
        QWidget* air = raceDay.open("AirSection");
        typeInto(air, "temperature", "86");
        typeInto(air, "pressure", "29.10");
        typeInto(air, "humidity", "40");
        QVERIFY(raceDay.window.grab().save(folder.filePath("race-day.png")));
        raceDay.open("ChartSection");
        QVERIFY(raceDay.window.grab().save(folder.filePath("race-day-chart.png")));
        // Each section on a small screen, 800×600 less a panel and the title bar.
        raceDay.window.resize(800, 540);
        for (const QWidget* section : raceDay.window.sections()) {
            raceDay.open(section->objectName());
            // Scroll bars come and go on a queued signal.
            QCoreApplication::processEvents();
            QVERIFY(raceDay.window.grab().save(
                folder.filePath("race-day-800-" + section->objectName() + ".png")));
        }
        const QSize least = raceDay.window.minimumSizeHint();
        qInfo("least window size %d×%d", least.width(), least.height());
    }
};

QTEST_MAIN(Screenshot)
#include "raceday_screenshot.moc"
