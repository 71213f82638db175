#include "log_section.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QSaveFile>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "log_charts_page.h"
#include "log_prediction_page.h"
#include "log_qt.h"
#include "log_store.h"
#include "messages.h"
#include "moravik/raceday/units.h"
#include "moravik/runlog/prediction.h"
#include "moravik/runlog/run_csv.h"
#include "run_dialog.h"
#include "services.h"
#include "ui_LogSection.h"
#include "vehicle_dialog.h"

namespace moravik::raceday_window {
namespace {

using runlog::Run;
using runlog::RunId;
using runlog::RunTableModel;

// A yes-or-no question whose Return and Escape both answer No.
bool confirmed(desktop::Messages& messages, QWidget* parent, const QString& title,
               const QString& text) {
    enum { Yes, No };
    return messages.ask(parent, {title, text, {QObject::tr("&Yes"), QObject::tr("&No")}, No, No}) ==
           Yes;
}

// "1 run", "2 runs": no translation is loaded to make tr's %n plural.
QString runCount(std::size_t count) {
    return count == 1 ? QObject::tr("1 run") : QObject::tr("%1 runs").arg(count);
}

// Imports on a worker thread behind a window-modal progress dialog, so the
// window neither freezes nor touches the log until the import is over.
// `cancelled` says whether the user stopped it (and so nothing was added).
runlog::LogResult<runlog::CsvImport> importBehindProgress(runlog::RunLog& log, std::istream& in,
                                                          qint64 size, QWidget* parent,
                                                          bool& cancelled) {
    constexpr int steps = 1000;
    QProgressDialog progress(QObject::tr("Importing runs..."), QObject::tr("Cancel"), 0, steps,
                             parent);
    progress.setObjectName(QStringLiteral("importProgress"));
    progress.setWindowTitle(QObject::tr("Import runs"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    std::atomic<bool> stop = false;
    bool done = false;
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] {
        stop = true;
        // Cancel hides the dialog; it comes back until the undo is done.
        progress.setLabelText(QObject::tr("Cancelling; nothing will be imported..."));
        QTimer::singleShot(0, &progress, [&] {
            if (!done) progress.show();
        });
    });
    progress.show();
    std::optional<runlog::LogResult<runlog::CsvImport>> result;
    std::atomic<int> shown = 0;
    const auto told = [&](std::int64_t bytesRead) {
        const int step =
            size > 0 ? static_cast<int>(std::min<qint64>(steps, bytesRead * steps / size)) : 0;
        if (shown.exchange(step) != step) {
            QMetaObject::invokeMethod(
                &progress, [&progress, step] { progress.setValue(step); }, Qt::QueuedConnection);
        }
        return !stop;
    };
    QEventLoop loop;
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { result = runlog::importRunsCsv(log, in, told); }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    // Started once the events already waiting are handled, a Cancel among them
    // stops the import at its first row.
    QMetaObject::invokeMethod(
        worker.get(), [&worker] { worker->start(); }, Qt::QueuedConnection);
    loop.exec();
    worker->wait();
    done = true;
    // A Cancel pressed as the last row went in is too late: the runs are kept.
    cancelled = stop && runlog::logErrorOf(*result) != nullptr;
    return std::move(*result);
}

// Rows left out, in a list that scrolls: there may be thousands.
void showLeftOutRows(const runlog::CsvImport& imported, const QString& summary, QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("importReport"));
    dialog->setWindowTitle(QObject::tr("Import runs"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const auto count = static_cast<qint64>(imported.problems.size()) + imported.problemsLeftOut;
    auto* heading = new QLabel(summary + QLatin1Char('\n') +
                                   (count == 1 ? QObject::tr("1 row left out:")
                                               : QObject::tr("%1 rows left out:").arg(count)),
                               dialog);
    heading->setObjectName(QStringLiteral("leftOutCount"));
    heading->setWordWrap(true);
    auto* rows = new QPlainTextEdit(dialog);
    rows->setObjectName(QStringLiteral("leftOutRows"));
    rows->setReadOnly(true);
    rows->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (const runlog::CsvProblem& problem : imported.problems) lines << qtText(problem.message);
    if (imported.problemsLeftOut > 0) {
        lines << QObject::tr("and %1 more, not listed").arg(imported.problemsLeftOut);
    }
    rows->setPlainText(lines.join(QLatin1Char('\n')));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(heading);
    layout->addWidget(rows);
    layout->addWidget(buttons);
    dialog->resize(640, 400);
    dialog->open();
}

// Deleting runs, undone by putting them back as they were, ids included.
class DeleteRunsCommand final : public QUndoCommand {
public:
    DeleteRunsCommand(LogStore& store, std::vector<RunId> ids, QWidget* parent,
                      std::function<void(const QString&)> report)
        : store_(store), ids_(std::move(ids)), parent_(parent), report_(std::move(report)) {
        setText(QObject::tr("delete %1").arg(runCount(ids_.size())));
    }

    void redo() override {
        auto deleted = store_.log()->deleteRuns(ids_);
        if (const auto* error = runlog::logErrorOf(deleted)) {
            store_.tellFailure(*error, parent_);
            setObsolete(true);
            return;
        }
        runs_ = std::get<std::vector<Run>>(std::move(deleted));
        store_.changed({}, parent_);
    }

    void undo() override {
        if (store_.changed(store_.log()->restoreRuns(runs_), parent_)) {
            report_(QObject::tr("%1 put back.").arg(runCount(runs_.size())));
        }
    }

private:
    LogStore& store_;
    std::vector<RunId> ids_;
    std::vector<Run> runs_;
    QWidget* parent_;
    std::function<void(const QString&)> report_;
};

}  // namespace

LogSection::LogSection(LogStore& store, const TodaysAir& todaysAir, FileChooser& files,
                       desktop::Messages& messages, QWidget* parent)
    : Section(parent),
      ui(new Ui::LogSection),
      store_(store),
      todaysAir_(todaysAir),
      files_(files),
      messages_(messages) {
    ui->setupUi(this);
    charts_ = new LogChartsPage(files);
    prediction_ = new LogPredictionPage(store, todaysAir, *charts_);
    ui->logPages->addTab(prediction_, tr("Prediction and horsepower"));
    ui->logPages->addTab(charts_, tr("Charts"));
    connect(prediction_, &LogPredictionPage::problemChanged, this, &LogSection::setProblem);
    connect(charts_, &LogChartsPage::saved, this, &LogSection::reported);
    const QDate today = QDate::currentDate();
    ui->fromDate->setDate(today.addMonths(-1));
    ui->toDate->setDate(today);

    showLog();
    connect(&store, &LogStore::logChanged, this, [this] {
        refreshChoices();
        if (model_) model_->reload();
        updateButtons();
    });
    connect(&store, &LogStore::writableChanged, this, [this] {
        showNote();
        updateButtons();
    });
    connect(&store, &LogStore::logReplaced, this, [this] {
        showLog();
        refreshChoices();
        applyFilter();
        prediction_->refresh();
        emit reported(store_.note());
    });
    for (QComboBox* choice : {ui->vehicleFilter, ui->stripFilter}) {
        connect(choice, &QComboBox::currentIndexChanged, this, &LogSection::applyFilter);
    }
    connect(ui->dateFilter, &QCheckBox::toggled, this, [this](bool on) {
        ui->fromDate->setEnabled(on);
        ui->toDate->setEnabled(on);
        applyFilter();
    });
    for (QDateEdit* date : {ui->fromDate, ui->toDate}) {
        connect(date, &QDateEdit::dateChanged, this, &LogSection::applyFilter);
    }

    connectActions();
    refreshChoices();
    updateButtons();
    prediction_->refresh();
}

LogSection::~LogSection() = default;

void LogSection::showLog() {
    undoStack_.clear();  // what it would put back belongs to the log that was
    std::unique_ptr<RunTableModel> old = std::move(model_);
    QItemSelectionModel* oldSelection = ui->runTable->selectionModel();
    if (store_.log() != nullptr) {
        model_ = std::make_unique<RunTableModel>(*store_.log());
        model_->setStandard(todaysAir_.standard());
        connect(&todaysAir_, &TodaysAir::changed, model_.get(),
                [this] { model_->setStandard(todaysAir_.standard()); });
    }
    ui->runTable->setModel(model_.get());
    if (oldSelection != ui->runTable->selectionModel()) delete oldSelection;
    if (model_) {
        ui->runTable->sortByColumn(RunTableModel::When, Qt::DescendingOrder);
        connect(model_.get(), &RunTableModel::fetchFailed, this, &LogSection::reported);
        // Damage met while reading leaves the log read-only.
        connect(model_.get(), &RunTableModel::fetchFailed, this, &LogSection::updateButtons);
        connect(ui->runTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &LogSection::updateButtons);
    }
    showNote();
}

void LogSection::showNote() {
    ui->logNote->setText(store_.note());
    ui->logNote->setVisible(!store_.note().isEmpty());
}

void LogSection::connectActions() {
    connect(ui->addRun, &QPushButton::clicked, this, [this] { openRunDialog(std::nullopt); });
    connect(ui->editRun, &QPushButton::clicked, this, [this] {
        const QModelIndex current = ui->runTable->currentIndex();
        if (current.isValid()) openRunDialog(model_->runAt(current.row()));
    });
    connect(ui->runTable, &QAbstractItemView::activated, ui->editRun, &QPushButton::click);
    connect(ui->deleteRun, &QPushButton::clicked, this, &LogSection::deleteSelectedRuns);
    auto* deleteKey = new QAction(tr("Delete runs"), ui->runTable);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    ui->runTable->addAction(deleteKey);
    connect(deleteKey, &QAction::triggered, this, &LogSection::deleteSelectedRuns);
    // The table loads a page at a time; Ctrl+End means the last run shown,
    // not the last one loaded.
    auto* lastRun = new QAction(tr("Last run"), ui->runTable);
    lastRun->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));
    lastRun->setShortcutContext(Qt::WidgetShortcut);
    ui->runTable->addAction(lastRun);
    connect(lastRun, &QAction::triggered, this, [this] {
        if (!model_) return;
        while (model_->canFetchMore({})) model_->fetchMore({});
        const int last = model_->rowCount() - 1;
        if (last < 0) return;
        const QModelIndex index = model_->index(last, ui->runTable->currentIndex().isValid()
                                                          ? ui->runTable->currentIndex().column()
                                                          : 0);
        ui->runTable->setCurrentIndex(index);
        ui->runTable->scrollTo(index);
    });
    QAction* undo = undoStack_.createUndoAction(this);
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(undo);
    connect(ui->undoDelete, &QPushButton::clicked, &undoStack_, &QUndoStack::undo);
    connect(&undoStack_, &QUndoStack::canUndoChanged, ui->undoDelete, &QWidget::setEnabled);
    connect(ui->addVehicle, &QPushButton::clicked, this, [this] { openVehicleDialog(false); });
    connect(ui->editVehicle, &QPushButton::clicked, this, [this] { openVehicleDialog(true); });
}

