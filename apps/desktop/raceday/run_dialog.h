// A run typed in or edited: its slip, its air and its notes. The strip is
// picked from a list, which fills in its elevation, or typed. OK saves it
// through the given function; when that fails the dialog stays open with
// everything typed, and says why.
#pragma once

#include <QDialog>
#include <QScopedPointer>
#include <functional>

#include "moravik/runlog/run_log.h"
#include "quantity_field.h"

namespace Ui {
class RunDialog;
}

namespace moravik::raceday_window {

class RunDialog final : public QDialog {
    Q_OBJECT
public:
    using Save = std::function<runlog::LogStatus(const runlog::Run&)>;

    // `strips` are the log's: listed first, then the track list's strips they leave out.
    RunDialog(const std::vector<runlog::Vehicle>& vehicles,
              const std::vector<runlog::RunLog::KnownStrip>& strips, UnitSystem system, Save save,
              QWidget* parent = nullptr);
    ~RunDialog() override;

    // Fills the form; the saved run keeps this run's id.
    void setRun(const runlog::Run& run);
    // A new run's weather, in place of the standard day.
    void setWeather(const raceday::Weather& weather);

    void accept() override;

private:
    void listStrips(const std::vector<runlog::RunLog::KnownStrip>& strips, UnitSystem system);
    void stripPicked(int index);
    std::optional<runlog::Run> readRun();

    const QScopedPointer<Ui::RunDialog> ui;
    Save save_;
    runlog::RunId id_ = 0;
    QuantityField* stripElevation_;
    QuantityField* et_;
    QuantityField* speed_;
    QuantityField* sixtyFoot_;
    QuantityField* threeThirtyFoot_;
    QuantityField* eighthEt_;
    QuantityField* eighthSpeed_;
};

}  // namespace moravik::raceday_window
