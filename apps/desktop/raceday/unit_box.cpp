#include "unit_box.h"

#include <QComboBox>

#include "qt_text.h"

namespace moravik::raceday_window {

using raceday::Quantity;
using raceday::Unit;
using raceday::UnitSystem;

const Unit* unitNamed(const QString& symbol, Quantity quantity) {
    for (const Unit* unit : raceday::unitChoices(quantity)) {
        if (toQString(unit->symbol) == symbol) return unit;
    }
    return nullptr;
}

void fillUnitBox(QComboBox* box, Quantity quantity) {
    for (const Unit* unit : raceday::unitChoices(quantity)) {
        box->addItem(toQString(raceday::shownSymbol(*unit)), toQString(unit->symbol));
    }
}

const Unit& unitIn(const QComboBox* box, Quantity quantity) {
    const Unit* unit = unitNamed(box->currentData().toString(), quantity);
    return unit != nullptr ? *unit : raceday::displayUnit(quantity, UnitSystem::Imperial);
}

void selectUnit(QComboBox* box, const Unit& unit) {
    box->setCurrentIndex(box->findData(toQString(unit.symbol)));
}

}  // namespace moravik::raceday_window
