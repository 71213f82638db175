#include "field_problem.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace moravik::raceday_window {
namespace {

const QColor problemBackground(255, 220, 220);

}  // namespace

void markProblem(QWidget* field, const QString& reason) {
    field->setToolTip(reason);
    field->setAccessibleDescription(reason);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, problemBackground);
    field->setPalette(palette);
}

void markProblem(raceday::Field field, const FieldWidgets& widgets, const QString& reason) {
    using raceday::Field;
    QWidget* widget = nullptr;
    switch (field) {
        case Field::Temperature:
            widget = widgets.temperature;
            break;
        case Field::StationPressure:
            widget = widgets.stationPressure;
            break;
        case Field::Humidity:
            widget = widgets.humidity;
            break;
        case Field::DewPoint:
            widget = widgets.dewPoint;
            break;
        case Field::TargetPower:
            widget = widgets.targetPower;
            break;
        case Field::FuelPressure:
            widget = widgets.fuelPressure;
            break;
        case Field::BottlePressure:
            widget = widgets.bottlePressure;
            break;
        case Field::Nozzles:
            widget = widgets.nozzles;
            break;
        // Refused where the window reads them, or by calculations whose sections mark
        // their own fields before asking.
        case Field::Labelled:
        case Field::Weight:
        case Field::Power:
        case Field::Et:
        case Field::Speed:
        case Field::EtFactor:
        case Field::SpeedFactor:
        case Field::JetRange:
        case Field::Runs:
            break;
    }
    if (widget != nullptr) markProblem(widget, reason);
}

void clearProblem(QWidget* field) {
    if (!hasProblem(field)) return;
    field->setToolTip({});
    field->setAccessibleDescription({});
    field->setPalette({});
}

bool hasProblem(const QWidget* field) { return !field->toolTip().isEmpty(); }

}  // namespace moravik::raceday_window