void LogSection::refreshChoices() {
    runlog::RunLog* log = store_.log();
    const QVariant vehicle = ui->vehicleFilter->currentData();
    const QString strip =
        ui->stripFilter->currentIndex() > 0 ? ui->stripFilter->currentText() : QString();
    const QSignalBlocker vehicleBlocker(ui->vehicleFilter);
    const QSignalBlocker stripBlocker(ui->stripFilter);
    ui->vehicleFilter->clear();
    ui->stripFilter->clear();
    ui->vehicleFilter->addItem(tr("All vehicles"));
    ui->stripFilter->addItem(tr("All strips"));
    if (log != nullptr) {
        if (const auto vehicles = log->vehicles(); !runlog::logErrorOf(vehicles)) {
            for (const auto& known : std::get<std::vector<runlog::Vehicle>>(vehicles)) {
                ui->vehicleFilter->addItem(qtText(known.name),
                                           QVariant::fromValue<qint64>(known.id));
            }
        }
        if (const auto strips = log->strips(); !runlog::logErrorOf(strips)) {
            for (const std::string& name : std::get<std::vector<std::string>>(strips)) {
                ui->stripFilter->addItem(qtText(name));
            }
        }
    }
    ui->vehicleFilter->setCurrentIndex(std::max(0, ui->vehicleFilter->findData(vehicle)));
    ui->stripFilter->setCurrentIndex(
        strip.isEmpty() ? 0 : std::max(0, ui->stripFilter->findText(strip)));
}

