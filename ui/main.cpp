#include <QApplication>

#include "form1.h"
#include "look.h"
#include "services.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Moravik"));
    moravik::ui::applyDesignLook(app);
    moravik::ui::MessageBoxSink messages;
    moravik::ui::DesktopUrlOpener browser;
    moravik::ui::Form1 form1({messages, browser});
    QObject::connect(&form1, &moravik::ui::Form1::exitRequested, &app,
                     [] { QCoreApplication::exit(0); });
    form1.show();
    return QApplication::exec();
}
