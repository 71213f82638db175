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

void clearProblem(QWidget* field) {
    if (!hasProblem(field)) return;
    field->setToolTip({});
    field->setAccessibleDescription({});
    field->setPalette({});
}

bool hasProblem(const QWidget* field) { return !field->toolTip().isEmpty(); }

}  // namespace moravik::raceday_window
