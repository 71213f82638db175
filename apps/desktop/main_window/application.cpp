#include "application.h"

#include <QApplication>
#include <QString>

#include "look.h"
#include "main_window.h"
#include "services.h"
#include "start_up.h"

namespace moravik::ui {

int runApplication(int& argc, char* argv[], const std::function<void(MainWindow&)>& beforeShow) {
    desktop::answerHelpOrVersion(
        argc, argv,
        {QStringLiteral("moravik"),
         QStringLiteral("Moravik: the nitrous jet, horsepower and quarter-mile calculator for drag "
                        "racers, in a window. moravik-calc does the same on the command line, "
                        "moravik-raceday the calculations for the day at the strip.\n\n"
                        "Exit status:\n"
                        "  0  the window was closed, or help or the version was shown\n"
                        "  1  no display is available, or the command line holds an unknown "
                        "option")});
    const auto application = desktop::makeApplication(argc, argv, "moravik");
    QApplication& app = *application;

    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(desktop::applicationId(desktop::Program::Moravik));
    desktop::applyDesignLook(app);
    desktop::MessageBoxes messages;
    DesktopUrlOpener browser;
    MainWindow window({messages, browser});
    QObject::connect(&window, &MainWindow::exitRequested, &app, [] { QCoreApplication::exit(0); });
    if (beforeShow) beforeShow(window);
    window.show();
    // Without a window manager nothing else gives the window the keyboard, and
    // its shortcuts (Alt+X, F10) wait for an active window.
    window.activateWindow();
    return QApplication::exec();
}

}  // namespace moravik::ui
