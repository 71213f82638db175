// Renders every window to a PNG file for people to look at: the main window
// after a Calculate with Denver chosen, the support and About windows, and the
// three help documents that lie beside the program.
// Usage: screenshot_generator FOLDER
#include <QComboBox>
#include <QDir>
#include <QTextBrowser>
#include <cstdio>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: screenshot_generator FOLDER\n", stderr);
        return 2;
    }
    moravik::desktop::applyDesignLook(app);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) return 1;
    App main;
    main.find<QComboBox>("altitudeDD")->setCurrentIndex(6);
    QTest::mouseClick(main.find("cal"), Qt::LeftButton);
    const QMap<QString, QString> files{{"Form1", "main-window"},  {"Form5", "support-window"},
                                       {"Form6", "about-window"}, {"Form2", "field-inputs-window"},
                                       {"Form3", "faq-window"},   {"Form4", "nitrous-101-window"}};
    for (auto file = files.begin(); file != files.end(); ++file) {
        QWidget* shown = main.show(file.key());
        // A help window shows "Loading…" until its document is read.
        const auto* view = shown ? shown->findChild<QTextBrowser*>() : nullptr;
        const bool ready = !view || QTest::qWaitFor([view] {
            return view->toPlainText() != QStringLiteral("Loading\u2026");
        });
        const QString path = folder.filePath(file.value() + ".png");
        if (!shown || !ready || !shown->grab().save(path)) {
            std::fprintf(stderr, "screenshots: %s not written: %s\n", qPrintable(path),
                         qPrintable(main.told.errors.join(' ')));
            return 1;
        }
    }
    return 0;
}
