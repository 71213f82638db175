// Horsepower from a time slip: weight with ET or trap speed, by the four
// formulas, and corrected to standard air when the run's air is given.
#pragma once

#include <QScopedPointer>

#include "moravik/raceday/quarter_mile_solver.h"
#include "section.h"

namespace Ui {
class HorsepowerSection;
}

namespace moravik::raceday_window {

class QuantityField;

class HorsepowerSection final : public Section {
    Q_OBJECT
public:
    HorsepowerSection(const TodaysAir& todaysAir, QWidget* parent = nullptr);
    ~HorsepowerSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;
    void saveSettings(QSettings& settings) const override;
    void loadSettings(QSettings& settings, QStringList& problems) override;

private:
    void update();
    void showColumn(int column, const std::optional<raceday::FormulaValues>& watts);

    const QScopedPointer<Ui::HorsepowerSection> ui;
    const TodaysAir& todaysAir_;
    QuantityField* weight_;
    QuantityField* et_;
    QuantityField* speed_;
};

}  // namespace moravik::raceday_window