runlog::RunFilter LogSection::filter() const {
    runlog::RunFilter filter;
    if (ui->vehicleFilter->currentIndex() > 0) {
        filter.vehicleId = ui->vehicleFilter->currentData().toLongLong();
    }
    if (ui->stripFilter->currentIndex() > 0)
        filter.strip = plainText(ui->stripFilter->currentText());
    if (ui->dateFilter->isChecked()) {
        filter.from = plainMoment(ui->fromDate->date().startOfDay());
        filter.to = plainMoment(ui->toDate->date().endOfDay());
    }
    return filter;
}

void LogSection::applyFilter() {
    if (model_) model_->setFilter(filter());
    updateButtons();
}

std::vector<RunId> LogSection::selectedRuns() const {
    std::vector<RunId> ids;
    if (!model_) return ids;
    for (const QModelIndex& row : ui->runTable->selectionModel()->selectedRows()) {
        ids.push_back(model_->runAt(row.row()).id);
    }
    return ids;
}

void LogSection::updateButtons() {
    const bool writable = store_.writable();
    const bool chosen = model_ && ui->runTable->selectionModel()->hasSelection();
    ui->addRun->setEnabled(writable);
    ui->addVehicle->setEnabled(writable);
    ui->editRun->setEnabled(writable && chosen);
    ui->deleteRun->setEnabled(writable && chosen);
    ui->editVehicle->setEnabled(writable && ui->vehicleFilter->currentIndex() > 0);
    ui->undoDelete->setEnabled(undoStack_.canUndo());
    tellImportAllowed();
    for (QWidget* filterWidget :
         {static_cast<QWidget*>(ui->vehicleFilter), static_cast<QWidget*>(ui->stripFilter),
          static_cast<QWidget*>(ui->dateFilter)}) {
        filterWidget->setEnabled(model_ != nullptr);
    }
}

