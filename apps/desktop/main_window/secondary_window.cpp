#include "secondary_window.h"

#include <QCloseEvent>

namespace moravik::ui {

SecondaryWindow::SecondaryWindow(std::optional<QPoint> designPosition)
    : designPosition(designPosition) {}

void SecondaryWindow::present() {
    if (!loaded) {
        if (!load()) return;
        loaded = true;
    }
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

bool SecondaryWindow::load() {
    if (designPosition) setGeometry(QRect(*designPosition, size()));
    return true;
}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
    unload();
    loaded = false;
    event->accept();
}

}  // namespace moravik::ui
