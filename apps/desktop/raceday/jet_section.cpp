#include "jet_section.h"

#include <QLineEdit>
#include <QSettings>
#include <algorithm>

#include "moravik/number_reading.h"
#include "moravik/raceday/jet_for_hp.h"
#include "quantity_field.h"
#include "ui_JetSection.h"

namespace moravik::raceday_window {
namespace {

constexpr int exactJetDecimals = 4;

// A result text of the Calculate pass without the blank of its sign.
QString resultText(const ResultTexts& results, SingleResult result) {
    const QString text = toQString(results[resultIndex(result)].view()).trimmed();
    return text.isEmpty() ? noValue : text;
}

}  // namespace

JetSection::JetSection(QWidget* parent) : Section(parent), ui(new Ui::JetSection) {
    ui->setupUi(this);
    targetPower_ = new QuantityField(ui->targetPower, ui->targetPowerUnit, Quantity::Power,
                                     QStringLiteral("target power"));
    targetPower_->requirePlausible(raceday::Measure::Power);
    fuelPressure_ = new QuantityField(ui->fuelPressure, ui->fuelPressureUnit,
                                      Quantity::LinePressure, QStringLiteral("fuel pressure"));
    bottlePressure_ = new QuantityField(ui->bottlePressure, ui->bottlePressureUnit,
                                        Quantity::LinePressure, QStringLiteral("bottle pressure"));
    // The main window's initial texts, in psi as it reads them.
    const InputTexts initial;
    fuelPressure_->setText(toQString(initial.flp));
    bottlePressure_->setText(toQString(initial.nbp));
    for (const QuantityField* field : {targetPower_, fuelPressure_, bottlePressure_}) {
        connect(field, &QuantityField::edited, this, &JetSection::update);
    }
    // The label follows the target's unit; room for the widest, so "kW" is not clipped.
    int widest = 0;
    for (const Unit* unit : raceday::unitChoices(Quantity::Power)) {
        widest = std::max(widest, ui->addedPowerUnit->fontMetrics().horizontalAdvance(
                                      toQString(raceday::shownSymbol(*unit))));
    }
    ui->addedPowerUnit->setMinimumWidth(widest);
    connect(ui->nozzles, &QSpinBox::valueChanged, this, &JetSection::update);
    // Its editor too: an emptied box keeps its last value and tells no one.
    connect(ui->nozzles->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
            &JetSection::update);
    update();
}

JetSection::~JetSection() = default;

void JetSection::update() {
    QLineEdit* const outputs[] = {ui->nitrousJet,  ui->exactJet,     ui->fuelJet,
                                  ui->standardJet, ui->holleyNumber, ui->addedPower};
    for (QLineEdit* box : outputs) box->setText(noValue);
    FirstProblem problem;
    const auto watts = targetPower_->readMarked();
    const auto fuel = fuelPressure_->readMarked();
    const auto bottle = bottlePressure_->readMarked();
    for (const auto* value : {&watts, &fuel, &bottle}) problem.note(*value);
    clearProblem(ui->nozzles);
    const auto nozzles = raceday::readWholeNumber(ui->nozzles->cleanText().trimmed().toStdString(),
                                                  ui->nozzles->minimum(), ui->nozzles->maximum());
    if (const auto* error = raceday::errorOf(nozzles)) {
        const QString reason = "nozzles: " + toQString(error->message);
        markProblem(ui->nozzles, reason);
        problem.note(reason);
    }
    if (problem.any() || !valueOf(watts)) {
        setProblem(problem.text());
        return;
    }
    const auto jet = raceday::jetForPower(*valueOf(watts), {.fuelPressure = valueOf(fuel),
                                                            .bottlePressure = valueOf(bottle),
                                                            .nozzles = ui->nozzles->value()});
    if (const raceday::Error* error = raceday::errorOf(jet)) {
        markProblem(error->field,
                    {.targetPower = ui->targetPower,
                     .fuelPressure = ui->fuelPressure,
                     .bottlePressure = ui->bottlePressure,
                     .nozzles = ui->nozzles},
                    toQString(error->message));
        setProblem(toQString(error->message));
        return;
    }
    setProblem({});
    const auto& found = std::get<raceday::JetForPower>(jet);
    ui->nitrousJet->setText(toQString(found.inputs.njt));
    ui->exactJet->setText(fixedText(found.exactJetInches, exactJetDecimals));
    ui->fuelJet->setText(resultText(found.results, SingleResult::FuelJet));
    ui->standardJet->setText(resultText(found.results, SingleResult::StandardJet));
    ui->holleyNumber->setText(resultText(found.results, SingleResult::HolleyJet));
    // The pass gives hp to seven decimals; shown in the target's unit as the
    // other powers are.
    const Unit& unit = targetPower_->unit();
    ui->addedPowerUnit->setText(toQString(raceday::shownSymbol(unit)));
    const auto hp =
        moravik::readNumber(resultText(found.results, SingleResult::NitrousHp).toStdString());
    ui->addedPower->setText(hp ? fixedText(raceday::fromSi(*hp * raceday::wattsPerHorsepower, unit),
                                           raceday::quantityInfo(Quantity::Power).decimals)
                               : noValue);
}

void JetSection::setUnitSystem(raceday::UnitSystem system) {
    targetPower_->setUnitSystem(system);
    fuelPressure_->setUnitSystem(system);
    bottlePressure_->setUnitSystem(system);
}

void JetSection::saveSettings(QSettings& settings) const {
    saveFields(settings, {{"targetPower", targetPower_},
                          {"fuelPressure", fuelPressure_},
                          {"bottlePressure", bottlePressure_}});
}

void JetSection::loadSettings(QSettings& settings, QStringList& problems) {
    loadFields(settings,
               {{"targetPower", targetPower_},
                {"fuelPressure", fuelPressure_},
                {"bottlePressure", bottlePressure_}},
               problems);
}

}  // namespace moravik::raceday_window
