// Today's air: the weather at the strip in, density altitude, density,
// correction factor, relative horsepower and the water in the air out, updated as the user types.
#pragma once

#include <QScopedPointer>
#include <string>
#include <vector>

#include "section.h"

namespace Ui {
class AirSection;
}

namespace moravik::raceday_window {

class QuantityOutput;

// Today's air as the section shows it, a line a figure, for the day sheet.
std::vector<std::string> todaysAirLines(const TodaysAir& today, raceday::UnitSystem system);

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
    QuantityOutput* vapourPressure_;
};

}  // namespace moravik::raceday_window
