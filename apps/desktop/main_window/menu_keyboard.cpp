#include "menu_keyboard.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace moravik::ui {

MenuBarKeys::MenuBarKeys(QWidget& window, QMenuBar& bar)
    : QObject(&window), window(window), bar(bar) {
    new QShortcut(QKeySequence(Qt::Key_F10), &window, this, &MenuBarKeys::toggleNavigation);
    for (const QAction* entry : bar.actions())
        if (entry->menu()) entry->menu()->installEventFilter(this);
}

// Qt's menu bar starts and ends its keyboard navigation on a lone Alt, and
// offers no other way in; F10 replays that key to it. (The event of an Alt key
// that goes down with no modifier held reports Alt as its modifier.)
void MenuBarKeys::toggleNavigation() {
    QKeyEvent altPressed(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &altPressed);
    QKeyEvent altReleased(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &altReleased);
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
    // The menu moves the highlight along the bar first; only then does it show
    // whether the new entry is one without a menu.
    static_cast<QObject*>(watched)->event(event);
    const QAction* highlighted = bar.activeAction();
    if (highlighted && !highlighted->menu() && !bar.hasFocus()) toggleNavigation();
    return true;
}

}  // namespace moravik::ui
