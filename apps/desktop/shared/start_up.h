// The start-up both window programs share: --help and --version without a
// display, one plain line instead of Qt's abort when no display is available,
// and the application ids from the build's one list (apps/desktop/shared/CMakeLists.txt).
#pragma once

#include <QString>
#include <memory>

class QApplication;

namespace moravik::desktop {

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

inline constexpr int noDisplayStatus = 1;

enum class Program { Moravik, RaceDay };

// The application id, which is also the name of the program's desktop file.
QString applicationId(Program program);

}  // namespace moravik::desktop
