// The weather of a run as a form: temperature, a station pressure or an
// altimeter setting with the elevation, and a humidity or a dew point, each
// with its unit. Today's air, the baseline run of a prediction and the run of
// a time slip are all entered with it.
#pragma once

#include <QScopedPointer>
#include <QWidget>
#include <memory>

#include "moravik/raceday/air.h"
#include "moravik/raceday/metar.h"
#include "quantity_field.h"

class QSettings;

namespace Ui {
class AirInput;
}

namespace moravik::raceday_window {

// The air of the form: the air, nothing while a field is still empty, or the
// problem, which is then marked at its field.
struct AirReading {
    std::optional<raceday::Air> air;
    QString problem;
    std::optional<raceday::Weather> weather = std::nullopt;    // present with air
    std::optional<raceday::MetarReport> metar = std::nullopt;  // the report the air came from
};

class AirInput final : public QWidget {
    Q_OBJECT
public:
    explicit AirInput(QWidget* parent = nullptr);
    ~AirInput() override;

    AirReading read();
    // The standard day, 59 °F and 29.92 inHg of dry air, in the form's units.
    void setStandardDay();
    // Shows these readings in the form's units.
    void setWeather(const raceday::Weather& weather);
    void setUnitSystem(UnitSystem system);
    // The strip's elevation, for an altimeter setting.
    void setElevation(double metres);
    // Shows the field for a pasted METAR, hidden until asked for.
    void offerMetar();
    // Why the pasted report could not be read, empty when it was or none is pasted.
    const QString& metarProblem() const { return metarProblem_; }

    // Under the settings' current group.
    void save(QSettings& settings) const;
    void load(QSettings& settings, QStringList& problems);

signals:
    void edited();

private:
    void showChosenRows();
    std::optional<raceday::Weather> weather(FirstProblem& problem);
    // Fills temperature, dew point and altimeter setting from the pasted report, keeping the
    // elevation, and the humidity where the report has no dew point; a report that cannot be
    // read changes nothing and is marked.
    void readMetar();

    const QScopedPointer<Ui::AirInput> ui;
    QuantityField* temperature_;
    QuantityField* pressure_;
    QuantityField* elevation_;
    QuantityField* humidity_;
    QuantityField* dewPoint_;
    QString metarProblem_;
    // The report the readings came from, until one of them is typed over.
    std::optional<raceday::MetarReport> metar_;
};

}  // namespace moravik::raceday_window
