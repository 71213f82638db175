// Jet for a target: the nitrous jet that adds a given power, and the fuel
// jet, standard jet and Holley number the main window gives for that jet.
#pragma once

#include <QScopedPointer>

#include "section.h"

namespace Ui {
class JetSection;
}

namespace moravik::raceday_window {

class QuantityField;

class JetSection final : public Section {
    Q_OBJECT
public:
    explicit JetSection(QWidget* parent = nullptr);
    ~JetSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;
    void saveSettings(QSettings& settings) const override;
    void loadSettings(QSettings& settings, QStringList& problems) override;

private:
    void update();

    const QScopedPointer<Ui::JetSection> ui;
    QuantityField* targetPower_;
    QuantityField* fuelPressure_;
    QuantityField* bottlePressure_;
};

}  // namespace moravik::raceday_window
