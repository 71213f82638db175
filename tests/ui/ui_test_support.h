// Helpers that drive the windows with mouse and keys as a user would.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QUrl>

#include "look.h"
#include "main_window.h"
#include "prepared_messages.h"
#include "typing.h"

namespace moravik::ui::testing {

using test_support::typeInto;

inline QWidgetList topLevelsNamed(const QString& name) {
    QWidgetList found = QApplication::topLevelWidgets();
    found.removeIf([&name](const QWidget* widget) { return widget->objectName() != name; });
    return found;
}

// The menu bar command that shows each window.
inline const QMap<QString, QString> menuCommands{{"Form2", "Field Inputs"},
                                                 {"Form3", "FAQ"},
                                                 {"Form4", "Nitrous 101"},
                                                 {"Form5", "Shareware"},
                                                 {"Form6", "About"}};

// The main window, shown, with its messages and browser starts recorded instead of done.
struct App final : UrlOpener {
    moravik::desktop::testing::PreparedMessages told;
    QList<QUrl> opened;
    bool browserStarts = true;
    MainWindow window{{told, *this}};

    bool open(const QUrl& url) override {
        opened.append(url);
        return browserStarts;
    }

    App() {
        window.show();
        window.activateWindow();
    }
    template <class Widget = QWidget>
    Widget* find(const QString& name) const {
        return window.findChild<Widget*>(name);
    }

    // Shows the window of this object name from its menu bar command; nullptr if none shows.
    QWidget* show(const QString& windowName) {
        if (windowName == "Form1") return QTest::qWaitForWindowExposed(&window) ? &window : nullptr;
        for (QAction* entry : window.menuBar()->actions())
            for (QAction* item : entry->menu() ? entry->menu()->actions() : QList{entry})
                if (item->text() == menuCommands[windowName]) item->trigger();
        for (QWidget* shown : topLevelsNamed(windowName))
            if (shown->isVisible()) return shown;
        return nullptr;
    }
};

}  // namespace moravik::ui::testing
