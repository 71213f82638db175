#include "log_prediction_page.h"

#include <QHeaderView>
#include <cmath>

#include "log_charts_page.h"
#include "log_qt.h"
#include "log_store.h"
#include "moravik/quarter_mile.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/units.h"
#include "moravik/runlog/prediction_report.h"
#include "qt_text.h"
#include "quantity_field.h"
#include "ui_LogPredictionPage.h"

namespace moravik::raceday_window {
namespace {

constexpr int powerDecimals = 1;

QString dateText(runlog::Moment when) { return qtText(runlog::localMinuteText(when)); }

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (!text.isEmpty() && (text.front().isDigit() || text.front() == QLatin1Char('-'))) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

}  // namespace

LogPredictionPage::LogPredictionPage(LogStore& store, const TodaysAir& todaysAir,
                                     LogChartsPage& charts, QWidget* parent)
    : QWidget(parent),
      ui(new Ui::LogPredictionPage),
      store_(store),
      todaysAir_(todaysAir),
      charts_(charts) {
    ui->setupUi(this);
    predictedSpeed_ =
        new QuantityOutput(ui->logPredictedSpeed, ui->logPredictedSpeedUnit, Quantity::Speed,
                           raceday::quantityInfo(Quantity::Speed).decimals);
    for (const auto method : {runlog::DialInMethod::Exponent, runlog::DialInMethod::Scaling,
                              runlog::DialInMethod::Fit, runlog::DialInMethod::Best}) {
        ui->logPredictionMethod->addItem(toQString(runlog::dialInMethodName(method)),
                                         static_cast<int>(method));
    }
    ui->logEtIntervalLabel->setText(
        tr("%1 % interval:").arg(std::lround(runlog::defaultIntervalProbability * 100)));
    ui->logRecentRuns->setRange(runlog::fewestRecentRuns, runlog::mostRecentRuns);
    ui->logRecentRuns->setValue(runlog::defaultRecentRuns);
    ui->logPredictionRuns->setColumnCount(RunColumns);
    ui->logPredictionRuns->verticalHeader()->hide();
    ui->logPowerTable->verticalHeader()->hide();
    connect(ui->predictionVehicle, &QComboBox::currentIndexChanged, this, [this] {
        excluded_.clear();
        included_.clear();
        update();
    });
    connect(ui->logTodaysJet, &QLineEdit::textChanged, this, &LogPredictionPage::update);
    connect(ui->logRecentRuns, &QSpinBox::valueChanged, this, &LogPredictionPage::update);
    connect(ui->logPredictionMethod, &QComboBox::currentIndexChanged, this,
            &LogPredictionPage::update);
    connect(&todaysAir_, &TodaysAir::changed, this, &LogPredictionPage::update);
    connect(&store_, &LogStore::logChanged, this, &LogPredictionPage::refresh);
    connect(&charts_, &LogChartsPage::shown, this, &LogPredictionPage::updateIfDue);
    connect(ui->logPredictionRuns, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) {
                if (item->column() == Use) useChanged(item->row());
            });
}

LogPredictionPage::~LogPredictionPage() = default;

void LogPredictionPage::refresh() {
    const QVariant chosen = ui->predictionVehicle->currentData();
    {
        const QSignalBlocker blocker(ui->predictionVehicle);
        ui->predictionVehicle->clear();
        if (store_.log() != nullptr) {
            if (const auto vehicles = store_.log()->vehicles(); !runlog::logErrorOf(vehicles)) {
                for (const auto& known : std::get<std::vector<runlog::Vehicle>>(vehicles)) {
                    ui->predictionVehicle->addItem(qtText(known.name),
                                                   QVariant::fromValue<qint64>(known.id));
                }
            }
        }
        ui->predictionVehicle->setCurrentIndex(
            std::max(0, ui->predictionVehicle->findData(chosen)));
    }
    update();
}

void LogPredictionPage::clearOutputs() {
    for (QLineEdit* box :
         {ui->logPredictedEt, ui->logLowestEt, ui->logHighestEt, ui->logRunsUsed,
          ui->logLeaveOneOut, ui->logEtInterval, ui->logMethodUsed, ui->logDialIn}) {
        box->setText(noValue);
    }
    predictedSpeed_->clear();
}

QString LogPredictionPage::speedText(double metresPerSecond) const {
    return toQString(raceday::displayText(metresPerSecond, Quantity::Speed, system_));
}

void LogPredictionPage::showTodaysAir() {
    const auto air = todaysAir_.air();
    ui->logTodaysAirSummary->setText(
        air ? tr("Today's air from the Today's air section: density altitude %1, corrected to %2.")
                  .arg(toQString(raceday::displayText(air->densityAltitudeMetres,
                                                      Quantity::Elevation, system_)),
                       toQString(raceday::standardName(todaysAir_.standard()).title))
            : tr("Today's air is not complete yet: enter it in the Today's air section."));
}

void LogPredictionPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateIfDue();
}

void LogPredictionPage::updateIfDue() {
    if (due_) update();
}

