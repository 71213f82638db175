#include "run_dialog.h"

#include <QPushButton>

#include "log_qt.h"
#include "moravik/raceday/units.h"
#include "moravik/runlog/prediction.h"
#include "moravik/tracks.h"
#include "ui_RunDialog.h"

namespace moravik::raceday_window {
namespace {

void setOptional(QuantityField* field, const std::optional<double>& si) {
    if (si) {
        field->setValue(*si);
    } else {
        field->setText({});
    }
}

}  // namespace

RunDialog::RunDialog(const std::vector<runlog::Vehicle>& vehicles,
                     const std::vector<runlog::RunLog::KnownStrip>& strips, UnitSystem system,
                     Save save, QWidget* parent)
    : QDialog(parent), ui(new Ui::RunDialog), save_(std::move(save)) {
    ui->setupUi(this);
    setWindowTitle(tr("Add a run"));
    for (const runlog::Vehicle& vehicle : vehicles)
        ui->vehicle->addItem(qtText(vehicle.name), QVariant::fromValue<qint64>(vehicle.id));
    // The form shows hours and minutes: a new run stores just what it shows.
    const QDateTime now = QDateTime::currentDateTime();
    ui->when->setDateTime(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));
    stripElevation_ = new QuantityField(ui->stripElevation, ui->stripElevationUnit,
                                        Quantity::Elevation, QStringLiteral("strip elevation"));
    et_ = new QuantityField(ui->et, nullptr, Quantity::Time, QStringLiteral("ET"));
    speed_ =
        new QuantityField(ui->speed, ui->speedUnit, Quantity::Speed, QStringLiteral("trap speed"));
    sixtyFoot_ = new QuantityField(ui->sixtyFoot, nullptr, Quantity::Time, QStringLiteral("60 ft"));
    threeThirtyFoot_ =
        new QuantityField(ui->threeThirtyFoot, nullptr, Quantity::Time, QStringLiteral("330 ft"));
    eighthEt_ =
        new QuantityField(ui->eighthEt, nullptr, Quantity::Time, QStringLiteral("eighth-mile ET"));
    eighthSpeed_ = new QuantityField(ui->eighthSpeed, ui->eighthSpeedUnit, Quantity::Speed,
                                     QStringLiteral("eighth-mile speed"));
    for (QuantityField* field :
         {stripElevation_, et_, speed_, sixtyFoot_, threeThirtyFoot_, eighthEt_, eighthSpeed_}) {
        field->setUnitSystem(system);
        if (field != stripElevation_) field->requirePositive();
    }
    listStrips(strips, system);
    ui->strip->setCurrentIndex(-1);
    // Only a pick fills in the elevation: a run being edited keeps its own.
    connect(ui->strip, &QComboBox::activated, this, &RunDialog::stripPicked);
    ui->runAir->setUnitSystem(system);
    ui->runAir->setStandardDay();
    ui->runAir->offerMetar();
    ui->problem->hide();
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &RunDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &RunDialog::reject);
}

RunDialog::~RunDialog() = default;

// The racer's own strips are the log's: each run keeps its strip and elevation, so a strip
// typed once is listed from its first saved run on, with the elevation last given there, and
// travels with the log to another computer. A list of its own in the settings would repeat
// what the log holds and could disagree with it.
void RunDialog::listStrips(const std::vector<runlog::RunLog::KnownStrip>& strips,
                           UnitSystem system) {
    const auto add = [this, system](const QString& name, std::optional<double> metres) {
        if (ui->strip->findText(name, Qt::MatchFixedString) >= 0) return;
        ui->strip->addItem(name, metres ? QVariant(*metres) : QVariant());
        if (metres) {
            ui->strip->setItemData(
                ui->strip->count() - 1,
                toQString(raceday::displayText(*metres, Quantity::Elevation, system)),
                Qt::ToolTipRole);
        }
    };
    for (const auto& strip : strips) add(qtText(strip.name), strip.elevationMetres);
    for (const TrackStrip& strip : trackStrips()) {
        add(toQString(strip.name), strip.elevationFeet * raceday::metresPerFoot);
    }
}

