// A typed quantity at the Qt edge: a line edit, the unit chosen beside it, and
// how a problem with it is shown (field_problem.h).
//
// A field reads its text with the race-day library: a bare number is in the
// unit chosen beside it, a number with a unit ("86F") in that unit. Changing
// the unit rewrites the text in the new unit and keeps the value exactly, so
// the outputs do not move. An output shows an SI value in its own unit, or "–".
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>

#include "field_problem.h"
#include "kept_settings.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/plausible.h"
#include "moravik/raceday/units.h"
#include "qt_text.h"
#include "unit_box.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;
class QWidget;

namespace moravik::raceday_window {

using raceday::Quantity;
using raceday::Unit;
using raceday::UnitSystem;

// A number as typed and the unit it was typed in.
struct Measured {
    double number;
    const Unit* unit;

    double si() const { return raceday::toSi(number, *unit); }
    // The number itself when `other` is its unit, so "210" hp stays 210 exactly.
    double in(const Unit& other) const;
};

// An input that is read: a value, nothing while the field is empty, or why not.
using Reading = raceday::Outcome<std::optional<Measured>>;

class QuantityField final : public QObject {
    Q_OBJECT
public:
    // `name` starts the messages: "temperature: ...". Without a unit box the
    // field is always in the quantity's display unit.
    QuantityField(QLineEdit* edit, QComboBox* unitBox, Quantity quantity, QString name);

    QLineEdit* edit() const { return edit_; }
    QWidget* unitBox() const;
    const Unit& unit() const;

    // Values of zero and below become problems: times, speeds, weights, powers.
    void requirePositive() { positive_ = true; }
    // Values outside the race-day library's range for `measure` become
    // problems that name the range.
    void requirePlausible(raceday::Measure measure);
    // Any other range: the problem with an SI value, nothing when it is in.
    using RangeCheck = std::function<std::optional<raceday::Error>(double si)>;
    void requireRange(RangeCheck check) { range_ = std::move(check); }

    Reading read() const;
    // Nothing while empty, the SI value, or the problem, marked at the field.
    raceday::Outcome<std::optional<double>> readMarked();

    void setUnit(const Unit& unit);
    void setUnitSystem(UnitSystem system);
    void setText(const QString& text);
    // Shows an SI value in the field's unit and keeps it exactly.
    void setValue(double si);

    void save(QSettings& settings, const QString& key) const;
    void load(const QSettings& settings, const QString& key, QStringList& problems);

signals:
    void edited();

private:
    void changeUnit();
    void showExactly(const Measured& measured);

    QLineEdit* edit_;
    QComboBox* unitBox_;
    Quantity quantity_;
    QString name_;
    bool positive_ = false;
    RangeCheck range_;
    const Unit* unit_;
    // The value behind a text this field wrote itself after a unit change.
    QString exactText_;
    std::optional<Measured> exact_;
};

// A read-only box that shows an SI value in the unit chosen beside it.
class QuantityOutput final : public QObject {
    Q_OBJECT
public:
    QuantityOutput(QLineEdit* box, QComboBox* unitBox, Quantity quantity, int decimals);

    void show(double si);
    void clear();
    void setUnitSystem(UnitSystem system);
    const Unit& unit() const;

private:
    QLineEdit* box_;
    QComboBox* unitBox_;
    Quantity quantity_;
    int decimals_;
    std::optional<double> si_;
};

// The value of a field read with readMarked, nothing for an error or an empty field.
inline std::optional<double> valueOf(const raceday::Outcome<std::optional<double>>& outcome) {
    const auto* value = std::get_if<std::optional<double>>(&outcome);
    return value != nullptr ? *value : std::nullopt;
}

}  // namespace moravik::raceday_window