void LogPredictionPage::update() {
    // Every run of a vehicle goes into the horsepower table and the charts:
    // with thousands of runs, work to do only for a page someone looks at.
    if (!isVisible() && !charts_.isVisible()) {
        due_ = true;
        return;
    }
    due_ = false;
    clearOutputs();
    showTodaysAir();
    runlog::RunLog* log = store_.log();
    const QString vehicleName = ui->predictionVehicle->currentText();
    if (log == nullptr || ui->predictionVehicle->currentIndex() < 0) {
        listRuns({});
        showPower({});
        charts_.plot(vehicleName, {}, std::nullopt, std::nullopt, system_);
        emit problemChanged({});
        return;
    }
    const runlog::VehicleId vehicle = ui->predictionVehicle->currentData().toLongLong();
    FirstProblem problem;
    auto jet = runlog::readNitrousJet(ui->logTodaysJet->text().toStdString());
    if (auto* error = std::get_if<raceday::Error>(&jet))
        error->message = "today's nitrous jet: " + error->message;
    problem.note(jet);
    if (problem.any()) {
        markProblem(ui->logTodaysJet, problem.text());
    } else {
        clearProblem(ui->logTodaysJet);
    }
    const std::optional<double> jetInches =
        problem.any() ? std::nullopt : std::get<std::optional<double>>(jet);

    auto recent = log->recentRuns(vehicle, jetInches, ui->logRecentRuns->value());
    if (const auto* error = runlog::logErrorOf(recent)) problem.note(qtText(error->message));
    listRuns(runlog::logErrorOf(recent) ? std::vector<runlog::Run>{}
                                        : std::get<std::vector<runlog::Run>>(recent));

    std::optional<runlog::LogPrediction> prediction;
    if (!problem.any() && todaysAir_.weather()) {
        const runlog::PredictionRequest request{.vehicle = vehicle,
                                                .nitrousJetInches = jetInches,
                                                .today = *todaysAir_.weather(),
                                                .standard = todaysAir_.standard(),
                                                .recentRuns = ui->logRecentRuns->value(),
                                                .excluded = excluded_,
                                                .included = included_};
        auto predicted = runlog::predictFromLog(*log, request);
        if (const auto* error = runlog::logErrorOf(predicted)) {
            problem.note(qtText(error->message));
        } else {
            prediction = std::get<runlog::LogPrediction>(std::move(predicted));
            showPrediction(*prediction);
            if (const QString failed = showDialIn(*prediction, request.today); !failed.isEmpty())
                problem.note(failed);
        }
    }
    auto powers = runlog::powerFromLog(*log, vehicle, todaysAir_.standard());
    if (const auto* error = runlog::logErrorOf(powers)) problem.note(qtText(error->message));
    const auto& shownPowers = runlog::logErrorOf(powers)
                                  ? std::vector<runlog::RunPower>{}
                                  : std::get<std::vector<runlog::RunPower>>(powers);
    showPower(shownPowers);
    charts_.plot(vehicleName, shownPowers, prediction, todaysAir_.air(), system_);
    emit problemChanged(problem.text());
}

void LogPredictionPage::listRuns(const std::vector<runlog::Run>& runs) {
    const QSignalBlocker blocker(ui->logPredictionRuns);
    ui->logPredictionRuns->clearContents();
    ui->logPredictionRuns->setRowCount(static_cast<int>(runs.size()));
    ui->logPredictionRuns->setHorizontalHeaderLabels(
        {tr("Use"), tr("Date"), tr("ET (s)"), tr("Trap speed"), tr("Factor"),
         tr("Corrected ET (s)"), tr("Corrected speed")});
    listed_.clear();
    for (int row = 0; row < static_cast<int>(runs.size()); ++row) {
        const runlog::Run& run = runs[static_cast<std::size_t>(row)];
        listed_.push_back(run.id);
        auto* use = new QTableWidgetItem;
        use->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const bool excluded = std::ranges::find(excluded_, run.id) != excluded_.end();
        use->setCheckState(excluded ? Qt::Unchecked : Qt::Checked);
        use->setData(Qt::AccessibleTextRole, tr("Use the run of %1").arg(dateText(run.when)));
        ui->logPredictionRuns->setItem(row, Use, use);
        ui->logPredictionRuns->setItem(row, When, cell(dateText(run.when)));
        ui->logPredictionRuns->setItem(row, Et, cell(fixedText(run.etSeconds, etDecimals)));
        ui->logPredictionRuns->setItem(row, Speed, cell(speedText(run.speed)));
    }
    ui->logPredictionRuns->resizeColumnsToContents();
}

