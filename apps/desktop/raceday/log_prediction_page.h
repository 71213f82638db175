// Prediction and horsepower from the log for one vehicle: its recent runs
// without nitrous, or on today's jet, each corrected to the standard's day
// and averaged, carried to today's air from the Today's air section. A run can
// be left out with its Use box. The dial-in scales their average or fits a
// line to them (dial_in.h), as the racer picks, with its interval, its
// leave-one-out error and the method with the smaller error named. Every run of the vehicle shows
// the horsepower its ET and its trap speed give by the four formulas, corrected the same way.
#pragma once

#include <QScopedPointer>
#include <QWidget>

#include "moravik/runlog/dial_in.h"
#include "moravik/runlog/log_prediction.h"
#include "section.h"

namespace Ui {
class LogPredictionPage;
}

namespace moravik::raceday_window {

class LogChartsPage;
class LogStore;
class QuantityOutput;

class LogPredictionPage final : public QWidget {
    Q_OBJECT
public:
    // The table of runs used, by column.
    enum RunColumn { Use, When, Et, Speed, Factor, CorrectedEt, CorrectedSpeed, RunColumns };

    LogPredictionPage(LogStore& store, const TodaysAir& todaysAir, LogChartsPage& charts,
                      QWidget* parent = nullptr);
    ~LogPredictionPage() override;

    void setUnitSystem(raceday::UnitSystem system);
    // Reads the vehicles again after the log has changed, then update().
    void refresh();

signals:
    void problemChanged(const QString& problem);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Works out the prediction, horsepower and charts when this page or the
    // charts are in view; otherwise only notes that they are due.
    void update();
    void updateIfDue();
    void clearOutputs();
    void showTodaysAir();
    void listRuns(const std::vector<runlog::Run>& runs);
    void showPrediction(const runlog::LogPrediction& prediction);
    // The dial-in by the chosen method; a problem when it cannot be worked out so.
    QString showDialIn(const runlog::LogPrediction& prediction, const raceday::Weather& today);
    void showPower(const std::vector<runlog::RunPower>& powers);
    void useChanged(int row);
    QString speedText(double metresPerSecond) const;

    const QScopedPointer<Ui::LogPredictionPage> ui;
    LogStore& store_;
    const TodaysAir& todaysAir_;
    LogChartsPage& charts_;
    QuantityOutput* predictedSpeed_;
    std::vector<runlog::RunId> excluded_;
    std::vector<runlog::RunId> included_;  // left out as far from the others, taken back
    std::vector<runlog::RunId> listed_;  // the run of each row of the runs table
    bool due_ = false;                   // figures put off while out of view
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
};

}  // namespace moravik::raceday_window
