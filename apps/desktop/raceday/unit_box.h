// A box beside a field or an output that chooses the unit of its number.
#pragma once

#include "moravik/raceday/units.h"

class QComboBox;
class QString;

namespace moravik::raceday_window {

// Fills a unit box with the units a quantity accepts.
void fillUnitBox(QComboBox* box, raceday::Quantity quantity);
// The unit chosen, the quantity's imperial unit while none is.
const raceday::Unit& unitIn(const QComboBox* box, raceday::Quantity quantity);
void selectUnit(QComboBox* box, const raceday::Unit& unit);
// The unit of the quantity whose symbol this is, or nullptr.
const raceday::Unit* unitNamed(const QString& symbol, raceday::Quantity quantity);

}  // namespace moravik::raceday_window
