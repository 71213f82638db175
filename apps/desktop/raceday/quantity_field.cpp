#include "quantity_field.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QSettings>
#include <QSignalBlocker>
#include <array>
#include <charconv>
#include <cmath>

#include "moravik/raceday/plausible.h"

namespace moravik::raceday_window {
namespace {

using raceday::Error;
using raceday::quantityInfo;

// Enough digits to show a converted value without visible rounding.
constexpr int convertedDigits = 6;

// Below anything a person types: what converting through an offset leaves of
// a zero (32 °F is 5.7e-14 °C, not 0, in doubles).
constexpr double conversionNoise = 1e-9;

QString generalText(double value) {
    if (std::abs(value) < conversionNoise) value = 0;
    std::array<char, 64> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::general, convertedDigits);
    return QString::fromLatin1(digits.data(), result.ptr - digits.data());
}

}  // namespace

double Measured::in(const Unit& other) const {
    if (unit->scale == other.scale && unit->offset == other.offset) return number;
    return raceday::fromSi(si(), other);
}

QuantityField::QuantityField(QLineEdit* edit, QComboBox* unitBox, Quantity quantity, QString name)
    : QObject(edit),
      edit_(edit),
      unitBox_(unitBox),
      quantity_(quantity),
      name_(std::move(name)),
      unit_(&raceday::displayUnit(quantity, UnitSystem::Imperial)) {
    connect(edit_, &QLineEdit::textChanged, this, &QuantityField::edited);
    if (unitBox_ == nullptr) return;
    fillUnitBox(unitBox_, quantity_);
    selectUnit(unitBox_, *unit_);
    connect(unitBox_, &QComboBox::currentIndexChanged, this, &QuantityField::changeUnit);
}

void QuantityField::requirePlausible(raceday::Measure measure) {
    // The range says more than "above 0", and a value too large for a double
    // in SI is out of it too.
    positive_ = false;
    requireRange([measure, name = name_.toStdString()](double si) {
        return raceday::checkPlausible(si, measure, name);
    });
}

QWidget* QuantityField::unitBox() const { return unitBox_; }

const Unit& QuantityField::unit() const { return *unit_; }

Reading QuantityField::read() const {
    const QString text = edit_->text();
    if (text.trimmed().isEmpty()) return std::nullopt;
    if (exact_ && text == exactText_) return exact_;
    const std::string utf8 = text.toStdString();
    const auto parts = raceday::splitQuantity(utf8);
    const Unit* typed = parts && !parts->symbol.empty()
                            ? raceday::findUnit(parts->symbol, quantityInfo(quantity_).dimension)
                            : unit_;
    if (!parts || typed == nullptr) {
        // The library words the message, with the units this quantity accepts.
        return std::get<Error>(
            raceday::parseQuantityIn(utf8, quantity_, *unit_, name_.toStdString()));
    }
    return Measured{parts->number, typed};
}

raceday::Outcome<std::optional<double>> QuantityField::readMarked() {
    const Reading reading = read();
    std::optional<Error> problem;
    if (const Error* error = raceday::errorOf(reading)) problem = *error;
    const auto* measured = std::get_if<std::optional<Measured>>(&reading);
    if (!problem && positive_ && measured->has_value()) {
        problem = raceday::checkPositive((*measured)->si(), name_.toStdString());
    }
    if (!problem && range_ && measured->has_value()) problem = range_((*measured)->si());
    if (problem) {
        markProblem(edit_, toQString(problem->message));
        return *problem;
    }
    clearProblem(edit_);
    if (!measured->has_value()) return std::nullopt;
    return (*measured)->si();
}

void QuantityField::setUnit(const Unit& unit) {
    if (unitBox_ != nullptr) selectUnit(unitBox_, unit);
}

void QuantityField::setUnitSystem(UnitSystem system) {
    setUnit(raceday::displayUnit(quantity_, system));
}

void QuantityField::setText(const QString& text) {
    exact_.reset();
    edit_->setText(text);
}

void QuantityField::setValue(double si) {
    showExactly(Measured{raceday::fromSi(si, *unit_), unit_});
}

void QuantityField::showExactly(const Measured& measured) {
    exact_ = measured;
    exactText_ = generalText(measured.in(*unit_));
    edit_->setText(exactText_);
}

void QuantityField::changeUnit() {
    const Unit& chosen = unitIn(unitBox_, quantity_);
    if (&chosen == unit_) return;
    const Reading reading = read();
    unit_ = &chosen;
    const auto* measured = std::get_if<std::optional<Measured>>(&reading);
    if (measured == nullptr || !*measured) {
        emit edited();  // a bare number now means another value
        return;
    }
    const QSignalBlocker quiet(edit_);
    showExactly(**measured);
    emit edited();
}

void QuantityField::save(QSettings& settings, const QString& key) const {
    settings.setValue(key, edit_->text());
    settings.setValue(key + QStringLiteral("Unit"), toQString(unit_->symbol));
}

void QuantityField::load(const QSettings& settings, const QString& key, QStringList& problems) {
    if (const auto symbol = settingText(settings, key + QStringLiteral("Unit"), problems)) {
        const Unit* unit = unitNamed(*symbol, quantity_);
        if (unit == nullptr) {
            problems.append(key + QStringLiteral("Unit"));
        } else {
            setUnit(*unit);
        }
    }
    if (const auto text = settingText(settings, key, problems)) setText(*text);
}

QuantityOutput::QuantityOutput(QLineEdit* box, QComboBox* unitBox, Quantity quantity, int decimals)
    : QObject(box), box_(box), unitBox_(unitBox), quantity_(quantity), decimals_(decimals) {
    fillUnitBox(unitBox_, quantity_);
    selectUnit(unitBox_, raceday::displayUnit(quantity_, UnitSystem::Imperial));
    connect(unitBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (si_) show(*si_);
    });
    clear();
}

void QuantityOutput::show(double si) {
    si_ = si;
    box_->setText(fixedText(raceday::fromSi(si, unit()), decimals_));
}

void QuantityOutput::clear() {
    si_.reset();
    box_->setText(noValue);
}

void QuantityOutput::setUnitSystem(UnitSystem system) {
    selectUnit(unitBox_, raceday::displayUnit(quantity_, system));
}

const Unit& QuantityOutput::unit() const { return unitIn(unitBox_, quantity_); }

}  // namespace moravik::raceday_window
