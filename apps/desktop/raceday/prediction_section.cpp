#include "prediction_section.h"

#include <QSettings>

#include "moravik/raceday/prediction.h"
#include "qt_text.h"
#include "quantity_field.h"
#include "ui_PredictionSection.h"

namespace moravik::raceday_window {
namespace {

constexpr int multiplierDecimals = 5;

}  // namespace

PredictionSection::PredictionSection(const TodaysAir& todaysAir, QWidget* parent)
    : Section(parent), ui(new Ui::PredictionSection), todaysAir_(todaysAir) {
    ui->setupUi(this);
    baselineEt_ =
        new QuantityField(ui->baselineEt, nullptr, Quantity::Time, QStringLiteral("baseline ET"));
    baselineSpeed_ = new QuantityField(ui->baselineSpeed, ui->baselineSpeedUnit, Quantity::Speed,
                                       QStringLiteral("baseline trap speed"));
    predictedSpeed_ =
        new QuantityOutput(ui->predictedSpeed, ui->predictedSpeedUnit, Quantity::Speed,
                           raceday::quantityInfo(Quantity::Speed).decimals);
    baselineEt_->requirePlausible(raceday::Measure::RunEt);
    baselineSpeed_->requirePlausible(raceday::Measure::RunSpeed);
    for (QuantityField* field : {baselineEt_, baselineSpeed_}) {
        connect(field, &QuantityField::edited, this, &PredictionSection::update);
    }
    connect(ui->baselineAir, &AirInput::edited, this, &PredictionSection::update);
    connect(&todaysAir_, &TodaysAir::changed, this, &PredictionSection::update);
    update();
}

PredictionSection::~PredictionSection() = default;

void PredictionSection::clearOutputs() {
    for (QLineEdit* box :
         {ui->predictedEt, ui->baselineFactor, ui->todaysFactor, ui->etMultiplier}) {
        box->setText(noValue);
    }
    predictedSpeed_->clear();
}

void PredictionSection::showTodaysAir() {
    const auto air = todaysAir_.air();
    const QString standard = toQString(raceday::standardName(todaysAir_.standard()).title);
    if (!air) {
        ui->todaysAirSummary->setText(
            tr("Today's air is not complete yet: enter it in the Today's air section."));
        return;
    }
    ui->todaysAirSummary->setText(
        tr("From the Today's air section: density altitude %1, corrected to %2.")
            .arg(toQString(raceday::displayText(air->densityAltitudeMetres, Quantity::Elevation,
                                                system_)),
                 standard));
}

void PredictionSection::update() {
    showTodaysAir();
    FirstProblem problem;
    const auto etSeconds = baselineEt_->readMarked();
    const auto metresPerSecond = baselineSpeed_->readMarked();
    const AirReading baselineAir = ui->baselineAir->read();
    problem.note(etSeconds);
    problem.note(metresPerSecond);
    problem.note(baselineAir.problem);
    setProblem(problem.text());
    clearOutputs();
    const auto todaysAir = todaysAir_.air();
    if (problem.any() || !valueOf(etSeconds) || !baselineAir.air || !todaysAir) return;

    const raceday::Standard standard = todaysAir_.standard();
    const raceday::QuarterMileRun then{*valueOf(etSeconds), valueOf(metresPerSecond).value_or(1)};
    const raceday::PredictedRun now =
        raceday::predictRun(then, standard, *baselineAir.air, *todaysAir);
    ui->predictedEt->setText(fixedText(now.etSeconds, etDecimals));
    if (valueOf(metresPerSecond)) predictedSpeed_->show(now.speed);
    ui->baselineFactor->setText(toQString(raceday::factorText(now.factorThen)));
    ui->todaysFactor->setText(toQString(raceday::factorText(now.factorNow)));
    ui->etMultiplier->setText(fixedText(now.etMultiplier, multiplierDecimals));
}

void PredictionSection::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    baselineSpeed_->setUnitSystem(system);
    ui->baselineAir->setUnitSystem(system);
    predictedSpeed_->setUnitSystem(system);
    showTodaysAir();
}

void PredictionSection::saveSettings(QSettings& settings) const {
    saveFields(settings, {{"baselineEt", baselineEt_}, {"baselineSpeed", baselineSpeed_}});
    settings.beginGroup(QStringLiteral("baselineAir"));
    ui->baselineAir->save(settings);
    settings.endGroup();
}

void PredictionSection::loadSettings(QSettings& settings, QStringList& problems) {
    loadFields(settings, {{"baselineEt", baselineEt_}, {"baselineSpeed", baselineSpeed_}},
               problems);
    settings.beginGroup(QStringLiteral("baselineAir"));
    ui->baselineAir->load(settings, problems);
    settings.endGroup();
}

}  // namespace moravik::raceday_window
