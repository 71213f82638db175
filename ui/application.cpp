#include "application.h"

#include <QApplication>
#include <QByteArray>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "look.h"
#include "main_window.h"
#include "services.h"

namespace moravik::ui {
namespace {

// Qt ends the process with abort() and several lines about platform plugins
// when it cannot reach a display. While the application object is made, its
// messages are held back: a fatal one becomes one plain line and a normal
// exit; on success they go out as they would have.
class StartupMessages {
public:
    StartupMessages() { previous = qInstallMessageHandler(&StartupMessages::hold); }
    StartupMessages(const StartupMessages&) = delete;
    StartupMessages& operator=(const StartupMessages&) = delete;
    ~StartupMessages() { release(); }

    void release() {
        if (!previous) return;
        qInstallMessageHandler(previous);
        const QMutexLocker lock(&mutex);
        for (const Held& message : held) {
            const QMessageLogContext context(message.file.constData(), message.line,
                                             message.function.constData(),
                                             message.category.constData());
            previous(message.type, context, message.text);
        }
        held.clear();
        previous = nullptr;
    }

private:
    struct Held {
        QtMsgType type;
        QByteArray file, function, category;
        int line;
        QString text;
    };

    static void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtFatalMsg) {
            std::fputs(
                "moravik: cannot open the window: no display is available (check DISPLAY or "
                "WAYLAND_DISPLAY); moravik-calc runs without one\n",
                stderr);
            std::_Exit(noDisplayStatus);
        }
        const QMutexLocker lock(&mutex);
        held.push_back(
            {type, context.file, context.function, context.category, context.line, text});
    }

    static inline QtMessageHandler previous = nullptr;
    static inline QMutex mutex;
    static inline std::vector<Held> held;
};

}  // namespace

int runApplication(int& argc, char* argv[], const std::function<void(MainWindow&)>& beforeShow) {
    StartupMessages startupMessages;
    QApplication app(argc, argv);
    startupMessages.release();

    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Moravik"));
    applyDesignLook(app);
    MessageBoxSink messages;
    DesktopUrlOpener browser;
    MainWindow window({messages, browser});
    QObject::connect(&window, &MainWindow::exitRequested, &app, [] { QCoreApplication::exit(0); });
    if (beforeShow) beforeShow(window);
    window.show();
    // Without a window manager nothing else gives the window the keyboard, and
    // its shortcuts (Alt+X, F10) wait for an active window.
    window.activateWindow();
    return QApplication::exec();
}

}  // namespace moravik::ui
