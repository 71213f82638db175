#pragma once

#include <QObject>

class QMenuBar;
class QWidget;

namespace moravik::ui {

// Keyboard use of a window's menu bar, as on every desktop: F10 or a lone Alt
// highlights the first entry, the arrow keys move through the entries and the
// items of a menu, Enter acts on the highlighted one and Esc leaves. Qt's menu
// bar does this for a lone Alt when the style allows it (see look.cpp). This
// adds F10, and keeps the bar in charge of the keys when Left or Right leaves
// an open menu for an entry without one; Qt would give the next Enter to the
// focused button there.
class MenuBarKeys final : public QObject {
public:
    // Lives as long as the window, which is its parent.
    MenuBarKeys(QWidget& window, QMenuBar& bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggleNavigation();

    QWidget& window;
    QMenuBar& bar;
};

}  // namespace moravik::ui
