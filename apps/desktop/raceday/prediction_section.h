// Prediction: a baseline run carried from its own air to today's air.
#pragma once

#include <QScopedPointer>

#include "section.h"

namespace Ui {
class PredictionSection;
}

namespace moravik::raceday_window {

class QuantityField;
class QuantityOutput;

class PredictionSection final : public Section {
    Q_OBJECT
public:
    PredictionSection(const TodaysAir& todaysAir, QWidget* parent = nullptr);
    ~PredictionSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;
    void saveSettings(QSettings& settings) const override;
    void loadSettings(QSettings& settings, QStringList& problems) override;

private:
    void update();
    void showTodaysAir();
    void clearOutputs();

    const QScopedPointer<Ui::PredictionSection> ui;
    const TodaysAir& todaysAir_;
    QuantityField* baselineEt_;
    QuantityField* baselineSpeed_;
    QuantityOutput* predictedSpeed_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
};

}  // namespace moravik::raceday_window
