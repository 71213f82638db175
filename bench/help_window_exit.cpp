// How soon a help window can answer Exit while it loads each hostile file of
// tests/rtf/hostile_files.h: the longest time the window's thread goes without taking an event,
// from the start of the load until the document is laid out to its end (or refused), and how
// long closing the window then takes. The goal is 0.2 s at any moment of a load.
//
//     help_window_exit [ROUNDS [PART-OF-A-NAME]]
//
// It writes each file as the field-input help document beside itself, so it runs from a folder
// of its own. The figures are medians of ROUNDS (3) loads; the load average is printed too, as
// the worker thread shares the processors with whatever else runs.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "document_window.h"
#include "hostile_files.h"
#include "messages.h"

namespace {

class QuietMessages final : public moravik::desktop::Messages {
public:
    void error(QWidget*, const QString&, const QString&) override {}
    int ask(QWidget*, const moravik::desktop::Question& question) override {
        return question.cancelAnswer;
    }
};

class NoBrowser final : public moravik::ui::UrlOpener {
public:
    bool open(const QUrl&) override { return false; }
};

// Processor time of the calling thread: on a busy machine a slice's wall time also counts the
// time other programs held the processor.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Slice {
    double wallMs = 0;
    double processorMs = 0;
};

// The longest gaps between the ticks of a timer that asks to run every millisecond.
class GapWatch {
public:
    GapWatch() {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        longest = {};
        sinceTick.start();
        processorAtTick = threadMilliseconds();
        timer.start(1);
    }
    Slice stop() {
        tick();
        timer.stop();
        return longest;
    }

private:
    void tick() {
        const double processor = threadMilliseconds();
        longest.wallMs = std::max(longest.wallMs, double(sinceTick.nsecsElapsed()) / 1e6);
        longest.processorMs = std::max(longest.processorMs, processor - processorAtTick);
        sinceTick.restart();
        processorAtTick = processor;
    }

    QTimer timer;
    QElapsedTimer sinceTick;
    double processorAtTick = 0;
    Slice longest;
};

// Shown and laid out to its last block, or closed after a refusal.
bool loadEnded(const QWidget& window, const QTextBrowser& view) {
    if (!window.isVisible()) return true;
    const QTextDocument& document = *view.document();
    if (document.toPlainText() == QStringLiteral("Loading\u2026")) return false;
    const QTextLayout* last = document.lastBlock().layout();
    return last != nullptr && last->lineCount() > 0;
}

struct Figures {
    Slice longest;
    double closeMs = 0;
    double loadMs = 0;
};

Figures loadOnce(moravik::ui::DocumentWindow& window) {
    auto& view = *window.findChild<QTextBrowser*>();
    GapWatch gaps;
    QElapsedTimer wall;
    wall.start();
    gaps.start();
    window.present();
    while (!loadEnded(window, view) && wall.elapsed() < 60'000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    Figures figures;
    figures.loadMs = double(wall.nsecsElapsed()) / 1e6;
    figures.longest = gaps.stop();
    QElapsedTimer closing;
    closing.start();
    window.close();
    figures.closeMs = double(closing.nsecsElapsed()) / 1e6;
    return figures;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

QByteArray loadAverage() {
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : "unknown";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QuietMessages messages;
    NoBrowser browser;
    moravik::ui::DocumentWindow window({messages, browser}, moravik::ui::HelpWindow::FieldInputs);
    window.resize(600, 400);
    std::printf("load average before: %s\n", loadAverage().constData());
    std::printf("longest slice of the window's thread (wall, processor), closing, whole load; ms\n");
    std::printf("    wall   thread    close     load  file\n");
    for (const moravik::rtf::HostileFile& file : moravik::rtf::hostileFiles()) {
        if (!QString::fromUtf8(file.what).contains(only)) continue;
        moravik::rtf::writeHostileFile(window.documentPath().toStdString(), file, file.bytes);
        std::vector<double> walls, processors, closes, loads;
        for (int round = 0; round < rounds; ++round) {
            const Figures figures = loadOnce(window);
            walls.push_back(figures.longest.wallMs);
            processors.push_back(figures.longest.processorMs);
            closes.push_back(figures.closeMs);
            loads.push_back(figures.loadMs);
        }
        QString line;
        for (const double figure : {median(walls), median(processors), median(closes), median(loads)})
            line += QString::number(figure, 'f', 0).rightJustified(8) + ' ';
        std::printf("%s %s\n", qPrintable(line), file.what);
        std::fflush(stdout);
    }
    QFile::remove(window.documentPath());
    std::printf("load average after: %s\n", loadAverage().constData());
    return 0;
}
