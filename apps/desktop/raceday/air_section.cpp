#include "air_section.h"

#include <QSettings>

#include "moravik/answers/answers.h"
#include "qt_text.h"
#include "ui_AirSection.h"

namespace moravik::raceday_window {
namespace {

constexpr int altitudeDecimals = 0;

const QString standardKey = QStringLiteral("standard");
const QString airGroup = QStringLiteral("todaysAir");

}  // namespace

std::vector<std::string> todaysAirLines(const TodaysAir& today, raceday::UnitSystem system) {
    const auto air = today.air();
    if (!air) return {"Not complete: enter it in the Today's air section."};
    std::vector<std::string> lines;
    for (const raceday::ReportSection& section :
         raceday::airReport(*air, today.standard(), system, raceday::UnitTexts::Display)) {
        if (!lines.empty() && !section.heading.empty()) lines.push_back(section.heading);
        for (const raceday::ReportLine& line : section.lines)
            lines.push_back(line.label + " " + line.text);
    }
    return lines;
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
    const raceday::AirFigureTexts figures = raceday::airFigureTexts(air, standard());
    densityAltitude_->show(air.densityAltitudeMetres);
    nwsDensityAltitude_->show(air.nwsDensityAltitudeFeet * raceday::metresPerFoot);
    ui->airDensity->setText(toQString(figures.airDensity));
    ui->relativeAirDensity->setText(toQString(figures.relativeAirDensity));
    ui->correctionFactor->setText(toQString(figures.correctionFactor));
    ui->relativeHp->setText(toQString(figures.relativeHp));
    vapourPressure_->show(air.vapourPascals);
    ui->waterGrains->setText(toQString(figures.waterGrains));
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
