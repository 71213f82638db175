#include "vehicle_dialog.h"

#include <QLineEdit>

#include "moravik/tracks.h"
#include "ui_VehicleDialog.h"

namespace moravik::raceday_window {
namespace {

QString qText(const std::string& text) { return QString::fromStdString(text); }
std::string stdText(const QString& text) { return text.toStdString(); }

}  // namespace

VehicleDialog::VehicleDialog(Save save, QWidget* parent)
    : QDialog(parent), ui(new Ui::VehicleDialog), save_(std::move(save)) {
    ui->setupUi(this);
    setWindowTitle(tr("Add a vehicle"));
    ui->track->addItem(QString());
    for (const std::string_view entry : trackEntries()) {
        ui->track->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    setVehicle({});
    id_ = 0;
    ui->problem->hide();
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &VehicleDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &VehicleDialog::reject);
}

VehicleDialog::~VehicleDialog() = default;

void VehicleDialog::setVehicle(const runlog::Vehicle& vehicle) {
    if (vehicle.id != 0) setWindowTitle(tr("Edit the vehicle"));
    id_ = vehicle.id;
    ui->name->setText(qText(vehicle.name));
    ui->nitrousJet->setText(qText(vehicle.inputs.njt));
    ui->fuelPressure->setText(qText(vehicle.inputs.flp));
    ui->bottlePressure->setText(qText(vehicle.inputs.nbp));
    ui->nozzles->setText(qText(vehicle.inputs.jtn));
    ui->horsepower->setText(qText(vehicle.inputs.draghp));
    ui->weight->setText(qText(vehicle.inputs.vweight));
    // A track text that is no entry of the list (from an import) is kept as it is.
    const QString track = qText(vehicle.inputs.altitudeDD);
    if (ui->track->findText(track) < 0) ui->track->addItem(track);
    ui->track->setCurrentIndex(ui->track->findText(track));
    ui->notes->setPlainText(qText(vehicle.notes));
}

void VehicleDialog::accept() {
    runlog::Vehicle vehicle;
    vehicle.id = id_;
    vehicle.name = stdText(ui->name->text().trimmed());
    vehicle.inputs.njt = stdText(ui->nitrousJet->text());
    vehicle.inputs.flp = stdText(ui->fuelPressure->text());
    vehicle.inputs.nbp = stdText(ui->bottlePressure->text());
    vehicle.inputs.jtn = stdText(ui->nozzles->text());
    vehicle.inputs.draghp = stdText(ui->horsepower->text());
    vehicle.inputs.vweight = stdText(ui->weight->text());
    vehicle.inputs.altitudeDD = stdText(ui->track->currentText());
    vehicle.notes = stdText(ui->notes->toPlainText());
    auto failed = runlog::checkVehicle(vehicle);
    if (!failed) failed = save_(vehicle);
    if (failed) {
        ui->problem->setText(qText(failed->message));
        ui->problem->show();
        return;
    }
    QDialog::accept();
}

}  // namespace moravik::raceday_window
