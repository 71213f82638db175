// Renders every window to a PNG file for people to look at: the main window
// after a Calculate with Denver chosen, the support and About windows, and the
// three help documents that lie beside the program.
#include <QComboBox>
#include <QDir>
#include <QTextBrowser>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

class Screenshots : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::ui::applyDesignLook(*qApp); }

    void everyWindow() {
        const QDir folder(MORAVIK_SCREENSHOT_DIR);
        QVERIFY(folder.mkpath("."));
        MainWindow main;
        main.find<QComboBox>("altitudeDD")->setCurrentIndex(6);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        const QMap<QString, QString> files{
            {"Form1", "main-window"},  {"Form5", "support-window"},
            {"Form6", "about-window"}, {"Form2", "field-inputs-window"},
            {"Form3", "faq-window"},   {"Form4", "nitrous-101-window"}};
        for (auto file = files.begin(); file != files.end(); ++file) {
            QWidget* shown = main.show(file.key());
            QVERIFY2(shown, qPrintable(main.messages.join('\n')));
            // A help window shows "Loading…" until its document is read.
            if (const auto* view = shown->findChild<QTextBrowser*>()) {
                QTRY_VERIFY(view->toPlainText() != QStringLiteral("Loading\u2026"));
            }
            QVERIFY(shown->grab().save(folder.filePath(file.value() + ".png")));
        }
    }
};

QTEST_MAIN(Screenshots)
#include "screenshots.moc"
