// A typed quantity at the Qt edge: a line edit, the unit chosen beside it, and
// how a problem with it is shown.
//
// A field reads its text with the race-day library: a bare number is in the
// unit chosen beside it, a number with a unit ("86F") in that unit. Changing
// the unit rewrites the text in the new unit and keeps the value exactly, so
// the outputs do not move. An output shows an SI value in its own unit, or "–".
#pragma once

#include <moravik/raceday/error.h>
#include <moravik/raceday/plausible.h>
#include <moravik/raceday/units.h>

#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;
class QWidget;

namespace moravik::raceday_window {

using raceday::Quantity;
using raceday::Unit;
using raceday::UnitSystem;

// What the outputs show while they have no value.
inline const QString noValue = QStringLiteral("–");

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

QString toQString(std::string_view text);

// Marks a field as wrong: the reason in its tooltip and accessible description.
void markProblem(QWidget* field, const QString& reason);
void clearProblem(QWidget* field);
bool hasProblem(const QWidget* field);

// Fills a unit box with the units a quantity accepts.
void fillUnitBox(QComboBox* box, Quantity quantity);
const Unit& unitIn(const QComboBox* box, Quantity quantity);
void selectUnit(QComboBox* box, const Unit& unit);

// A setting's text, or nothing when it is missing, not text or too long;
// `problems` then names the key, unless the key was missing.
std::optional<QString> settingText(const QSettings& settings, const QString& key,
                                   QStringList& problems);

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

// A section's fields kept under the settings' current group by key; problems
// name the full key.
using KeptFields = std::initializer_list<std::pair<const char*, QuantityField*>>;
void saveFields(QSettings& settings, KeptFields fields);
void loadFields(QSettings& settings, KeptFields fields, QStringList& problems);

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

// The value of a field read with readMarked, nothing for an error or an empty field.
inline std::optional<double> valueOf(const raceday::Outcome<std::optional<double>>& outcome) {
    const auto* value = std::get_if<std::optional<double>>(&outcome);
    return value != nullptr ? *value : std::nullopt;
}

// A nitrous jet in inches as typed, ".045" or "0.045 in": nothing while empty,
// or an error with `problem` as its message.
raceday::Outcome<std::optional<double>> readJetInches(const QString& typed, const QString& problem);

// A plain number with the given decimals, locale-independent.
QString fixedText(double value, int decimals);

}  // namespace moravik::raceday_window
