#include "start_up.h"

#include <QApplication>
#include <QByteArray>
#include <QCommandLineParser>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace moravik::desktop {
namespace {

// Qt's reasons are cut here, so that the one line stays readable.
constexpr qsizetype maxReasonCharacters = 400;

// Qt ends the process with abort() and several lines about platform plugins
// when it cannot reach a display. While the application object is made, its
// messages are held back: a fatal one becomes one plain line and a normal
// exit; on success they go out as they would have. The line says that no
// display is set only when none is; otherwise it gives Qt's own reasons, such
// as a display server that refuses the connection.
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
        const QMutexLocker lock(&mutex);
        if (type == QtFatalMsg) {
            // One write, so that the line stays whole beside other programs' output.
            const QByteArray line = fatalLine(text);
            std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
            std::_Exit(noDisplayStatus);
        }
        held.push_back(
            {type, context.file, context.function, context.category, context.line, text});
    }

public:
    static inline std::string program = "moravik";

private:
    // Called with the mutex held.
    static QByteArray fatalLine(const QString& fatal) {
        if (!qEnvironmentVariableIsSet("DISPLAY") &&
            !qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
            !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            return QByteArray::fromStdString(program) +
                   ": cannot open the window: no display is available (check DISPLAY or "
                   "WAYLAND_DISPLAY); moravik-calc runs without one\n";
        }
        QStringList reasons;
        for (const Held& message : held) {
            if (message.type != QtWarningMsg && message.type != QtCriticalMsg) continue;
            const QString category = QString::fromUtf8(message.category);
            reasons << (category.isEmpty() || category == QStringLiteral("default")
                            ? message.text
                            : category + QStringLiteral(": ") + message.text);
        }
        // Qt lists the platform plugins after a blank line: the first line is the reason.
        reasons << fatal.section(u'\n', 0, 0);
        return QByteArray::fromStdString(program) + ": cannot open the window: " +
               reasons.join(QStringLiteral("; "))
                   .simplified()
                   .left(maxReasonCharacters)
                   .toLocal8Bit() +
               "\n";
    }

    static inline QtMessageHandler previous = nullptr;
    static inline QMutex mutex;
    static inline std::vector<Held> held;
};

}  // namespace

void answerHelpOrVersion(int argc, char* argv[], const ProgramText& program) {
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        asked = asked || argument == "-h" || argument == "--help" || argument == "-?" ||
                argument == "--help-all" || argument == "-v" || argument == "--version";
    }
    if (!asked) return;
    // A core application reads the command line without a display; it ends
    // the process once it has shown the help or the version, or named an
    // argument it does not know (status 1).
    int count = argc;
    const QCoreApplication core(count, argv);
    QCoreApplication::setApplicationName(program.name);
    QCoreApplication::setApplicationVersion(QStringLiteral(MORAVIK_VERSION));
    QCommandLineParser options;
    options.setApplicationDescription(program.description);
    options.addHelpOption();
    options.addVersionOption();
    options.process(core);
    options.showHelp(1);  // neither was given after all, as in "-vx"
}

std::unique_ptr<QApplication> makeApplication(int& argc, char* argv[], const char* program) {
    StartupMessages::program = program;
    StartupMessages startupMessages;
    auto app = std::make_unique<QApplication>(argc, argv);
    startupMessages.release();
    return app;
}

QString applicationId(Program program) {
    switch (program) {
        case Program::Moravik:
            return QStringLiteral(MORAVIK_APP_ID);
        case Program::RaceDay:
            return QStringLiteral(MORAVIK_RACEDAY_APP_ID);
    }
    return {};
}

}  // namespace moravik::desktop
