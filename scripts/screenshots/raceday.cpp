// Renders the Race Day window to a PNG file for people to look at: Today's
// air after the example weather, 86 °F, 29.10 inHg and 40 %, and the Log section.
#include <QDir>
#include <QTabWidget>
#include <QTableView>

#include "log_qt.h"
#include "moravik/runlog/run_log.h"
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
        fill(raceDay.open("AirSection"), {"temperature=86", "pressure=29.10", "humidity=40"});
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

    // The Log section with six runs of one car: the runs table scrolled to its last columns,
    // then the prediction page.
    void logSection() {
        const QDir folder(MORAVIK_SCREENSHOT_DIR);
        QVERIFY(folder.mkpath("."));
        QTemporaryDir logFolder;
        const QString path = logFolder.filePath(QStringLiteral("run-log.sqlite"));
        {
            using namespace moravik::runlog;
            auto log = std::get<std::unique_ptr<RunLog>>(RunLog::open(path.toStdString()));
            Vehicle camaro;
            camaro.name = "Camaro";
            camaro.inputs.vweight = "3200";
            const VehicleId id = std::get<VehicleId>(log->addVehicle(camaro));
            for (int n = 0; n < 6; ++n) {
                Run run;
                run.vehicleId = id;
                run.when = moravik::raceday_window::plainMoment(
                    QDateTime(QDate(2024, 6, 1 + n), QTime(10 + n, 0)));
                run.strip = n % 2 == 0 ? "Denver, CO" : "Pueblo, CO";
                run.stripElevationMetres = n % 2 == 0 ? 1768 : 1494;
                run.etSeconds = 11.2 + 0.04 * n;
                run.speed = 54.5 - 0.2 * n;
                run.air = {290.0 + 2 * n, moravik::raceday::StationPressure{83000.0 + 300 * n},
                           moravik::raceday::RelativeHumidity{0.3 + 0.05 * n}};
                log->addRun(run);
            }
        }
        RaceDay raceDay(path);
        raceDay.window.resize(1000, 640);
        fill(raceDay.open("AirSection"), {"temperature=86", "pressure=29.10", "humidity=40"});
        QWidget* section = raceDay.open("LogSection");
        auto* table = child<QTableView>(section, "runTable");
        table->scrollTo(table->model()->index(0, table->model()->columnCount() - 1));
        QCoreApplication::processEvents();
        QVERIFY(raceDay.window.grab().save(folder.filePath("race-day-log-runs.png")));
        QWidget* page = child(section, "LogPredictionPage");
        child<QTabWidget>(section, "logPages")->setCurrentWidget(page);
        QCoreApplication::processEvents();
        QVERIFY(raceDay.window.grab().save(folder.filePath("race-day-log-prediction.png")));
    }
};

QTEST_MAIN(Screenshot)
#include "raceday.moc"
