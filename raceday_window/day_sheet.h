// The day sheet: a PDF with one page per vehicle for the racer's notebook, with today's air, the
// dial-in, the last runs and the ET against density altitude chart.
//
// The sheet prints the texts it is given and draws the points, so it knows nothing of the run
// log: daySheetFromLog (day_sheet_builder.h) fills it.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace moravik::raceday_window {

struct DaySheetRun {
    std::string when;
    std::string et;
    std::string correctedEt;
};

struct DaySheetPoint {
    double densityAltitude;  // in the sheet's altitude unit
    double etSeconds;
};

struct DaySheetPage {
    std::string vehicle;
    std::vector<std::string> dialIn;  // lines; why there is none when it cannot be worked out
    std::vector<DaySheetRun> runs;    // newest first
    std::vector<DaySheetPoint> chart;
};

struct DaySheet {
    std::string title;             // with the day
    std::vector<std::string> air;  // today's air, a line a figure, on every page
    std::string altitudeUnit;      // of the chart's axis
    std::vector<DaySheetPage> pages;
};

// Writes the sheet; the message for the status bar says where, or why it could not.
struct DaySheetWritten {
    bool ok;
    QString message;
};
DaySheetWritten writeDaySheet(const DaySheet& sheet, const QString& fileName);

}  // namespace moravik::raceday_window
