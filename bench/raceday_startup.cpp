// Race Day's start-up with a given run log, ending once the window has been
// painted for the first time. "--make N" first fills the log with N runs of 20
// vehicles, as bench_runlog does, and exits.
#include <QApplication>
#include <charconv>
#include <string_view>

#include "first_paint.h"
#include "messages.h"
#include "moravik/runlog/run_log.h"
#include "race_day_window.h"
#include "services.h"

namespace {

int makeLog(const QString& path, int runCount) {
    auto opened = moravik::runlog::RunLog::open(path.toStdString());
    if (moravik::runlog::logErrorOf(opened)) return 1;
    auto& log = std::get<std::unique_ptr<moravik::runlog::RunLog>>(opened);
    for (int vehicle = 1; vehicle <= 20; ++vehicle) {
        log->addVehicle({0, "Car " + std::to_string(vehicle), {}, {}});
    }
    std::vector<moravik::runlog::Run> runs;
    for (int n = 0; n < runCount; ++n) {
        moravik::runlog::Run run;
        run.vehicleId = 1 + n % 20;
        run.when = moravik::runlog::momentOfMilliseconds(1600000000000 + qint64{n} * 3600000);
        run.strip = "Strip " + std::to_string(n % 40);
        run.etSeconds = 9 + (n % 5000) / 1000.0;
        run.speed = 45 + (n % 3000) / 300.0;
        run.air = {288.15 + n % 30, moravik::raceday::StationPressure{90000.0 + n % 9000},
                   moravik::raceday::RelativeHumidity{(n % 100) / 100.0}};
        runs.push_back(run);
    }
    return moravik::runlog::logErrorOf(log->addRuns(runs)) ? 1 : 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::string_view(argv[2]) == "--make") {
        QCoreApplication app(argc, argv);
        int runs = 0;
        const std::string_view count(argv[3]);
        std::from_chars(count.data(), count.data() + count.size(), runs);
        return makeLog(QString::fromLocal8Bit(argv[1]), runs);
    }
    if (argc != 2) return 2;
    QApplication app(argc, argv);
    moravik::raceday_window::setUpApplication(app);
    moravik::raceday_window::DialogFileChooser files;
    moravik::desktop::MessageBoxes messages;
    moravik::raceday_window::RaceDayWindow window(files, messages, QString::fromLocal8Bit(argv[1]));
    moravik::bench::quitAfterFirstPaint(window);
    window.show();
    return QApplication::exec();
}
