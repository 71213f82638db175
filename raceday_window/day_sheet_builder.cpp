#include "day_sheet_builder.h"

#include <cmath>

#include "air_section.h"
#include "log_qt.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/log_prediction.h"
#include "quantity_field.h"

namespace moravik::raceday_window {
namespace {

using raceday::Quantity;

constexpr int recentRunsShown = runlog::defaultRecentRuns;
constexpr int etDecimals = 3;
constexpr int thousandthsDecimals = 1;

std::string utf8(const QString& text) { return text.toStdString(); }

std::string seconds(double value) { return utf8(fixedText(value, etDecimals)) + " s"; }

std::string runDate(const QDateTime& when) {
    return utf8(when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

std::vector<std::string> dialInLines(const runlog::DialIn& dial) {
    const runlog::DialInFigures& chosen = dial.chosen();
    std::vector<std::string> lines{"Dial-in: " + utf8(fixedText(dial.dialInSeconds(), 2)) +
                                   " s (predicted " + seconds(chosen.et.value) + " + margin " +
                                   seconds(dial.marginSeconds) + ", rounded up)"};
    const std::string percent = utf8(QString::number(std::lround(dial.probability * 100)));
    lines.push_back(chosen.hasInterval ? percent + " % interval: " + seconds(chosen.et.low) +
                                             " to " + seconds(chosen.et.high)
                                       : std::string("Interval: none from one run"));
    lines.push_back(
        chosen.leaveOneOutEtSeconds
            ? "Leave-one-out error: " +
                  utf8(fixedText(*chosen.leaveOneOutEtSeconds * 1000, thousandthsDecimals)) +
                  " thousandths of a second"
            : std::string("Leave-one-out error: none from one run"));
    lines.push_back("Method: " + std::string(runlog::methodTitle(dial)) + ", " + dial.reason);
    lines.push_back("Runs used: " + utf8(QString::number(dial.runsUsed)));
    return lines;
}

}  // namespace

std::variant<DaySheet, QString> daySheetFromLog(runlog::RunLog& log, const TodaysAir& today,
                                                const DaySheetChoices& choices) {
    auto vehicles = log.vehicles();
    if (const auto* error = runlog::logErrorOf(vehicles)) return qtText(error->message);
    DaySheet sheet;
    sheet.title = utf8(
        QObject::tr("Moravik Race Day, day sheet for %1").arg(choices.day.toString(Qt::ISODate)));
    sheet.air = todaysAirLines(today, choices.system);
    const raceday::Unit& altitudeUnit = raceday::displayUnit(Quantity::Elevation, choices.system);
    sheet.altitudeUnit = std::string(altitudeUnit.symbol);
    for (const runlog::Vehicle& vehicle : std::get<std::vector<runlog::Vehicle>>(vehicles)) {
        DaySheetPage page;
        page.vehicle = vehicle.name;
        auto runs = log.runs({.vehicleId = vehicle.id});
        if (const auto* error = runlog::logErrorOf(runs)) return qtText(error->message);
        const auto& all = std::get<std::vector<runlog::Run>>(runs);
        for (const runlog::Run& run : all) {
            const auto air = raceday::evaluateAir(run.air);
            if (const auto* known = std::get_if<raceday::Air>(&air)) {
                page.chart.push_back(
                    {raceday::fromSi(known->densityAltitudeMetres, altitudeUnit), run.etSeconds});
            }
        }
        if (all.empty()) {
            page.dialIn.push_back("No runs in the log yet.");
        } else if (!today.weather()) {
            page.dialIn.push_back("Today's air is not complete: enter it in Today's air.");
        } else {
            // The combination of the day is the one of the newest run.
            const runlog::PredictionRequest request{.vehicle = vehicle.id,
                                                    .nitrousJetInches = all.back().nitrousJetInches,
                                                    .today = *today.weather(),
                                                    .standard = today.standard(),
                                                    .recentRuns = recentRunsShown};
            auto predicted = runlog::predictFromLog(log, request);
            if (const auto* error = runlog::logErrorOf(predicted)) {
                page.dialIn.push_back(error->message);
                sheet.pages.push_back(std::move(page));
                continue;
            }
            const auto& prediction = std::get<runlog::LogPrediction>(predicted);
            for (const runlog::CorrectedRun& run : prediction.runs) {
                page.runs.push_back({runDate(qtDateTime(run.run.when)),
                                     utf8(fixedText(run.run.etSeconds, etDecimals)),
                                     utf8(fixedText(run.corrected.etSeconds, etDecimals))});
            }
            const auto dial =
                runlog::dialIn(prediction, *today.weather(), runlog::defaultDialInMethod,
                               choices.probability, choices.marginSeconds);
            if (const auto* error = raceday::errorOf(dial)) {
                page.dialIn.push_back(error->message);
            } else {
                page.dialIn = dialInLines(std::get<runlog::DialIn>(dial));
            }
        }
        sheet.pages.push_back(std::move(page));
    }
    return sheet;
}

}  // namespace moravik::raceday_window
