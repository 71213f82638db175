// Moravik's start-up as in ui/main.cpp, ending once the main window has been
// painted for the first time.
#include <QApplication>

#include "first_paint.h"
#include "form1.h"
#include "look.h"
#include "services.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    moravik::ui::applyDesignLook(app);
    moravik::ui::MessageBoxSink messages;
    moravik::ui::DesktopUrlOpener browser;
    moravik::ui::Form1 form1({messages, browser});
    moravik::bench::quitAfterFirstPaint(form1);
    form1.show();
    return QApplication::exec();
}
