// Eighth mile to quarter mile and back by the racers' factors, which the user
// may change.
#pragma once

#include <QScopedPointer>

#include "section.h"

namespace Ui {
class MileSection;
}

namespace moravik::raceday_window {

class QuantityField;
class QuantityOutput;

class MileSection final : public Section {
    Q_OBJECT
public:
    explicit MileSection(QWidget* parent = nullptr);
    ~MileSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;

private:
    void resetFactors();
    void update();

    const QScopedPointer<Ui::MileSection> ui;
    QuantityField* et_;
    QuantityField* speed_;
    QuantityOutput* resultSpeed_;
};

}  // namespace moravik::raceday_window
