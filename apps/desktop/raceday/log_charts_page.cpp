#include "log_charts_page.h"

#include <QPainter>
#include <QToolTip>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

#include "chart_file.h"
#include "log_qt.h"
#include "moravik/raceday/prediction.h"
#include "moravik/raceday/units.h"
#include "qt_text.h"
#include "quantity_field.h"
#include "ui_LogChartsPage.h"

namespace moravik::raceday_window {
namespace {

QString runText(const runlog::Run& run, raceday::UnitSystem system) {
    return QObject::tr("Run %1, %2 at %3: %4 s, %5")
        .arg(run.id)
        .arg(qtText(runlog::localMinuteText(run.when)),
             run.strip.empty() ? QObject::tr("no strip named") : qtText(run.strip),
             fixedText(run.etSeconds, etDecimals),
             toQString(raceday::displayText(run.speed, Quantity::Speed, system)));
}

// Fits an axis to the values with a little room on both sides.
void fit(QValueAxis* axis, const QList<QPointF>& points, bool horizontal) {
    if (points.isEmpty()) return;
    const auto value = [horizontal](QPointF p) { return horizontal ? p.x() : p.y(); };
    const auto [low, high] = std::ranges::minmax(points, {}, value);
    const double room = std::max((value(high) - value(low)) * 0.05, 0.01 * std::abs(value(low)));
    axis->setRange(value(low) - room, value(high) + room);
    axis->applyNiceNumbers();
}

}  // namespace

LogChartsPage::LogChartsPage(FileChooser& files, QWidget* parent)
    : QWidget(parent), ui(new Ui::LogChartsPage), files_(files) {
    ui->setupUi(this);
    QChart* density = ui->densityChart->chart();
    QChart* times = ui->timeChart->chart();
    density->setTitle(tr("ET against density altitude"));
    times->setTitle(tr("ET and corrected ET over time"));
    densityRuns_ = addSeries(density, new QScatterSeries(density), tr("Runs used"));
    predictionLine_ = addSeries(density, new QLineSeries(density), tr("Predicted from the log"));
    todayPoint_ = addSeries(density, new QScatterSeries(density), tr("Today"));
    // Runs with and without nitrous are lines of their own: joined, the line
    // would zigzag between two different cars.
    etOverTime_ = addSeries(times, new QLineSeries(times), tr("ET"));
    correctedOverTime_ = addSeries(times, new QLineSeries(times), tr("Corrected ET"));
    nitrousEtOverTime_ = addSeries(times, new QLineSeries(times), tr("ET with nitrous"));
    nitrousCorrectedOverTime_ =
        addSeries(times, new QLineSeries(times), tr("Corrected ET with nitrous"));
    for (auto* line :
         {etOverTime_, correctedOverTime_, nitrousEtOverTime_, nitrousCorrectedOverTime_})
        line->setPointsVisible(true);

    densityAxis_ = new QValueAxis(density);
    densityEtAxis_ = new QValueAxis(density);
    timeAxis_ = new QDateTimeAxis(times);
    timeEtAxis_ = new QValueAxis(times);
    timeAxis_->setFormat(QStringLiteral("yyyy-MM-dd"));
    density->addAxis(densityAxis_, Qt::AlignBottom);
    density->addAxis(densityEtAxis_, Qt::AlignLeft);
    times->addAxis(timeAxis_, Qt::AlignBottom);
    times->addAxis(timeEtAxis_, Qt::AlignLeft);
    for (auto* series : {densityRuns_, predictionLine_, todayPoint_}) {
        series->attachAxis(densityAxis_);
        series->attachAxis(densityEtAxis_);
    }
    for (auto* series :
         {etOverTime_, correctedOverTime_, nitrousEtOverTime_, nitrousCorrectedOverTime_}) {
        series->attachAxis(timeAxis_);
        series->attachAxis(timeEtAxis_);
    }
    densityEtAxis_->setTitleText(tr("ET (s)"));
    timeEtAxis_->setTitleText(tr("ET (s)"));
    for (auto* view : {ui->densityChart, ui->timeChart})
        view->setRenderHint(QPainter::Antialiasing);
    connect(ui->saveDensityChart, &QPushButton::clicked, this, [this] {
        const auto message = chooseFileAndSaveChart(
            files_, *ui->densityChart, this, QStringLiteral("et-density-altitude.png"),
            tr("ET by density altitude: %1").arg(vehicleName_));
        if (message) emit saved(*message);
    });
    connect(ui->saveTimeChart, &QPushButton::clicked, this, [this] {
        const auto message =
            chooseFileAndSaveChart(files_, *ui->timeChart, this, QStringLiteral("et-over-time.png"),
                                   tr("ET over time: %1").arg(vehicleName_));
        if (message) emit saved(*message);
    });
}

LogChartsPage::~LogChartsPage() = default;

QXYSeries* LogChartsPage::addSeries(QChart* chart, QXYSeries* series, const QString& name) {
    series->setName(name);
    chart->addSeries(series);
    connect(series, &QXYSeries::hovered, this, [this, series](QPointF position, bool entering) {
        showPointText(series, position, entering);
    });
    return series;
}

QString LogChartsPage::pointText(const QXYSeries* series, int point) const {
    const auto found = pointTexts_.find(series);
    return found == pointTexts_.end() ? QString() : found->second.value(point);
}

void LogChartsPage::showPointText(QXYSeries* series, QPointF position, bool entering) {
    if (!entering || series->count() == 0) {
        QToolTip::hideText();
        return;
    }
    // The nearest point on the chart's own scale, since the axes differ a lot.
    QChart* chart = series->chart();
    const QPointF at = chart->mapToPosition(position, series);
    const QList<QPointF> points = series->points();
    int nearest = 0;
    for (int i = 1; i < points.size(); ++i) {
        const auto distance = [&](int index) {
            const QPointF delta = chart->mapToPosition(points[index], series) - at;
            return QPointF::dotProduct(delta, delta);
        };
        if (distance(i) < distance(nearest)) nearest = i;
    }
    auto* view =
        series == etOverTime_ || series == correctedOverTime_ ? ui->timeChart : ui->densityChart;
    QToolTip::showText(view->mapToGlobal(view->mapFromScene(chart->mapToScene(at))),
                       pointText(series, nearest), view);
}

void LogChartsPage::plot(const QString& vehicleName, const std::vector<runlog::RunPower>& runs,
                         const std::optional<runlog::LogPrediction>& prediction,
                         const std::optional<raceday::Air>& today, raceday::UnitSystem system) {
    vehicleName_ = vehicleName;
    system_ = system;
    pointTexts_.clear();
    for (auto* series :
         {densityRuns_, predictionLine_, todayPoint_, etOverTime_, correctedOverTime_}) {
        series->clear();
    }
    ui->chartsNote->setText(
        vehicleName.isEmpty()
            ? tr("Choose a vehicle under Prediction and horsepower.")
            : tr("The runs of %1, as chosen under Prediction and horsepower.").arg(vehicleName));
    if (prediction) plotDensity(*prediction, today);
    plotTimes(runs);
}

void LogChartsPage::plotDensity(const runlog::LogPrediction& prediction,
                                const std::optional<raceday::Air>& today) {
    const Unit& elevation = raceday::displayUnit(Quantity::Elevation, system_);
    densityAxis_->setTitleText(tr("Density altitude (%1)").arg(toQString(elevation.symbol)));
    QList<QPointF> runs;
    QList<QPointF> line;
    QStringList runTexts;
    QStringList lineTexts;
    for (const runlog::CorrectedRun& corrected : prediction.runs) {
        if (corrected.excluded) continue;
        const auto air = raceday::evaluateAir(corrected.run.air);
        const auto* evaluated = std::get_if<raceday::Air>(&air);
        if (evaluated == nullptr) continue;
        const double x = raceday::fromSi(evaluated->densityAltitudeMetres, elevation);
        runs.append({x, corrected.run.etSeconds});
        runTexts << runText(corrected.run, system_);
        // What the log predicts in this run's air.
        const double predicted =
            raceday::correctRun(prediction.averageCorrected, 1 / corrected.factor).etSeconds;
        line.append({x, predicted});
    }
    if (today) {
        const double x = raceday::fromSi(today->densityAltitudeMetres, elevation);
        line.append({x, prediction.predicted.etSeconds});
        todayPoint_->append(x, prediction.predicted.etSeconds);
        pointTexts_[todayPoint_] << tr("Today: predicted %1 s")
                                        .arg(fixedText(prediction.predicted.etSeconds, etDecimals));
    }
    std::ranges::sort(line, {}, &QPointF::x);
    for (const QPointF& point : line) {
        lineTexts << tr("Predicted %1 s at %2 %3")
                         .arg(fixedText(point.y(), etDecimals))
                         .arg(point.x(), 0, 'f', 0)
                         .arg(toQString(elevation.symbol));
    }
    densityRuns_->replace(runs);
    predictionLine_->replace(line);
    pointTexts_[densityRuns_] = runTexts;
    pointTexts_[predictionLine_] = lineTexts;
    fit(densityAxis_, line, true);
    fit(densityEtAxis_, runs + line, false);
}

void LogChartsPage::plotTimes(const std::vector<runlog::RunPower>& runs) {
    QList<QPointF> all;
    const auto plotRuns = [&](QXYSeries* observedSeries, QXYSeries* correctedSeries, bool nitrous) {
        QList<QPointF> observed;
        QList<QPointF> corrected;
        QStringList texts;
        QStringList correctedTexts;
        for (const runlog::RunPower& power : runs) {
            if (power.run.nitrousJetInches.has_value() != nitrous) continue;
            const auto x = static_cast<double>(runlog::millisecondsOf(power.run.when));
            observed.append({x, power.run.etSeconds});
            const double correctedEt =
                raceday::correctRun({power.run.etSeconds, power.run.speed}, power.factor).etSeconds;
            corrected.append({x, correctedEt});
            texts << runText(power.run, system_);
            correctedTexts
                << tr("%1; corrected %2 s").arg(texts.back(), fixedText(correctedEt, etDecimals));
        }
        observedSeries->replace(observed);
        correctedSeries->replace(corrected);
        pointTexts_[observedSeries] = texts;
        pointTexts_[correctedSeries] = correctedTexts;
        all += observed + corrected;
    };
    plotRuns(etOverTime_, correctedOverTime_, false);
    plotRuns(nitrousEtOverTime_, nitrousCorrectedOverTime_, true);
    if (!runs.empty()) {
        const QDateTime first = qtDateTime(runs.front().run.when);
        const QDateTime last = qtDateTime(runs.back().run.when);
        timeAxis_->setRange(first.addSecs(-3600), last.addSecs(3600));
        // One label a day at most, or the times of a single day: never one
        // date written several times.
        const qint64 days = first.date().daysTo(last.date());
        const bool oneDay = days == 0;
        timeAxis_->setFormat(oneDay ? QStringLiteral("HH:mm") : QStringLiteral("yyyy-MM-dd"));
        timeAxis_->setTitleText(oneDay ? tr("Time on %1").arg(first.date().toString(Qt::ISODate))
                                       : tr("Date"));
        constexpr qint64 mostTicks = 5;
        timeAxis_->setTickCount(
            static_cast<int>(oneDay ? mostTicks : std::min(mostTicks, days + 1)));
    }
    fit(timeEtAxis_, all, false);
}

void LogChartsPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shown();
}

}  // namespace moravik::raceday_window
