#include "air_section.h"

#include <QSettings>

#include "qt_text.h"
#include "ui_AirSection.h"

namespace moravik::raceday_window {
namespace {

constexpr int altitudeDecimals = 0;
constexpr int densityDecimals = 4;
constexpr int grainsDecimals = 1;

const QString standardKey = QStringLiteral("standard");
const QString airGroup = QStringLiteral("todaysAir");

}  // namespace

std::vector<std::string> todaysAirLines(const TodaysAir& today, raceday::UnitSystem system) {
    const auto air = today.air();
    if (!air) return {"Not complete: enter it in the Today's air section."};
    const auto shown = [system](double si, Quantity quantity) {
        return raceday::displayText(si, quantity, system, raceday::UnitTexts::Display);
    };
    const raceday::Standard standard = today.standard();
    const double factor = raceday::correctionFactor(standard, *air);
    const auto text = [](double value, int places) {
        return fixedText(value, places).toStdString();
    };
    return {
        "Temperature: " + shown(air->kelvin, Quantity::Temperature),
        "Station pressure: " + shown(air->stationPascals, Quantity::Barometer),
        "Dew point: " + (air->dewPointKelvin ? shown(*air->dewPointKelvin, Quantity::Temperature)
                                             : std::string("none (dry air)")),
        "Density altitude: " + shown(air->densityAltitudeMetres, Quantity::Elevation),
        "Air density: " + text(air->densityKgPerM3, densityDecimals) + " " +
            std::string(raceday::densityUnitText(raceday::UnitTexts::Display)),
        "Correction factor, " + std::string(raceday::standardName(standard).title) + ": " +
            text(factor, factorDecimals),
        "Relative horsepower: " +
            text(raceday::relativeHpPercent(factor), raceday::percentDecimals) + " %",
        "Vapour pressure: " + shown(air->vapourPascals, Quantity::Barometer),
        "Water: " + text(raceday::waterGrainsPerPound(*air), grainsDecimals) + " grains/lb",
    };
}

AirSection::AirSection(TodaysAir& todaysAir, QWidget* parent)
    : Section(parent), ui(new Ui::AirSection), todaysAir_(todaysAir) {
    ui->setupUi(this);
    for (const raceday::StandardName& name : raceday::standards) {
        ui->standard->addItem(toQString(name.title), toQString(name.key));
    }
    ui->standard->setCurrentIndex(static_cast<int>(raceday::defaultStandard));
    densityAltitude_ = new QuantityOutput(ui->densityAltitude, ui->densityAltitudeUnit,
                                          Quantity::Elevation, altitudeDecimals);
    nwsDensityAltitude_ = new QuantityOutput(ui->nwsDensityAltitude, ui->nwsDensityAltitudeUnit,
                                             Quantity::Elevation, altitudeDecimals);
    vapourPressure_ =
        new QuantityOutput(ui->vapourPressure, ui->vapourPressureUnit, Quantity::Barometer,
                           raceday::quantityInfo(Quantity::Barometer).decimals);
    ui->todaysAir->offerMetar();
    ui->todaysAir->setStandardDay();
    connect(ui->todaysAir, &AirInput::edited, this, &AirSection::update);
    connect(ui->standard, &QComboBox::currentIndexChanged, this, &AirSection::update);
    update();
}

AirSection::~AirSection() = default;

raceday::Standard AirSection::standard() const {
    return raceday::standards[static_cast<std::size_t>(ui->standard->currentIndex())].standard;
}

void AirSection::update() {
    const AirReading reading = ui->todaysAir->read();
    setProblem(reading.problem.isEmpty() ? ui->todaysAir->metarProblem() : reading.problem);
    todaysAir_.set(reading.air, reading.weather, standard(), reading.metar);
    QLineEdit* const plain[] = {ui->airDensity, ui->relativeAirDensity, ui->correctionFactor,
                                ui->relativeHp, ui->waterGrains};
    if (!reading.air) {
        densityAltitude_->clear();
        nwsDensityAltitude_->clear();
        vapourPressure_->clear();
        for (QLineEdit* box : plain) box->setText(noValue);
        return;
    }
    const raceday::Air& air = *reading.air;
    const double factor = raceday::correctionFactor(standard(), air);
    densityAltitude_->show(air.densityAltitudeMetres);
    nwsDensityAltitude_->show(air.nwsDensityAltitudeFeet * raceday::metresPerFoot);
    ui->airDensity->setText(fixedText(air.densityKgPerM3, densityDecimals));
    ui->relativeAirDensity->setText(
        fixedText(air.relativeDensityPercent, raceday::percentDecimals));
    ui->correctionFactor->setText(fixedText(factor, factorDecimals));
    ui->relativeHp->setText(
        fixedText(raceday::relativeHpPercent(factor), raceday::percentDecimals));
    vapourPressure_->show(air.vapourPascals);
    ui->waterGrains->setText(fixedText(raceday::waterGrainsPerPound(air), grainsDecimals));
}

void AirSection::setUnitSystem(raceday::UnitSystem system) {
    ui->todaysAir->setUnitSystem(system);
    densityAltitude_->setUnitSystem(system);
    nwsDensityAltitude_->setUnitSystem(system);
    vapourPressure_->setUnitSystem(system);
}

void AirSection::saveSettings(QSettings& settings) const {
    settings.setValue(standardKey, toQString(raceday::standardName(standard()).key));
    settings.beginGroup(airGroup);
    ui->todaysAir->save(settings);
    settings.endGroup();
}

void AirSection::loadSettings(QSettings& settings, QStringList& problems) {
    if (const auto key = settingText(settings, standardKey, problems)) {
        if (const auto found = raceday::findStandard(key->toStdString())) {
            ui->standard->setCurrentIndex(static_cast<int>(*found));
        } else {
            problems.append(settings.group() + QLatin1Char('/') + standardKey);
        }
    }
    settings.beginGroup(airGroup);
    ui->todaysAir->load(settings, problems);
    settings.endGroup();
}

}  // namespace moravik::raceday_window
