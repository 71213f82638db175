#include "day_sheet_builder.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "air_section.h"
#include "log_qt.h"
#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/log_prediction.h"
#include "moravik/runlog/prediction.h"
#include "qt_text.h"
#include "quantity_field.h"

namespace moravik::raceday_window {
namespace {

using raceday::Quantity;

constexpr int recentRunsShown = runlog::defaultRecentRuns;
// The re-dial table: four steps either side of today's density altitude, 250 ft or 75 m each.
constexpr int redialSteps = 4;
constexpr double redialStepFeet = 250;
constexpr double redialStepMetres = 75;
constexpr int linePoints = 24;

std::string utf8(const QString& text) { return text.toStdString(); }

std::string seconds(double value) { return utf8(fixedText(value, etDecimals)) + " s"; }

// A dial-in goes on the window to the hundredth, rounded up.
std::string dialInText(double predictedEtSeconds, double marginSeconds) {
    return utf8(fixedText(runlog::dialInSeconds(predictedEtSeconds, marginSeconds), 2));
}

std::string runDate(const QDateTime& when) {
    return utf8(when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

std::string shown(double si, Quantity quantity, raceday::UnitSystem system) {
    return raceday::displayText(si, quantity, system, raceday::UnitTexts::Display);
}

std::string sourceText(const TodaysAir& today, raceday::UnitSystem system) {
    const auto& metar = today.metar();
    const auto weather = today.weather();
    const auto* setting =
        weather ? std::get_if<raceday::AltimeterSetting>(&weather->pressure) : nullptr;
    std::string source = metar ? "METAR " + metar->station + " " + metar->time : "typed";
    if (setting != nullptr) {
        source += ", altimeter setting " + (metar ? metar->altimeterGroup + " (" : std::string()) +
                  shown(setting->pascals, Quantity::Barometer, system) + (metar ? ")" : "") +
                  " at " + shown(setting->elevationMetres, Quantity::Elevation, system);
    }
    return source;
}

using Dialled = std::variant<runlog::DialIn, std::string>;

// The dial-in for a weather, from the runs the request chooses, or why there is none.
Dialled dialFor(runlog::RunLog& log, runlog::PredictionRequest request,
                const raceday::Weather& weather, runlog::DialInMethod method, double probability,
                double marginSeconds, runlog::LogPrediction* used = nullptr) {
    request.today = weather;
    auto predicted = runlog::predictFromLog(log, request);
    if (const auto* error = runlog::logErrorOf(predicted)) return error->message;
    const auto& prediction = std::get<runlog::LogPrediction>(predicted);
    if (used != nullptr) *used = prediction;
    auto dial = runlog::dialIn(prediction, weather, method, probability, marginSeconds);
    if (const auto* error = raceday::errorOf(dial)) return error->message;
    return std::get<runlog::DialIn>(std::move(dial));
}

std::vector<std::string> dialInLines(const runlog::DialIn& dial, raceday::UnitSystem system) {
    const runlog::DialInFigures& chosen = dial.chosen();
    const std::string percent = utf8(QString::number(std::lround(dial.probability * 100)));
    const auto speed = [system](double metresPerSecond) {
        return shown(metresPerSecond, Quantity::Speed, system);
    };
    std::vector<std::string> lines{"Predicted " + seconds(chosen.et.value) + " + margin " +
                                   seconds(dial.marginSeconds) + ", rounded up"};
    lines.push_back(chosen.hasInterval ? percent + " % interval: " + seconds(chosen.et.low) +
                                             " to " + seconds(chosen.et.high)
                                       : std::string("Interval: none from one run"));
    lines.push_back("Predicted MPH: " + speed(chosen.speed.value) +
                    (chosen.hasInterval
                         ? " (" + speed(chosen.speed.low) + " to " + speed(chosen.speed.high) + ")"
                         : std::string()));
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

struct JetRuns {
    std::optional<double> inches;
    std::vector<const runlog::Run*> runs;  // oldest first
};

// The jets of a vehicle's runs (oldest first), the jet of the newest run first.
std::vector<JetRuns> byJet(const std::vector<runlog::Run>& all) {
    std::vector<JetRuns> jets;
    std::map<std::optional<raceday::Jet>, std::size_t> index;
    for (auto run = all.rbegin(); run != all.rend(); ++run) {
        const auto [at, added] =
            index.try_emplace(runlog::matchedJet(run->nitrousJetInches), jets.size());
        if (added) jets.push_back({run->nitrousJetInches, {}});
        jets[at->second].runs.insert(jets[at->second].runs.begin(), &*run);
    }
    return jets;
}

void fillDialIn(DaySheetPage& page, runlog::RunLog& log, const runlog::PredictionRequest& request,
                const raceday::Weather& today, const DaySheetChoices& choices,
                const raceday::Unit& altitudeUnit) {
    runlog::LogPrediction prediction;
    const Dialled dialled = dialFor(log, request, today, runlog::defaultDialInMethod,
                                    choices.probability, choices.marginSeconds, &prediction);
    if (const auto* why = std::get_if<std::string>(&dialled)) {
        page.lines.push_back(*why);
        return;
    }
    const auto& dial = std::get<runlog::DialIn>(dialled);
    const double margin = dial.marginSeconds;
    page.dialIn = dialInText(dial.chosen().et.value, margin);
    page.lines = dialInLines(dial, choices.system);
    for (const runlog::CorrectedRun& run : prediction.runs) {
        page.runs.push_back({runDate(qtDateTime(run.run.when)),
                             utf8(fixedText(run.run.etSeconds, etDecimals)),
                             utf8(fixedText(run.corrected.etSeconds, etDecimals))});
    }
    const double todayMetres =
        std::get<raceday::Air>(raceday::evaluateAir(today)).densityAltitudeMetres;
    // The dial-in at another density altitude, by the method chosen for today's.
    const auto dialInAt = [&](double metres) -> std::optional<double> {
        const auto moved = raceday::atDensityAltitude(today, metres);
        if (!moved) return std::nullopt;
        const Dialled there =
            dialFor(log, request, *moved, dial.method, choices.probability, margin);
        if (const auto* figures = std::get_if<runlog::DialIn>(&there))
            return figures->chosen().et.value;
        return std::nullopt;
    };
    const double step = choices.system == raceday::UnitSystem::Imperial
                            ? redialStepFeet * raceday::metresPerFoot
                            : redialStepMetres;
    for (int offset = -redialSteps; offset <= redialSteps; ++offset) {
        const double metres = todayMetres + offset * step;
        const auto et = offset == 0 ? std::optional(dial.chosen().et.value) : dialInAt(metres);
        page.redial.push_back({shown(metres, Quantity::Elevation, choices.system),
                               et ? dialInText(*et, margin) + " s" : utf8(noValue), offset == 0});
    }
    page.today = DaySheetPoint{raceday::fromSi(todayMetres, altitudeUnit), dial.chosen().et.value};

    // The prediction line across the runs' air and the re-dial table's.
    double low = todayMetres - redialSteps * step;
    double high = todayMetres + redialSteps * step;
    for (const DaySheetPoint& point : page.chart) {
        const double metres = raceday::toSi(point.densityAltitude, altitudeUnit);
        low = std::min(low, metres);
        high = std::max(high, metres);
    }
    for (int point = 0; point < linePoints; ++point) {
        const double metres = low + (high - low) * point / (linePoints - 1);
        if (const auto et = dialInAt(metres))
            page.line.push_back({raceday::fromSi(metres, altitudeUnit), *et});
    }
}

}  // namespace

std::variant<DaySheet, QString> daySheetFromLog(runlog::RunLog& log, const TodaysAir& today,
                                                const DaySheetChoices& choices) {
    auto vehicles = log.vehicles();
    if (const auto* error = runlog::logErrorOf(vehicles)) return qtText(error->message);
    DaySheet sheet;
    sheet.title = utf8(QObject::tr("Moravik Race Day · day sheet for %1")
                           .arg(choices.when.toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    sheet.air = todaysAirLines(today, choices.system);
    sheet.airSource = today.air() ? sourceText(today, choices.system) : "not complete";
    sheet.paper = choices.paper;
    const raceday::Unit& altitudeUnit = raceday::displayUnit(Quantity::Elevation, choices.system);
    sheet.altitudeUnit = std::string(altitudeUnit.symbol);
    for (const runlog::Vehicle& vehicle : std::get<std::vector<runlog::Vehicle>>(vehicles)) {
        auto runs = log.runs({.vehicleId = vehicle.id});
        if (const auto* error = runlog::logErrorOf(runs)) return qtText(error->message);
        const auto& all = std::get<std::vector<runlog::Run>>(runs);
        if (all.empty()) {
            DaySheetPage page;
            page.vehicle = vehicle.name;
            page.jet = "no runs";
            page.lines.push_back("No runs in the log yet.");
            sheet.pages.push_back(std::move(page));
            continue;
        }
        for (const JetRuns& jet : byJet(all)) {
            DaySheetPage page;
            page.vehicle = vehicle.name;
            page.jet = runlog::jetRunsText(jet.inches);
            const runlog::Run& newest = *jet.runs.back();
            page.strip =
                "Strip: " + (newest.strip.empty() ? std::string("not given") : newest.strip);
            if (newest.stripElevationMetres)
                page.strip +=
                    ", " + shown(*newest.stripElevationMetres, Quantity::Elevation, choices.system);
            for (const runlog::Run* run : jet.runs) {
                const auto air = raceday::evaluateAir(run->air);
                if (const auto* known = std::get_if<raceday::Air>(&air)) {
                    page.chart.push_back(
                        {raceday::fromSi(known->densityAltitudeMetres, altitudeUnit),
                         run->etSeconds});
                }
            }
            if (!today.weather()) {
                page.lines.push_back("Today's air is not complete: enter it in Today's air.");
            } else {
                const runlog::PredictionRequest request{.vehicle = vehicle.id,
                                                        .nitrousJetInches = jet.inches,
                                                        .today = *today.weather(),
                                                        .standard = today.standard(),
                                                        .recentRuns = recentRunsShown};
                fillDialIn(page, log, request, *today.weather(), choices, altitudeUnit);
            }
            sheet.pages.push_back(std::move(page));
        }
    }
    return sheet;
}

}  // namespace moravik::raceday_window
