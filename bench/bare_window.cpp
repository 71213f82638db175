// The baseline of the start-up benchmark: a bare Qt Widgets window of the main
// window's size, shown and painted once.
#include <QApplication>
#include <QWidget>

#include "first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(577, 640);
    moravik::bench::quitAfterFirstPaint(window);
    window.show();
    return QApplication::exec();
}
