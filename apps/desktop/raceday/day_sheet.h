// The day sheet: a PDF the racer tapes in the car or takes to the lanes, with a page for each
// vehicle and jet: the dial-in largest of all, where and when, today's air and where it came
// from, a table for re-dialling as the air changes, the last runs and their chart.
//
// The sheet prints the texts it is given and draws the points, so it knows nothing of the run
// log: daySheetFromLog (day_sheet_builder.h) fills it.
#pragma once

#include <QPageSize>
#include <QString>
#include <optional>
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

// A row of the re-dial table: the dial-in at a density altitude near today's.
struct DaySheetRedial {
    std::string densityAltitude;
    std::string dialIn;
    bool today = false;
};

struct DaySheetPage {
    std::string vehicle;
    std::string jet;                 // "jet .045" or "no nitrous"
    std::string strip;               // the strip and its elevation, of the newest run
    std::string dialIn;              // the figure to write on the car; empty when there is none
    std::vector<std::string> lines;  // the prediction behind it, or why there is none
    std::vector<DaySheetRedial> redial;
    std::vector<DaySheetRun> runs;     // newest first
    std::vector<DaySheetPoint> chart;  // the runs on this jet
    std::vector<DaySheetPoint> line;   // the prediction across the chart
    std::optional<DaySheetPoint> today;
};

struct DaySheet {
    std::string title;             // with the day and the time
    std::string airSource;         // typed, or the METAR's station and time
    std::vector<std::string> air;  // today's air, a line a figure, on every page
    std::string altitudeUnit;      // of the chart's axis
    QPageSize::PageSizeId paper = QPageSize::A4;
    std::vector<DaySheetPage> pages;
};

// The chart's axis: ticks at 1, 2 or 5 times a power of ten, at most `most` steps over the
// range, from a multiple of the step at or below `low` to one at or above `high`.
struct Ticks {
    double first;
    double step;
    int count;     // of intervals
    int decimals;  // enough to tell the ticks apart
};
Ticks roundTicks(double low, double high, int most);

// A4, or Letter where the locale measures in inches.
QPageSize::PageSizeId localPaper();

// Writes the sheet; the message for the status bar says where, or why it could not.
struct DaySheetWritten {
    bool ok;
    QString message;
};
DaySheetWritten writeDaySheet(const DaySheet& sheet, const QString& fileName);

}  // namespace moravik::raceday_window
