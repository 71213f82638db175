#include "secondary_window.h"

#include <QCloseEvent>

namespace moravik::ui {

bool SecondaryWindow::present() {
    if (!loaded) {
        if (!load()) return false;
        loaded = true;
    }
    show();
    raise();
    activateWindow();
    return true;
}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
    unload();
    loaded = false;
    event->accept();
}

}  // namespace moravik::ui
