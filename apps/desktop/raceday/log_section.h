// The run log: a table of runs to filter, sort, add to, edit and delete from
// (deletions undoable until the window closes), the prediction and
// horsepower from a vehicle's runs, and charts of them. CSV import and export
// are in the File menu.
#pragma once

#include <QScopedPointer>
#include <QUndoStack>
#include <memory>

#include "run_table_model.h"
#include "section.h"

namespace Ui {
class LogSection;
}

namespace moravik::desktop {
class Messages;
}

namespace moravik::raceday_window {

class FileChooser;
class LogChartsPage;
class LogPredictionPage;
class LogStore;

class LogSection final : public Section {
    Q_OBJECT
public:
    LogSection(LogStore& store, const TodaysAir& todaysAir, FileChooser& files,
               desktop::Messages& messages, QWidget* parent = nullptr);
    ~LogSection() override;

    void setUnitSystem(raceday::UnitSystem system) override;

    void importRuns();
    void exportRuns();
    // Tells importAllowed again, for a menu made after the section.
    void tellImportAllowed();

signals:
    // A short message for the status bar.
    void reported(const QString& message);
    // Whether runs can be imported now, and why not when they cannot.
    void importAllowed(bool allowed, const QString& why);

private:
    void connectActions();
    // Shows the store's log: at start, and when another takes its place.
    void showLog();
    void showNote();
    void refreshChoices();
    runlog::RunFilter filter() const;
    void applyFilter();
    std::vector<runlog::RunId> selectedRuns() const;
    void openRunDialog(const std::optional<runlog::Run>& run);
    // An ET far from the vehicle's other runs on its jet is saved only when the user says so.
    runlog::LogStatus confirmUnusualEt(const runlog::Run& typed);
    void openVehicleDialog(bool editChosen);
    void deleteSelectedRuns();
    QString whyNoImport() const;
    void updateButtons();

    const QScopedPointer<Ui::LogSection> ui;
    LogStore& store_;
    const TodaysAir& todaysAir_;
    FileChooser& files_;
    desktop::Messages& messages_;
    std::unique_ptr<runlog::RunTableModel> model_;
    QUndoStack undoStack_;
    LogPredictionPage* prediction_;
    LogChartsPage* charts_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
};

}  // namespace moravik::raceday_window
