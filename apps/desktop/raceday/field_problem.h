// How a problem with a typed field is shown: marked at the field, and the
// first of a section's problems in the status bar.
#pragma once

#include <QString>

#include "moravik/raceday/error.h"
#include "qt_text.h"

class QWidget;

namespace moravik::raceday_window {

// Marks a field as wrong: the reason in its tooltip and accessible description.
void markProblem(QWidget* field, const QString& reason);
void clearProblem(QWidget* field);

// The widgets of the fields a section's calculation may refuse; the rest stay nullptr.
struct FieldWidgets {
    QWidget* temperature = nullptr;
    QWidget* stationPressure = nullptr;
    QWidget* humidity = nullptr;
    QWidget* dewPoint = nullptr;
    QWidget* targetPower = nullptr;
    QWidget* fuelPressure = nullptr;
    QWidget* bottlePressure = nullptr;
    QWidget* nozzles = nullptr;
};

// Marks the widget of the refused field, if the section shows that field.
void markProblem(raceday::Field field, const FieldWidgets& widgets, const QString& reason);
bool hasProblem(const QWidget* field);

// The first of a section's problems, for the status bar.
class FirstProblem {
public:
    template <typename T>
    void note(const raceday::Outcome<T>& outcome) {
        if (const raceday::Error* error = raceday::errorOf(outcome))
            note(toQString(error->message));
    }
    void note(const QString& problem) {
        if (first_.isEmpty()) first_ = problem;
    }
    const QString& text() const { return first_; }
    bool any() const { return !first_.isEmpty(); }

private:
    QString first_;
};

}  // namespace moravik::raceday_window