void LogPredictionPage::showPrediction(const runlog::LogPrediction& prediction) {
    const QSignalBlocker blocker(ui->logPredictionRuns);
    for (const runlog::CorrectedRun& corrected : prediction.runs) {
        const auto found = std::ranges::find(listed_, corrected.run.id);
        if (found == listed_.end()) continue;
        const int row = static_cast<int>(found - listed_.begin());
        if (corrected.farFromOthers) {
            QTableWidgetItem* use = ui->logPredictionRuns->item(row, Use);
            use->setCheckState(Qt::Unchecked);
            use->setToolTip(tr("Left out: far from the other runs. Tick it to take it back."));
        }
        ui->logPredictionRuns->setItem(row, Factor,
                                       cell(toQString(raceday::factorText(corrected.factor))));
        ui->logPredictionRuns->setItem(row, CorrectedEt,
                                       cell(fixedText(corrected.corrected.etSeconds, etDecimals)));
        ui->logPredictionRuns->setItem(row, CorrectedSpeed,
                                       cell(speedText(corrected.corrected.speed)));
    }
    ui->logPredictionRuns->resizeColumnsToContents();
    ui->logLowestEt->setText(fixedText(prediction.lowestCorrectedEt, etDecimals));
    ui->logHighestEt->setText(fixedText(prediction.highestCorrectedEt, etDecimals));
    ui->logRunsUsed->setText(
        tr("%1 of %2").arg(prediction.used).arg(static_cast<int>(prediction.runs.size())));
}

QString LogPredictionPage::showDialIn(const runlog::LogPrediction& prediction,
                                      const raceday::Weather& today) {
    const auto method =
        static_cast<runlog::DialInMethod>(ui->logPredictionMethod->currentData().toInt());
    const auto chosen =
        runlog::dialIn(prediction, today, method, runlog::defaultIntervalProbability);
    if (const auto* error = raceday::errorOf(chosen)) return toQString(error->message);
    const auto& dial = std::get<runlog::DialIn>(chosen);
    ui->logDialIn->setText(tr("%1; runs on: %2")
                               .arg(toQString(runlog::dialInSentence(dial)),
                                    toQString(runlog::jetRunsText(prediction.jetInches))));
    const runlog::DialInFigures& figures = dial.chosen();
    ui->logPredictedEt->setText(fixedText(figures.et.value, etDecimals));
    predictedSpeed_->show(figures.speed.value);
    ui->logEtInterval->setText(figures.hasInterval
                                   ? tr("%1 to %2")
                                         .arg(fixedText(figures.et.low, etDecimals),
                                              fixedText(figures.et.high, etDecimals))
                                   : tr("none from one run"));
    ui->logLeaveOneOut->setText(
        figures.leaveOneOutEtSeconds
            ? fixedText(*figures.leaveOneOutEtSeconds * 1000, thousandthsDecimals)
            : tr("none from one run"));
    ui->logMethodUsed->setText(toQString(runlog::methodTitle(dial)));
    return {};
}

void LogPredictionPage::showPower(const std::vector<runlog::RunPower>& powers) {
    QStringList header{tr("Date"), tr("ET (s)"), tr("Trap speed"), tr("Factor")};
    const QString unit = toQString(raceday::displayUnit(Quantity::Power, system_).symbol);
    for (const QString& source : {tr("from ET"), tr("from speed")}) {
        for (const FormulaConstants& formula : formulaTable) {
            header << tr("%1 %2 (%3)").arg(toQString(formula.name), source, unit);
        }
    }
    ui->logPowerTable->clearContents();
    ui->logPowerTable->setColumnCount(static_cast<int>(header.size()));
    ui->logPowerTable->setHorizontalHeaderLabels(header);
    ui->logPowerTable->setRowCount(static_cast<int>(powers.size()));
    const Unit& powerUnit = raceday::displayUnit(Quantity::Power, system_);
    for (int row = 0; row < static_cast<int>(powers.size()); ++row) {
        const runlog::RunPower& power = powers[static_cast<std::size_t>(row)];
        int column = 0;
        for (const QString& text :
             {dateText(power.run.when), fixedText(power.run.etSeconds, etDecimals),
              speedText(power.run.speed), toQString(raceday::factorText(power.factor))}) {
            ui->logPowerTable->setItem(row, column++, cell(text));
        }
        for (const auto* values : {&power.fromEt, &power.fromSpeed}) {
            for (const double watts : *values) {
                ui->logPowerTable->setItem(
                    row, column++,
                    cell(fixedText(raceday::fromSi(watts, powerUnit), powerDecimals)));
            }
        }
    }
    ui->logPowerTable->resizeColumnsToContents();
}

void LogPredictionPage::useChanged(int row) {
    if (row < 0 || row >= static_cast<int>(listed_.size())) return;
    const runlog::RunId id = listed_[static_cast<std::size_t>(row)];
    const bool use = ui->logPredictionRuns->item(row, Use)->checkState() == Qt::Checked;
    std::erase(excluded_, id);
    std::erase(included_, id);
    // A run left out as far from the others is taken back by ticking it.
    if (!use) excluded_.push_back(id);
    if (use) included_.push_back(id);
    const int column = ui->logPredictionRuns->currentColumn();
    update();
    ui->logPredictionRuns->setCurrentCell(row, column);
}

void LogPredictionPage::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    predictedSpeed_->setUnitSystem(system);
    update();
}

}  // namespace moravik::raceday_window
