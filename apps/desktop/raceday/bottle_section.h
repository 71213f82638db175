// The nitrous bottle: its pressure for its temperature, or the temperature a
// heater must hold for a pressure, and the fuel jet for today's bottle.
#pragma once

#include <QScopedPointer>

#include "section.h"

namespace Ui {
class BottleSection;
}

class QComboBox;
class QLineEdit;

namespace moravik::raceday_window {

class QuantityField;

class BottleSection final : public Section {
    Q_OBJECT
public:
    explicit BottleSection(QWidget* parent = nullptr);
    ~BottleSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;
    void saveSettings(QSettings& settings) const override;
    void loadSettings(QSettings& settings, QStringList& problems) override;

private:
    void update();
    void showNothing();

    const QScopedPointer<Ui::BottleSection> ui;
    QuantityField* temperature_;
    QuantityField* outsidePressure_;
    QuantityField* fuelPressure_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
};

}  // namespace moravik::raceday_window
