// The start-up of the window program, shared by moravik and the start-up
// benchmark: the application object, the design's look, the main window and
// the event loop.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QApplication;

namespace moravik::ui {

class MainWindow;

// What a window program says of itself on its command line.
struct ProgramText {
    QString name;         // "moravik-raceday"
    QString description;  // the --help text above the options, with the exit statuses
};

// Answers --help and --version before a display is needed, and then ends the
// process; without them it returns and leaves the arguments alone.
void answerHelpOrVersion(int argc, char* argv[], const ProgramText& program);

// The application object, made with Qt's start-up messages held back: without
// a display the process ends with one line naming `program` on standard
// error and noDisplayStatus, never with Qt's abort.
std::unique_ptr<QApplication> makeApplication(int& argc, char* argv[], const char* program);

// Runs the window program until the main window ends it, and returns its exit
// status. beforeShow, when given, sees the main window just before it is
// shown. Without a display it says so in one line on standard error and
// returns noDisplayStatus instead of aborting.
int runApplication(int& argc, char* argv[],
                   const std::function<void(MainWindow&)>& beforeShow = {});

inline constexpr int noDisplayStatus = 1;

}  // namespace moravik::ui
