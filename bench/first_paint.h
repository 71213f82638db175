// Ends a start-up probe once its window has been painted for the first time,
// the moment a user would see it.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace moravik::bench {

inline void quitAfterFirstPaint(QWidget& window) {
    class FirstPaint final : public QObject {
    public:
        using QObject::QObject;

    protected:
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && !painted) {
                painted = true;
                // Quit after the whole window, children included, is drawn.
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
            return false;
        }

    private:
        bool painted = false;
    };
    window.installEventFilter(new FirstPaint(&window));
}

}  // namespace moravik::bench
