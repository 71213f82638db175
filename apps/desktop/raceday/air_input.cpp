#include "air_input.h"

#include <QSettings>

#include "moravik/raceday/metar.h"
#include "moravik/runlog/plausible.h"
#include "ui_AirInput.h"

namespace moravik::raceday_window {
namespace {

using raceday::Error;

// Index of each choice in the form's combo boxes, and its settings name.
enum PressureKind { Station, Altimeter };
enum MoistureKind { Humidity, DewPoint };
const QStringList pressureKindNames{QStringLiteral("station"), QStringLiteral("altimeter")};
const QStringList moistureKindNames{QStringLiteral("humidity"), QStringLiteral("dewPoint")};

void loadChoice(const QSettings& settings, const QString& key, const QStringList& names,
                QComboBox* box, QStringList& problems) {
    if (const auto name = settingText(settings, key, problems)) {
        if (const auto index = names.indexOf(*name); index >= 0) {
            box->setCurrentIndex(static_cast<int>(index));
        } else {
            problems.append(key);
        }
    }
}

// The run log's range for a reading, so each field is marked by itself and
// Today's air accepts what a logged run does.
QuantityField::RangeCheck logRange(runlog::Measure measure) {
    return [measure](double si) -> std::optional<Error> {
        if (runlog::isPlausible(measure, si)) return std::nullopt;
        const runlog::PlausibleRange& range = runlog::plausibleRange(measure);
        return Error{raceday::Field::Labelled,
                     raceday::outOfRangeSentence(range.name, range.source)};
    };
}

}  // namespace

AirInput::AirInput(QWidget* parent) : QWidget(parent), ui(new Ui::AirInput) {
    ui->setupUi(this);
    temperature_ = new QuantityField(ui->temperature, ui->temperatureUnit, Quantity::Temperature,
                                     QStringLiteral("temperature"));
    pressure_ = new QuantityField(ui->pressure, ui->pressureUnit, Quantity::Barometer,
                                  QStringLiteral("pressure"));
    elevation_ = new QuantityField(ui->elevation, ui->elevationUnit, Quantity::Elevation,
                                   QStringLiteral("elevation"));
    humidity_ = new QuantityField(ui->humidity, ui->humidityUnit, Quantity::Humidity,
                                  QStringLiteral("humidity"));
    dewPoint_ = new QuantityField(ui->dewPoint, ui->dewPointUnit, Quantity::Temperature,
                                  QStringLiteral("dew point"));
    temperature_->requireRange(logRange(runlog::Measure::Temperature));
    pressure_->requireRange(logRange(runlog::Measure::Pressure));
    elevation_->requireRange(logRange(runlog::Measure::Elevation));
    for (const QuantityField* field : {temperature_, pressure_, elevation_, humidity_, dewPoint_}) {
        connect(field, &QuantityField::edited, this, &AirInput::edited);
    }
    for (QComboBox* kind : {ui->pressureKind, ui->moistureKind}) {
        connect(kind, &QComboBox::currentIndexChanged, this, [this] {
            showChosenRows();
            emit edited();
        });
    }
    // An empty dew point is typed in the temperature's unit, whichever it is.
    connect(ui->moistureKind, &QComboBox::currentIndexChanged, this, [this](int kind) {
        if (kind == DewPoint && ui->dewPoint->text().trimmed().isEmpty()) {
            dewPoint_->setUnit(temperature_->unit());
        }
    });
    connect(ui->metar, &QLineEdit::textEdited, this, &AirInput::readMetar);
    // A reading typed over the report's makes the weather the racer's own.
    for (QLineEdit* reading : {ui->temperature, ui->pressure, ui->dewPoint}) {
        connect(reading, &QLineEdit::textEdited, this, [this] { metar_.reset(); });
    }
    showChosenRows();
}

AirInput::~AirInput() = default;

void AirInput::offerMetar() {
    ui->metarLabel->setVisible(true);
    ui->metar->setVisible(true);
}

void AirInput::readMetar() {
    const QString report = ui->metar->text().trimmed();
    metarProblem_.clear();
    metar_.reset();
    clearProblem(ui->metar);
    if (report.isEmpty()) {
        emit edited();
        return;
    }
    const auto read = raceday::readMetar(report.toStdString());
    if (const Error* error = raceday::errorOf(read)) {
        metarProblem_ = tr("weather from METAR: %1").arg(toQString(error->message));
        markProblem(ui->metar, metarProblem_);
        emit edited();
        return;
    }
    const raceday::MetarReport& metar = std::get<raceday::MetarReport>(read);
    // The altimeter setting becomes a station pressure at the racer's own elevation, typed
    // before or after the report.
    temperature_->setValue(metar.kelvin);
    ui->pressureKind->setCurrentIndex(Altimeter);
    pressure_->setValue(metar.altimeterPascals);
    if (metar.dewPointKelvin) {
        ui->moistureKind->setCurrentIndex(DewPoint);
        dewPoint_->setValue(*metar.dewPointKelvin);
    } else {
        // The racer types the humidity the report leaves out.
        ui->moistureKind->setCurrentIndex(Humidity);
        humidity_->setText({});
    }
    QStringList notes;
    for (const std::string& note : metar.notes) notes.append(toQString(note));
    ui->metar->setToolTip(notes.join(QLatin1Char('\n')));
    metar_ = metar;
    emit edited();
}

void AirInput::showChosenRows() {
    const bool altimeter = ui->pressureKind->currentIndex() == Altimeter;
    for (QWidget* widget : {static_cast<QWidget*>(ui->elevationLabel),
                            static_cast<QWidget*>(ui->elevation), elevation_->unitBox()}) {
        widget->setVisible(altimeter);
    }
    const bool dewPoint = ui->moistureKind->currentIndex() == DewPoint;
    for (QWidget* widget : {static_cast<QWidget*>(ui->humidityLabel),
                            static_cast<QWidget*>(ui->humidity), humidity_->unitBox()}) {
        widget->setVisible(!dewPoint);
    }
    for (QWidget* widget : {static_cast<QWidget*>(ui->dewPointLabel),
                            static_cast<QWidget*>(ui->dewPoint), dewPoint_->unitBox()}) {
        widget->setVisible(dewPoint);
    }
}

std::optional<raceday::Weather> AirInput::weather(FirstProblem& problem) {
    const bool altimeter = ui->pressureKind->currentIndex() == Altimeter;
    const bool dewPoint = ui->moistureKind->currentIndex() == DewPoint;
    bool complete = true;
    // Reads every field in use, so that each problem is marked, and keeps the first.
    const auto readField = [&](QuantityField* field, bool used) -> std::optional<double> {
        if (!used) {
            clearProblem(field->edit());
            return std::nullopt;
        }
        const auto value = field->readMarked();
        problem.note(value);
        complete = complete && valueOf(value).has_value();
        return valueOf(value);
    };
    const auto kelvin = readField(temperature_, true);
    const auto pascals = readField(pressure_, true);
    const auto metres = readField(elevation_, altimeter);
    if (metar_ && altimeter && ui->elevation->text().trimmed().isEmpty()) {
        const QString missing =
            tr("elevation: type the strip's elevation; the METAR's altimeter setting needs it "
               "to give the station pressure");
        markProblem(ui->elevation, missing);
        problem.note(missing);
    }
    const auto humidity = readField(humidity_, !dewPoint);
    if (metar_ && !metar_->dewPointKelvin && ui->humidity->text().trimmed().isEmpty() &&
        !dewPoint) {
        const QString missing = tr("humidity: the METAR gives no dew point; type the humidity");
        markProblem(ui->humidity, missing);
        problem.note(missing);
    }
    const auto dewPointKelvin = readField(dewPoint_, dewPoint);
    if (problem.any() || !complete) return std::nullopt;

    raceday::Weather weather;
    weather.kelvin = *kelvin;
    if (altimeter) {
        weather.pressure = raceday::AltimeterSetting{*pascals, *metres};
    } else {
        weather.pressure = raceday::StationPressure{*pascals};
    }
    if (dewPoint) {
        weather.moisture = raceday::DewPoint{*dewPointKelvin};
    } else {
        weather.moisture = raceday::RelativeHumidity{*humidity};
    }
    return weather;
}

AirReading AirInput::read() {
    FirstProblem problem;
    const auto weather = this->weather(problem);
    if (!weather) return {std::nullopt, problem.text()};
    const auto air = raceday::evaluateAir(*weather);
    if (const Error* error = raceday::errorOf(air)) {
        const QString message = toQString(error->message);
        markProblem(error->field,
                    {.temperature = ui->temperature,
                     .stationPressure = ui->pressure,
                     .humidity = ui->humidity,
                     .dewPoint = ui->dewPoint},
                    message);
        return {std::nullopt, message};
    }
    return {std::get<raceday::Air>(air), {}, weather, metar_};
}

void AirInput::setStandardDay() {
    constexpr double standardDayFahrenheit = 59;
    constexpr double standardDayInchesOfMercury = 29.92;
    ui->pressureKind->setCurrentIndex(Station);
    ui->moistureKind->setCurrentIndex(Humidity);
    temperature_->setValue(raceday::toSi(standardDayFahrenheit, raceday::fahrenheitUnit));
    pressure_->setValue(standardDayInchesOfMercury * raceday::pascalsPerInchOfMercury);
    humidity_->setValue(0);
}

void AirInput::setWeather(const raceday::Weather& weather) {
    metar_.reset();
    temperature_->setValue(weather.kelvin);
    if (const auto* altimeter = std::get_if<raceday::AltimeterSetting>(&weather.pressure)) {
        ui->pressureKind->setCurrentIndex(Altimeter);
        pressure_->setValue(altimeter->pascals);
        elevation_->setValue(altimeter->elevationMetres);
    } else {
        ui->pressureKind->setCurrentIndex(Station);
        pressure_->setValue(std::get<raceday::StationPressure>(weather.pressure).pascals);
    }
    if (const auto* dewPoint = std::get_if<raceday::DewPoint>(&weather.moisture)) {
        ui->moistureKind->setCurrentIndex(DewPoint);
        dewPoint_->setValue(dewPoint->kelvin);
    } else {
        const auto* humidity = std::get_if<raceday::RelativeHumidity>(&weather.moisture);
        ui->moistureKind->setCurrentIndex(Humidity);
        humidity_->setValue(humidity != nullptr ? humidity->ratio : 0);
    }
}

void AirInput::setElevation(double metres) { elevation_->setValue(metres); }

void AirInput::setUnitSystem(UnitSystem system) {
    for (QuantityField* field : {temperature_, pressure_, elevation_, humidity_, dewPoint_}) {
        field->setUnitSystem(system);
    }
}

void AirInput::save(QSettings& settings) const {
    settings.setValue(QStringLiteral("pressureKind"),
                      pressureKindNames.value(ui->pressureKind->currentIndex()));
    settings.setValue(QStringLiteral("moistureKind"),
                      moistureKindNames.value(ui->moistureKind->currentIndex()));
    temperature_->save(settings, QStringLiteral("temperature"));
    pressure_->save(settings, QStringLiteral("pressure"));
    elevation_->save(settings, QStringLiteral("elevation"));
    humidity_->save(settings, QStringLiteral("humidity"));
    dewPoint_->save(settings, QStringLiteral("dewPoint"));
}

void AirInput::load(QSettings& settings, QStringList& problems) {
    const QString prefix = settings.group() + QLatin1Char('/');
    QStringList local;
    loadChoice(settings, QStringLiteral("pressureKind"), pressureKindNames, ui->pressureKind,
               local);
    loadChoice(settings, QStringLiteral("moistureKind"), moistureKindNames, ui->moistureKind,
               local);
    temperature_->load(settings, QStringLiteral("temperature"), local);
    pressure_->load(settings, QStringLiteral("pressure"), local);
    elevation_->load(settings, QStringLiteral("elevation"), local);
    humidity_->load(settings, QStringLiteral("humidity"), local);
    dewPoint_->load(settings, QStringLiteral("dewPoint"), local);
    for (const QString& key : local) problems.append(prefix + key);
}

}  // namespace moravik::raceday_window
