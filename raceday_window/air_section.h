// Today's air: the weather at the strip in, density altitude, density,
// correction factor and relative horsepower out, updated as the user types.
#pragma once

#include <QScopedPointer>

#include "section.h"

namespace Ui {
class AirSection;
}

namespace moravik::raceday_window {

class QuantityOutput;

class AirSection final : public Section {
    Q_OBJECT
public:
    AirSection(TodaysAir& todaysAir, QWidget* parent = nullptr);
    ~AirSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;
    void saveSettings(QSettings& settings) const override;
    void loadSettings(QSettings& settings, QStringList& problems) override;

private:
    void update();
    raceday::Standard standard() const;

    const QScopedPointer<Ui::AirSection> ui;
    TodaysAir& todaysAir_;
    QuantityOutput* densityAltitude_;
    QuantityOutput* nwsDensityAltitude_;
};

}  // namespace moravik::raceday_window
