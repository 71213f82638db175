#include "mile_section.h"

#include "moravik/raceday/mile_conversion.h"
#include "qt_text.h"
#include "quantity_field.h"
#include "ui_MileSection.h"

namespace moravik::raceday_window {
namespace {

enum Direction { EighthToQuarter, QuarterToEighth };

constexpr int mileFactorDecimals = 2;

// A factor field: a plain number within the factors' range, nothing while empty.
raceday::Outcome<std::optional<double>> readFactor(QLineEdit* field, const char* name) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) {
        clearProblem(field);
        return std::nullopt;
    }
    const std::string utf8 = text.toStdString();
    const auto parts = raceday::splitQuantity(utf8);
    double value = parts && parts->symbol.empty() ? parts->number : 0;
    if (const auto error = raceday::checkPlausible(value, raceday::Measure::MileFactor, name)) {
        markProblem(field, toQString(error->message));
        return *error;
    }
    clearProblem(field);
    return value;
}

}  // namespace

MileSection::MileSection(QWidget* parent) : Section(parent), ui(new Ui::MileSection) {
    ui->setupUi(this);
    et_ = new QuantityField(ui->et, nullptr, Quantity::Time, QStringLiteral("ET"));
    speed_ =
        new QuantityField(ui->speed, ui->speedUnit, Quantity::Speed, QStringLiteral("trap speed"));
    resultSpeed_ = new QuantityOutput(ui->resultSpeed, ui->resultSpeedUnit, Quantity::Speed,
                                      raceday::quantityInfo(Quantity::Speed).decimals);
    for (QuantityField* field : {et_, speed_}) {
        connect(field, &QuantityField::edited, this, &MileSection::update);
    }
    for (QLineEdit* factor : {ui->etFactor, ui->speedFactor}) {
        connect(factor, &QLineEdit::textChanged, this, &MileSection::update);
    }
    connect(ui->direction, &QComboBox::currentIndexChanged, this, &MileSection::update);
    connect(ui->resetFactors, &QPushButton::clicked, this, &MileSection::resetFactors);
    resetFactors();
}

MileSection::~MileSection() = default;

void MileSection::resetFactors() {
    const raceday::MileFactors rule;
    ui->etFactor->setText(fixedText(rule.et, mileFactorDecimals));
    ui->speedFactor->setText(fixedText(rule.speed, mileFactorDecimals));
}

void MileSection::update() {
    const bool toQuarter = ui->direction->currentIndex() == EighthToQuarter;
    ui->resultEtLabel->setText(toQuarter ? tr("Quarter-mile ET:") : tr("Eighth-mile ET:"));
    ui->resultSpeedLabel->setText(toQuarter ? tr("Quarter-mile trap speed:")
                                            : tr("Eighth-mile trap speed:"));
    // The inputs are of the other length than the results.
    et_->requirePlausible(toQuarter ? raceday::Measure::EighthEt : raceday::Measure::QuarterEt);
    speed_->requirePlausible(toQuarter ? raceday::Measure::EighthSpeed
                                       : raceday::Measure::QuarterSpeed);
    FirstProblem problem;
    const auto etSeconds = et_->readMarked();
    const auto speed = speed_->readMarked();
    const auto etFactor = readFactor(ui->etFactor, "ET factor");
    const auto speedFactor = readFactor(ui->speedFactor, "speed factor");
    for (const auto* value : {&etSeconds, &speed, &etFactor, &speedFactor}) problem.note(*value);
    setProblem(problem.text());
    ui->resultEt->setText(noValue);
    resultSpeed_->clear();
    if (problem.any() || !valueOf(etSeconds) || !valueOf(etFactor) || !valueOf(speedFactor)) {
        return;
    }
    const raceday::MileFactors factors{*valueOf(etFactor), *valueOf(speedFactor)};
    const auto converted =
        toQuarter ? raceday::eighthToQuarter(*valueOf(etSeconds), valueOf(speed), factors)
                  : raceday::quarterToEighth(*valueOf(etSeconds), valueOf(speed), factors);
    const auto& run = std::get<raceday::MileRun>(converted);
    ui->resultEt->setText(
        fixedText(toQuarter ? run.quarterEtSeconds : run.eighthEtSeconds, etDecimals));
    if (const auto result = toQuarter ? run.quarterSpeed : run.eighthSpeed)
        resultSpeed_->show(*result);
}

void MileSection::setUnitSystem(raceday::UnitSystem system) {
    speed_->setUnitSystem(system);
    resultSpeed_->setUnitSystem(system);
}

}  // namespace moravik::raceday_window
