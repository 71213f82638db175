// Charts of a vehicle's runs: ET against density altitude with the line the
// log predicts along it, and ET and corrected ET over time. Each point shows
// its run on hover; either chart saves as PNG or SVG.
#pragma once

#include <QScopedPointer>
#include <QWidget>
#include <map>

#include "moravik/raceday/units.h"
#include "moravik/runlog/log_prediction.h"

namespace Ui {
class LogChartsPage;
}

class QChart;
class QDateTimeAxis;
class QValueAxis;
class QXYSeries;

namespace moravik::raceday_window {

class FileChooser;

class LogChartsPage final : public QWidget {
    Q_OBJECT
public:
    explicit LogChartsPage(FileChooser& files, QWidget* parent = nullptr);
    ~LogChartsPage() override;

    void setUnitSystem(raceday::UnitSystem system) { system_ = system; }
    // `runs`: every run of the vehicle, oldest first; `prediction` the log's
    // prediction for today's air, when there is one.
    void plot(const QString& vehicleName, const std::vector<runlog::RunPower>& runs,
              const std::optional<runlog::LogPrediction>& prediction,
              const std::optional<raceday::Air>& today, raceday::UnitSystem system);

    // What a point tells on hover, by series and point index.
    QString pointText(const QXYSeries* series, int point) const;

signals:
    void saved(const QString& message);
    // The page has come into view: figures put off while hidden are due.
    void shown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void plotDensity(const runlog::LogPrediction& prediction,
                     const std::optional<raceday::Air>& today);
    void plotTimes(const std::vector<runlog::RunPower>& runs);
    void showPointText(QXYSeries* series, QPointF position, bool entering);
    QXYSeries* addSeries(QChart* chart, QXYSeries* series, const QString& name);

    const QScopedPointer<Ui::LogChartsPage> ui;
    FileChooser& files_;
    QString vehicleName_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
    QXYSeries* densityRuns_;
    QXYSeries* predictionLine_;
    QXYSeries* todayPoint_;
    QXYSeries* etOverTime_;
    QXYSeries* correctedOverTime_;
    QXYSeries* nitrousEtOverTime_;
    QXYSeries* nitrousCorrectedOverTime_;
    QValueAxis* densityAxis_;
    QValueAxis* densityEtAxis_;
    QDateTimeAxis* timeAxis_;
    QValueAxis* timeEtAxis_;
    std::map<const QXYSeries*, QStringList> pointTexts_;
};

}  // namespace moravik::raceday_window
