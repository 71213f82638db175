// A section of the Race Day window: one page with its own form and class, so
// a further section is one more class beside the others.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "moravik/raceday/air.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/metar.h"
#include "moravik/raceday/units.h"

class QSettings;

namespace moravik::raceday_window {

// Today's air and the correction standard as the Today's air section reads
// them; the prediction and the time-slip correction follow them.
class TodaysAir final : public QObject {
    Q_OBJECT
public:
    std::optional<raceday::Air> air() const { return air_; }
    // The readings the air came from, present whenever air() is.
    std::optional<raceday::Weather> weather() const { return weather_; }
    raceday::Standard standard() const { return standard_; }
    // The report the readings came from; none when they were typed.
    const std::optional<raceday::MetarReport>& metar() const { return metar_; }
    void set(std::optional<raceday::Air> air, std::optional<raceday::Weather> weather,
             raceday::Standard standard, std::optional<raceday::MetarReport> metar = std::nullopt);

signals:
    void changed();

private:
    std::optional<raceday::Air> air_;
    std::optional<raceday::Weather> weather_;
    raceday::Standard standard_ = raceday::defaultStandard;
    std::optional<raceday::MetarReport> metar_;
};

class Section : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // What is wrong with the section's inputs, empty when nothing is.
    const QString& problem() const { return problem_; }

    virtual void setUnitSystem(raceday::UnitSystem system) = 0;
    // Under the settings' current group; problems name the keys that were
    // present but unusable.
    virtual void saveSettings(QSettings&) const {}
    virtual void loadSettings(QSettings&, QStringList& /*problems*/) {}

signals:
    void problemChanged(const QString& problem);

protected:
    void setProblem(const QString& problem);

private:
    QString problem_;
};

}  // namespace moravik::raceday_window
