// Saving a chart as the user asks: SVG when the name ends in .svg, else PNG.
#pragma once

#include <QString>
#include <optional>

class QChartView;
class QWidget;

namespace moravik::raceday_window {

class FileChooser;

// `title` heads the saved picture, so it says what it shows away from the window.
bool saveChartView(QChartView& view, const QString& fileName, const QString& title);

// Asks for a file name and saves there; gives the message for the status bar,
// nothing when the user cancelled.
std::optional<QString> chooseFileAndSaveChart(FileChooser& files, QChartView& view, QWidget* parent,
                                              const QString& suggestedName, const QString& title);

}  // namespace moravik::raceday_window
