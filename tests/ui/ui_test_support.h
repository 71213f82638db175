// Fakes for the windows' seams and the user's hands: mouse and keyboard helpers
// that drive the windows as a user would.
#pragma once

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QTest>
#include <QUrl>
#include <memory>

#include "form1.h"
#include "look.h"
#include "services.h"

namespace moravik::ui::testing {

class RecordingMessageSink final : public MessageSink {
public:
    void showError(QWidget*, const QString& text) override { messages.append(text); }
    QStringList messages;
};

class FakeUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override {
        opened.append(url);
        return browserStarts;
    }
    QList<QUrl> opened;
    bool browserStarts = true;
};

inline void applyLook() {
    applyDesignLook(*qobject_cast<QApplication*>(QCoreApplication::instance()));
}

// The main window with recording seams, shown and active.
struct MainWindow {
    RecordingMessageSink messages;
    FakeUrlOpener browser;
    Form1 window{{messages, browser}};

    MainWindow() {
        window.show();
        window.activateWindow();
    }
    bool isActive() { return QTest::qWaitForWindowActive(&window); }
    template <class Widget = QWidget>
    Widget* find(const QString& name) const {
        return window.findChild<Widget*>(name);
    }
};

inline QAction* actionWithText(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

// Clicks a menu bar entry and, when given, an item of the drop-down it opens.
// Returns false when an entry is missing or the drop-down does not open.
inline bool chooseMenu(QMainWindow& window, const QString& entry, const QString& item = {}) {
    QMenuBar* bar = window.menuBar();
    QAction* top = actionWithText(bar->actions(), entry);
    if (!top) return false;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
    if (item.isEmpty()) return true;
    QMenu* menu = top->menu();
    if (!menu || !QTest::qWaitForWindowExposed(menu)) return false;
    QAction* action = actionWithText(menu->actions(), item);
    if (!action) return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    return true;
}

// Replaces a field's text by typing, as a user would after selecting it all.
inline void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Top-level widgets with the given object name, hidden ones included.
inline QWidgetList topLevelsNamed(const QString& name) {
    QWidgetList found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name) found.append(widget);
    }
    return found;
}

inline QWidget* visibleTopLevel(const QString& name) {
    for (QWidget* widget : topLevelsNamed(name)) {
        if (widget->isVisible()) return widget;
    }
    return nullptr;
}

}  // namespace moravik::ui::testing
