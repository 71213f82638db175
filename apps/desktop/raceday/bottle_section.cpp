#include "bottle_section.h"

#include <QSettings>

#include "moravik/raceday/bottle.h"
#include "moravik/raceday/jet.h"
#include "quantity_field.h"
#include "ui_BottleSection.h"

namespace moravik::raceday_window {
namespace {

using raceday::BottlePressureUnit;
using raceday::bottlePressureUnits;

void fillBottleUnits(QComboBox* box) {
    for (const BottlePressureUnit& unit : bottlePressureUnits) box->addItem(toQString(unit.symbol));
}

const BottlePressureUnit& bottleUnitIn(const QComboBox* box) {
    return bottlePressureUnits[static_cast<std::size_t>(std::max(0, box->currentIndex()))];
}

// A bottle pressure field: nothing while empty, or the pressure read with the
// unit chosen beside it, marked at the field when it cannot be read.
raceday::Outcome<std::optional<raceday::BottlePressure>> readBottlePressure(
    QLineEdit* edit, const QComboBox* unitBox, const char* name) {
    clearProblem(edit);
    if (edit->text().trimmed().isEmpty()) return std::nullopt;
    auto read =
        raceday::parseBottlePressure(edit->text().toStdString(), bottleUnitIn(unitBox), name);
    if (const raceday::Error* error = raceday::errorOf(read)) {
        markProblem(edit, toQString(error->message));
        return *error;
    }
    return std::get<raceday::BottlePressure>(read);
}

// The unit the results show pressures in: psi for psi, psig and psia.
const Unit& shownPressureUnit(const BottlePressureUnit& unit) {
    return *raceday::findUnit(unit.symbol.starts_with("psi") ? "psi" : unit.symbol,
                              raceday::Dimension::Pressure);
}

}  // namespace

BottleSection::BottleSection(QWidget* parent) : Section(parent), ui(new Ui::BottleSection) {
    ui->setupUi(this);
    temperature_ = new QuantityField(ui->bottleTemperature, ui->bottleTemperatureUnit,
                                     Quantity::Temperature, QStringLiteral("bottle temperature"));
    outsidePressure_ =
        new QuantityField(ui->outsidePressure, ui->outsidePressureUnit, Quantity::Barometer,
                          QStringLiteral("outside air pressure"));
    fuelPressure_ = new QuantityField(ui->fuelPressure, ui->fuelPressureUnit,
                                      Quantity::LinePressure, QStringLiteral("fuel pressure"));
    fillBottleUnits(ui->bottlePressureUnit);
    fillBottleUnits(ui->tunePressureUnit);
    // The main window's initial texts, in psi as it reads them.
    const InputTexts initial;
    ui->nitrousJet->setText(toQString(initial.njt));
    fuelPressure_->setText(toQString(initial.flp));
    ui->tunePressure->setText(toQString(initial.nbp));
    // One direction at a time: typing the temperature clears the pressure
    // wanted, and the other way round.
    connect(ui->bottleTemperature, &QLineEdit::textEdited, ui->bottlePressure, &QLineEdit::clear);
    connect(ui->bottlePressure, &QLineEdit::textEdited, ui->bottleTemperature, &QLineEdit::clear);
    for (const QuantityField* field : {temperature_, outsidePressure_, fuelPressure_})
        connect(field, &QuantityField::edited, this, &BottleSection::update);
    for (QLineEdit* edit : {ui->bottlePressure, ui->nitrousJet, ui->tunePressure})
        connect(edit, &QLineEdit::textChanged, this, &BottleSection::update);
    for (QComboBox* box : {ui->bottlePressureUnit, ui->tunePressureUnit})
        connect(box, &QComboBox::currentIndexChanged, this, &BottleSection::update);
    update();
}

BottleSection::~BottleSection() = default;

void BottleSection::showNothing() {
    for (QLineEdit* box : {ui->resultTemperature, ui->gaugePressure, ui->absolutePressure,
                           ui->gaugeAgainst, ui->fuelJetAtTune, ui->fuelJetToday, ui->todaysBottle})
        box->setText(noValue);
}

void BottleSection::update() {
    showNothing();
    FirstProblem problem;
    const auto kelvin = temperature_->readMarked();
    const auto wanted =
        readBottlePressure(ui->bottlePressure, ui->bottlePressureUnit, "bottle pressure wanted");
    auto outside = outsidePressure_->readMarked();
    if (const auto pascals = valueOf(outside)) {
        if (auto error = raceday::checkOutsidePressure(*pascals, "outside air pressure")) {
            markProblem(ui->outsidePressure, toQString(error->message));
            outside = *error;
        }
    }
    const auto fuel = fuelPressure_->readMarked();
    const auto tune =
        readBottlePressure(ui->tunePressure, ui->tunePressureUnit, "bottle pressure of the tune");
    clearProblem(ui->nitrousJet);
    const auto jet = raceday::readJet(ui->nitrousJet->text().trimmed().toStdString());
    if (!ui->nitrousJet->text().trimmed().isEmpty() && (!jet || jet->thousandths == 0)) {
        const QString reason = "nitrous jet: " + toQString(raceday::notAJetSentence(
                                                     ui->nitrousJet->text().trimmed().toStdString(),
                                                     raceday::ZeroJet::Refused));
        markProblem(ui->nitrousJet, reason);
        problem.note(reason);
    }
    problem.note(kelvin);
    problem.note(wanted);
    problem.note(outside);
    problem.note(fuel);
    problem.note(tune);
    const auto* wantedPressure = std::get_if<std::optional<raceday::BottlePressure>>(&wanted);
    const bool given = valueOf(kelvin) || (wantedPressure != nullptr && *wantedPressure);
    if (problem.any() || !given) {
        setProblem(problem.any() ? problem.text()
                                 : tr("Enter the bottle's temperature, or the pressure you want."));
        return;
    }
    const double outsidePascals = valueOf(outside).value_or(raceday::standardAtmospherePascals);
    const auto bottle =
        valueOf(kelvin)
            ? raceday::bottleAtTemperature(*valueOf(kelvin), outsidePascals, "bottle temperature")
            : raceday::bottleAtPressure(**wantedPressure, outsidePascals, "bottle pressure wanted");
    if (const raceday::Error* error = raceday::errorOf(bottle)) {
        markProblem(valueOf(kelvin) ? ui->bottleTemperature : ui->bottlePressure,
                    toQString(error->message));
        setProblem(toQString(error->message));
        return;
    }
    const auto& found = std::get<raceday::Bottle>(bottle);
    const auto* tunePressure = std::get_if<std::optional<raceday::BottlePressure>>(&tune);
    std::optional<double> tuneGauge;
    if (tunePressure != nullptr && *tunePressure) {
        tuneGauge = (*tunePressure)->reference == raceday::PressureReference::Gauge
                        ? (*tunePressure)->pascals
                        : (*tunePressure)->pascals - outsidePascals;
    }
    const auto jets = raceday::fuelJetsForBottle(
        {jet && jet->thousandths > 0 ? jet : std::nullopt, valueOf(fuel), tuneGauge}, found);
    if (const raceday::Error* error = raceday::errorOf(jets)) {
        markProblem(error->field,
                    {.fuelPressure = ui->fuelPressure, .bottlePressure = ui->tunePressure},
                    toQString(error->message));
        setProblem(toQString(error->message));
        return;
    }
    setProblem({});
    const Unit& temperatureUnit = temperature_->unit();
    const int temperatureDecimals = raceday::quantityInfo(Quantity::Temperature).decimals;
    ui->resultTemperature->setText(
        fixedText(raceday::fromSi(found.kelvin, temperatureUnit), temperatureDecimals));
    ui->resultTemperatureUnit->setText(toQString(raceday::shownSymbol(temperatureUnit)));
    const Unit& pressureUnit = shownPressureUnit(bottleUnitIn(ui->bottlePressureUnit));
    const int pressureDecimals = raceday::quantityInfo(Quantity::LinePressure).decimals;
    ui->gaugePressure->setText(
        fixedText(raceday::fromSi(found.gaugePascals(), pressureUnit), pressureDecimals));
    ui->absolutePressure->setText(
        fixedText(raceday::fromSi(found.absolutePascals, pressureUnit), pressureDecimals));
    for (QLabel* unit : {ui->gaugePressureUnit, ui->absolutePressureUnit})
        unit->setText(toQString(pressureUnit.symbol));
    ui->gaugeAgainst->setText(
        toQString(raceday::displayText(found.outsidePascals, Quantity::Barometer, system_,
                                       raceday::UnitTexts::Display)) +
        (valueOf(outside) ? QString() : tr(" (one standard atmosphere)")));
    const auto& fuelJets = std::get<raceday::FuelJetsForBottle>(jets);
    ui->fuelJetAtTune->setText(toQString(fuelJets.fuelJetAtTune));
    ui->fuelJetToday->setText(toQString(fuelJets.fuelJetToday));
    ui->todaysBottle->setText(toQString(fuelJets.today.nbp));
}

void BottleSection::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    temperature_->setUnitSystem(system);
    outsidePressure_->setUnitSystem(system);
    fuelPressure_->setUnitSystem(system);
    // An empty bottle field takes the system's unit; a typed one keeps its meaning.
    const auto bare =
        static_cast<int>(&raceday::bareBottleUnit(system) - bottlePressureUnits.data());
    for (auto [edit, box] : {std::pair{ui->bottlePressure, ui->bottlePressureUnit},
                             std::pair{ui->tunePressure, ui->tunePressureUnit}}) {
        if (edit->text().trimmed().isEmpty()) box->setCurrentIndex(bare);
    }
    update();
}

void BottleSection::saveSettings(QSettings& settings) const {
    saveFields(settings, {{"bottleTemperature", temperature_},
                          {"outsidePressure", outsidePressure_},
                          {"fuelPressure", fuelPressure_}});
}

void BottleSection::loadSettings(QSettings& settings, QStringList& problems) {
    loadFields(settings,
               {{"bottleTemperature", temperature_},
                {"outsidePressure", outsidePressure_},
                {"fuelPressure", fuelPressure_}},
               problems);
}

}  // namespace moravik::raceday_window
