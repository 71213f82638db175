// Saving a chart as the user asks: SVG when the name ends in .svg, else PNG.
#pragma once

#include <QString>

class QChartView;
class QWidget;

namespace moravik::raceday_window {

class FileChooser;

bool saveChartView(QChartView& view, const QString& fileName);

// Asks for a file name and saves there; gives the message for the status bar,
// empty when the user cancelled.
QString chooseFileAndSaveChart(FileChooser& files, QChartView& view, QWidget* parent,
                               const QString& suggestedName);

}  // namespace moravik::raceday_window