void LogSection::deleteSelectedRuns() {
    auto ids = selectedRuns();
    if (ids.empty() || !store_.writable()) return;
    // Every loaded row chosen (Ctrl+A) while more are shown beyond them: the
    // user means all the runs shown, not the first pages.
    const auto& shown = model_->shownRunIds();
    if (ids.size() == static_cast<std::size_t>(model_->rowCount()) && shown.size() > ids.size()) {
        if (!confirmed(messages_, this, tr("Delete runs"),
                       tr("Delete all %n runs shown? Ctrl+Z puts them back.", "",
                          static_cast<int>(shown.size())))) {
            return;
        }
        ids = shown;
    }
    undoStack_.push(new DeleteRunsCommand(
        store_, ids, this, [this](const QString& message) { emit reported(message); }));
    emit reported(tr("%1 deleted; Ctrl+Z puts %2 back.")
                      .arg(runCount(ids.size()), ids.size() == 1 ? tr("it") : tr("them")));
}

void LogSection::openRunDialog(const std::optional<Run>& run) {
    if (!store_.writable()) return;
    auto vehicles = store_.log()->vehicles();
    if (const auto* error = runlog::logErrorOf(vehicles)) {
        store_.tellFailure(*error, this);
        return;
    }
    auto strips = store_.log()->stripElevations();
    if (const auto* error = runlog::logErrorOf(strips)) {
        store_.tellFailure(*error, this);
        return;
    }
    auto* dialog = new RunDialog(
        std::get<std::vector<runlog::Vehicle>>(vehicles),
        std::get<std::vector<runlog::RunLog::KnownStrip>>(strips), system_,
        [this](const Run& typed) -> runlog::LogStatus {
            if (auto refused = confirmUnusualEt(typed)) return refused;
            runlog::LogStatus status;
            if (typed.id == 0) {
                auto added = store_.log()->addRun(typed);
                if (const auto* error = runlog::logErrorOf(added)) status = *error;
            } else {
                status = store_.log()->updateRun(typed);
            }
            if (!status) store_.changed({}, this);
            updateButtons();
            return status;
        },
        this);
    // A run made today was made in today's air, not on a standard day.
    if (run) {
        dialog->setRun(*run);
    } else if (const auto weather = todaysAir_.weather()) {
        dialog->setWeather(*weather);
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

runlog::LogStatus LogSection::confirmUnusualEt(const Run& typed) {
    const auto logged =
        store_.log()->recentRuns(typed.vehicleId, typed.nitrousJetInches, runlog::runsToJudgeBy);
    const auto* runs = std::get_if<std::vector<Run>>(&logged);
    if (runs == nullptr ||
        !runlog::farFromLoggedRuns(typed, runlog::runsOnAJet(*runs, raceday::defaultStandard),
                                   raceday::defaultStandard))
        return {};
    const QString et = QString::fromStdString(
        raceday::displayText(typed.etSeconds, raceday::Quantity::Time, system_));
    const QString jet = QString::fromStdString(runlog::jetRunsText(typed.nitrousJetInches));
    const QString question =
        tr("ET %1 is far from this vehicle's other runs (%2). Keep it?").arg(et, jet);
    if (confirmed(messages_, this, tr("Unusual ET"), question)) return {};
    return runlog::LogError{
        runlog::Problem::Invalid,
        plainText(tr("ET %1 is far from this vehicle's other runs (%2); the run was not saved. "
                     "Correct the ET, or press OK and answer Yes to keep it.")
                      .arg(et, jet))};
}

void LogSection::openVehicleDialog(bool editChosen) {
    if (!store_.writable()) return;
    auto* dialog = new VehicleDialog(
        [this](const runlog::Vehicle& typed) -> runlog::LogStatus {
            runlog::LogStatus status;
            if (typed.id == 0) {
                auto added = store_.log()->addVehicle(typed);
                if (const auto* error = runlog::logErrorOf(added)) status = *error;
            } else {
                status = store_.log()->updateVehicle(typed);
            }
            if (!status) store_.changed({}, this);
            updateButtons();
            return status;
        },
        this);
    if (editChosen) {
        auto vehicle = store_.log()->vehicle(ui->vehicleFilter->currentData().toLongLong());
        if (const auto* error = runlog::logErrorOf(vehicle)) {
            store_.tellFailure(*error, this);
            delete dialog;
            return;
        }
        dialog->setVehicle(std::get<runlog::Vehicle>(vehicle));
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void LogSection::setUnitSystem(raceday::UnitSystem system) {
    system_ = system;
    if (model_) model_->setUnitSystem(system);
    prediction_->setUnitSystem(system);
    charts_->setUnitSystem(system);
}

QString LogSection::whyNoImport() const {
    return tr("The run log cannot be written, so nothing can be imported. %1")
        .arg(store_.whyNotWritable());
}

void LogSection::tellImportAllowed() {
    const bool allowed = store_.writable();
    emit importAllowed(allowed, allowed ? QString() : whyNoImport());
}

void LogSection::importRuns() {
    if (!store_.writable()) {
        messages_.error(this, tr("Import runs"), whyNoImport());
        return;
    }
    const QString name =
        files_.openFileName(this, tr("Import runs"), tr("CSV files (*.csv);;All files (*)"));
    if (name.isEmpty()) return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        messages_.error(this, tr("Import runs"),
                        tr("%1 could not be read: %2").arg(name, file.errorString()));
        return;
    }
    std::ifstream in(QFile::encodeName(name).toStdString(), std::ios::binary);
    bool cancelled = false;
    // Nothing else in the section may use the log while the worker has it.
    setEnabled(false);
    emit importAllowed(false, tr("An import is running."));
    store_.lend(true);
    const auto result = importBehindProgress(*store_.log(), in, file.size(), window(), cancelled);
    store_.lend(false);
    setEnabled(true);
    tellImportAllowed();
    if (cancelled) {
        emit reported(tr("The import was cancelled; the log is as it was."));
        return;
    }
    if (const auto* error = runlog::logErrorOf(result)) {
        store_.tellFailure(*error, this);
        return;
    }
    const auto& imported = std::get<runlog::CsvImport>(result);
    store_.changed({}, this);
    QString message =
        tr("%1 imported from %2.").arg(runCount(static_cast<std::size_t>(imported.imported)), name);
    if (!imported.newVehicles.empty()) {
        QStringList names;
        for (const std::string& vehicle : imported.newVehicles) names << qtText(vehicle);
        message +=
            QLatin1Char(' ') + tr("New vehicles, with the Moravik window's initial inputs: %1.")
                                   .arg(names.join(QStringLiteral(", ")));
    }
    for (const std::string& note : runlog::importNotes(imported)) {
        message += QLatin1Char(' ') + qtText(note) + QLatin1Char('.');
    }
    if (imported.problems.empty()) {
        emit reported(message);
        return;
    }
    showLeftOutRows(imported, message, this);
}

void LogSection::exportRuns() {
    if (store_.log() == nullptr) {
        messages_.error(this, tr("Export runs"), store_.note());
        return;
    }
    const QString name = files_.saveFileName(this, tr("Export the runs shown"),
                                             QStringLiteral("runs.csv"), tr("CSV files (*.csv)"));
    if (name.isEmpty()) return;
    QSaveFile file(name);
    runlog::LogStatus status;
    if (file.open(QIODevice::WriteOnly)) {
        std::ostringstream csv;
        status = runlog::exportRunsCsv(*store_.log(), filter(), system_, csv);
        if (!status) file.write(QByteArray::fromStdString(csv.str()));
    }
    if (status) {
        store_.tellFailure(*status, this);
    } else if (!file.commit()) {
        messages_.error(this, tr("Export runs"),
                        tr("%1 could not be written: %2").arg(name, file.errorString()));
    } else {
        emit reported(tr("The runs shown were exported to %1.").arg(name));
    }
}

}  // namespace moravik::raceday_window
