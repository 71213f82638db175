// The Race Day window: one tab per section, a global Imperial/Metric choice,
// File → Day sheet (PDF), Help → About, and the settings kept between runs.
//
// Each section is its own form and class (section.h). The window only lists
// them, hands each the unit system and its settings group, and shows the
// current section's problem in the status bar.
#pragma once

#include <QMainWindow>
#include <QPageSize>
#include <QScopedPointer>

#include "section.h"

namespace Ui {
class RaceDayWindow;
}

class QLabel;
class QSettings;

namespace moravik::desktop {
class Messages;
}

namespace moravik::raceday_window {

class FileChooser;
class LogSection;
class LogStore;

// Names the application for QSettings and the desktop, and gives it the main
// window's look.
void setUpApplication(class QApplication& app);

class RaceDayWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Opens the run log at `logPath` (one file for each user by default).
    RaceDayWindow(FileChooser& files, desktop::Messages& messages, const QString& logPath);
    ~RaceDayWindow() override;

    QList<Section*> sections() const { return sections_; }
    void setUnitSystem(raceday::UnitSystem system);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addSection(Section* section);
    void showSection(Section* section);
    void showProblem();
    void loadSettings();
    void saveSettings() const;
    // Shrinks and moves the window into the screen's available area.
    void fitOnScreen();
    void showAbout();
    // Asks for the dial-in margin and a file name, then writes the day sheet.
    void askForDaySheet();
    void saveDaySheet(double marginSeconds, QPageSize::PageSizeId paper);

    const QScopedPointer<Ui::RaceDayWindow> ui;
    FileChooser& files_;
    TodaysAir todaysAir_;
    LogStore* logStore_;
    QList<Section*> sections_;
    raceday::UnitSystem system_ = raceday::UnitSystem::Imperial;
    QLabel* settingsNote_;
    // False when a damaged settings file could not be set aside.
    bool keepSettings_ = true;
    bool fitPending_ = false;
};

}  // namespace moravik::raceday_window
