#include "horsepower_section.h"

#include <QHeaderView>
#include <QSettings>

#include "quantity_field.h"
#include "ui_HorsepowerSection.h"

namespace moravik::raceday_window {
namespace {

// The table's columns: power from the ET and from the trap speed, then both
// corrected to the standard.
enum PowerColumn { FromEt, FromSpeed, FromEtCorrected, FromSpeedCorrected, powerColumnCount };

using raceday::FormulaValues;

std::optional<FormulaValues> corrected(const std::optional<FormulaValues>& watts,
                                       std::optional<double> factor) {
    if (!watts || !factor) return std::nullopt;
    FormulaValues values = *watts;
    for (double& value : values) value = raceday::correctedPower(value, *factor);
    return values;
}

}  // namespace

HorsepowerSection::HorsepowerSection(const TodaysAir& todaysAir, QWidget* parent)
    : Section(parent), ui(new Ui::HorsepowerSection), todaysAir_(todaysAir) {
    ui->setupUi(this);
    weight_ =
        new QuantityField(ui->weight, ui->weightUnit, Quantity::Weight, QStringLiteral("weight"));
    et_ = new QuantityField(ui->et, nullptr, Quantity::Time, QStringLiteral("ET"));
    speed_ =
        new QuantityField(ui->speed, ui->speedUnit, Quantity::Speed, QStringLiteral("trap speed"));
    // The formulas are for the quarter mile.
    weight_->requirePlausible(raceday::Measure::Weight);
    et_->requirePlausible(raceday::Measure::QuarterEt);
    speed_->requirePlausible(raceday::Measure::QuarterSpeed);
    for (QuantityField* field : {weight_, et_, speed_}) {
        connect(field, &QuantityField::edited, this, &HorsepowerSection::update);
    }
    fillUnitBox(ui->powerUnit, Quantity::Power);
    ui->runAir->setEnabled(false);
    connect(ui->correctWithAir, &QCheckBox::toggled, this, [this](bool on) {
        ui->runAir->setEnabled(on);
        update();
    });
    connect(ui->runAir, &AirInput::edited, this, &HorsepowerSection::update);
    connect(ui->powerUnit, &QComboBox::currentIndexChanged, this, &HorsepowerSection::update);
    connect(&todaysAir_, &TodaysAir::changed, this, &HorsepowerSection::update);

    ui->powerTable->setRowCount(static_cast<int>(formulaCount));
    ui->powerTable->setColumnCount(powerColumnCount);
    for (const FormulaConstants& formula : formulaTable) {
        const int row = static_cast<int>(formula.formula);
        ui->powerTable->setVerticalHeaderItem(row, new QTableWidgetItem(toQString(formula.name)));
        for (int column = 0; column < powerColumnCount; ++column) {
            auto* item = new QTableWidgetItem(noValue);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            ui->powerTable->setItem(row, column, item);
        }
    }
    ui->powerTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->powerTable->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui->powerTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    update();
}

HorsepowerSection::~HorsepowerSection() = default;

void HorsepowerSection::showColumn(int column, const std::optional<FormulaValues>& watts) {
    const Unit& unit = unitIn(ui->powerUnit, Quantity::Power);
    const int decimals = raceday::quantityInfo(Quantity::Power).decimals;
    for (std::size_t row = 0; row < formulaCount; ++row) {
        ui->powerTable->item(static_cast<int>(row), column)
            ->setText(watts ? fixedText(raceday::fromSi((*watts)[row], unit), decimals) : noValue);
    }
}

void HorsepowerSection::update() {
    const QString standard = toQString(raceday::standardName(todaysAir_.standard()).title);
    // The standard on a line of its own, so a narrow window clips neither
    // column to the same "…SAE J1349 (1990)".
    ui->powerTable->setHorizontalHeaderLabels({tr("From ET"), tr("From trap speed"),
                                               tr("From ET,\n%1").arg(standard),
                                               tr("From trap speed,\n%1").arg(standard)});

    FirstProblem problem;
    const auto massKg = weight_->readMarked();
    const auto etSeconds = et_->readMarked();
    const auto speed = speed_->readMarked();
    for (const auto* value : {&massKg, &etSeconds, &speed}) problem.note(*value);
    std::optional<double> factor;
    if (ui->correctWithAir->isChecked()) {
        const AirReading air = ui->runAir->read();
        problem.note(air.problem);
        if (air.air) factor = raceday::correctionFactor(todaysAir_.standard(), *air.air);
    }
    // A slip typed without the weight would leave every figure "–" unexplained.
    if (!valueOf(massKg) && (valueOf(etSeconds) || valueOf(speed)))
        problem.note(tr("Enter the weight with driver to see the horsepower."));
    setProblem(problem.text());

    std::optional<FormulaValues> fromEt;
    std::optional<FormulaValues> fromSpeed;
    if (valueOf(massKg) && valueOf(etSeconds)) {
        fromEt = std::get<FormulaValues>(
            raceday::solvePowerFromEt(*valueOf(etSeconds), *valueOf(massKg)));
    }
    if (valueOf(massKg) && valueOf(speed)) {
        fromSpeed = std::get<FormulaValues>(
            raceday::solvePowerFromSpeed(*valueOf(speed), *valueOf(massKg)));
    }
    if (problem.any()) fromEt = fromSpeed = std::nullopt;
    showColumn(FromEt, fromEt);
    showColumn(FromSpeed, fromSpeed);
    showColumn(FromEtCorrected, corrected(fromEt, factor));
    showColumn(FromSpeedCorrected, corrected(fromSpeed, factor));
}

void HorsepowerSection::setUnitSystem(raceday::UnitSystem system) {
    weight_->setUnitSystem(system);
    speed_->setUnitSystem(system);
    ui->runAir->setUnitSystem(system);
    selectUnit(ui->powerUnit, raceday::displayUnit(Quantity::Power, system));
}

void HorsepowerSection::saveSettings(QSettings& settings) const {
    saveFields(settings, {{"weight", weight_}, {"et", et_}, {"speed", speed_}});
}

void HorsepowerSection::loadSettings(QSettings& settings, QStringList& problems) {
    loadFields(settings, {{"weight", weight_}, {"et", et_}, {"speed", speed_}}, problems);
}

}  // namespace moravik::raceday_window
