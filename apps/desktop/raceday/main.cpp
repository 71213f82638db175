#include <QApplication>
#include <QCommandLineParser>

#include "messages.h"
#include "moravik/runlog/run_log.h"
#include "race_day_window.h"
#include "services.h"
#include "start_up.h"

namespace {

const QString description = QCoreApplication::translate(
    "main",
    "Moravik Race Day: density altitude, horsepower correction, predictions, eighth-mile "
    "conversions, jets for a target, jet charts and a log of every run for the day at the drag "
    "strip.\n\n"
    "Exit status:\n"
    "  0  the window was closed, or help or the version was shown\n"
    "  1  the command line holds an unknown option or argument, or no display is available");

}  // namespace

int main(int argc, char* argv[]) {
    moravik::desktop::answerHelpOrVersion(argc, argv,
                                          {QStringLiteral("moravik-raceday"), description});
    const auto application = moravik::desktop::makeApplication(argc, argv, "moravik-raceday");
    QApplication& app = *application;
    moravik::raceday_window::setUpApplication(app);

    QCommandLineParser options;
    options.setApplicationDescription(description);
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);
    if (!options.positionalArguments().isEmpty()) {
        options.showHelp(1);
    }

    moravik::raceday_window::DialogFileChooser files;
    moravik::desktop::MessageBoxes messages;
    moravik::raceday_window::RaceDayWindow window(
        files, messages, QString::fromStdString(moravik::runlog::RunLog::defaultPath()));
    window.show();
    return QApplication::exec();
}
