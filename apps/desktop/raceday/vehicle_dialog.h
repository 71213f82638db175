// A vehicle added or edited: its name, the seven inputs of the Moravik window
// kept exactly as typed, and notes. OK saves it as RunDialog saves a run.
#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <functional>

#include "moravik/runlog/run_log.h"

namespace Ui {
class VehicleDialog;
}

namespace moravik::raceday_window {

class VehicleDialog final : public QDialog {
    Q_OBJECT
public:
    using Save = std::function<runlog::LogStatus(const runlog::Vehicle&)>;

    explicit VehicleDialog(Save save, QWidget* parent = nullptr);
    ~VehicleDialog() override;

    void setVehicle(const runlog::Vehicle& vehicle);

    void accept() override;

private:
    const QScopedPointer<Ui::VehicleDialog> ui;
    Save save_;
    runlog::VehicleId id_ = 0;
};

}  // namespace moravik::raceday_window
