// The start-up of the main window program, shared by moravik and the start-up
// benchmark: the application object, the design's look, the main window and
// the event loop (the parts Race Day shares are in apps/desktop/shared/start_up.h).
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QApplication;

namespace moravik::ui {

class MainWindow;

// Runs the window program until the main window ends it, and returns its exit
// status. beforeShow, when given, sees the main window just before it is
// shown. Without a display it says so in one line on standard error and
// returns desktop::noDisplayStatus instead of aborting.
int runApplication(int& argc, char* argv[],
                   const std::function<void(MainWindow&)>& beforeShow = {});

}  // namespace moravik::ui