void RunDialog::stripPicked(int index) {
    const QVariant metres = ui->strip->itemData(index);
    if (!metres.isValid()) return;
    stripElevation_->setValue(metres.toDouble());
    ui->runAir->setElevation(metres.toDouble());
}

void RunDialog::setWeather(const raceday::Weather& weather) { ui->runAir->setWeather(weather); }

void RunDialog::setRun(const runlog::Run& run) {
    setWindowTitle(tr("Edit the run"));
    id_ = run.id;
    ui->vehicle->setCurrentIndex(ui->vehicle->findData(QVariant::fromValue<qint64>(run.vehicleId)));
    ui->when->setDateTime(qtDateTime(run.when).toLocalTime());
    ui->strip->setCurrentText(qtText(run.strip));
    setOptional(stripElevation_, run.stripElevationMetres);
    ui->lane->setText(qtText(run.lane));
    et_->setValue(run.etSeconds);
    speed_->setValue(run.speed);
    setOptional(sixtyFoot_, run.sixtyFootSeconds);
    setOptional(threeThirtyFoot_, run.threeThirtyFootSeconds);
    setOptional(eighthEt_, run.eighthEtSeconds);
    setOptional(eighthSpeed_, run.eighthSpeed);
    ui->nitrousJet->setText(run.nitrousJetInches ? fixedText(*run.nitrousJetInches, 3) : QString());
    ui->runAir->setWeather(run.air);
    ui->notes->setPlainText(qtText(run.notes));
}

std::optional<runlog::Run> RunDialog::readRun() {
    FirstProblem problem;
    runlog::Run run;
    run.id = id_;
    run.vehicleId = ui->vehicle->currentData().toLongLong();
    if (ui->vehicle->currentIndex() < 0) problem.note(tr("vehicle: add a vehicle first"));
    run.when = plainMoment(ui->when->dateTime());
    run.strip = plainText(ui->strip->currentText().trimmed());
    run.lane = plainText(ui->lane->text().trimmed());
    run.notes = plainText(ui->notes->toPlainText());
    const auto read = [&problem](QuantityField* field) {
        const auto value = field->readMarked();
        problem.note(value);
        return valueOf(value);
    };
    run.stripElevationMetres = read(stripElevation_);
    run.etSeconds = read(et_).value_or(0);
    run.speed = read(speed_).value_or(0);
    run.sixtyFootSeconds = read(sixtyFoot_);
    run.threeThirtyFootSeconds = read(threeThirtyFoot_);
    run.eighthEtSeconds = read(eighthEt_);
    run.eighthSpeed = read(eighthSpeed_);
    auto jet = runlog::readNitrousJet(ui->nitrousJet->text().trimmed().toStdString());
    if (auto* error = std::get_if<raceday::Error>(&jet))
        error->message = "nitrous jet: " + error->message;
    problem.note(jet);
    if (const auto* inches = std::get_if<std::optional<double>>(&jet)) {
        run.nitrousJetInches = *inches;
    }
    const AirReading air = ui->runAir->read();
    problem.note(air.problem);
    if (!problem.any() && !air.weather) problem.note(tr("the run's air is not complete"));
    if (air.weather) run.air = *air.weather;
    if (!problem.any()) {
        if (const auto refused = runlog::checkRun(run)) problem.note(qtText(refused->message));
    }
    ui->problem->setText(problem.text());
    ui->problem->setVisible(problem.any());
    if (problem.any()) return std::nullopt;
    return run;
}

void RunDialog::accept() {
    const auto run = readRun();
    if (!run) return;
    if (const auto failed = save_(*run)) {
        ui->problem->setText(qtText(failed->message));
        ui->problem->show();
        return;
    }
    QDialog::accept();
}

}  // namespace moravik::raceday_window
