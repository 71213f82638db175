// Renders every window to a PNG file for people to look at: the main window
// after a Calculate with Denver chosen, the support and About windows, and the
// three help documents that lie beside the program.
#include <QComboBox>
#include <QDir>
#include <QPushButton>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

class Screenshots : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        applyLook();
        QVERIFY(QDir().mkpath(MORAVIK_SCREENSHOT_DIR));
    }

    void windows_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("file");
        QTest::newRow("main") << ""
                              << ""
                              << "Form1"
                              << "main-window.png";
        QTest::newRow("support") << "Shareware"
                                 << ""
                                 << "Form5"
                                 << "support-window.png";
        QTest::newRow("About") << "About"
                               << ""
                               << "Form6"
                               << "about-window.png";
        QTest::newRow("Field Inputs") << "Help"
                                      << "Field Inputs"
                                      << "Form2"
                                      << "field-inputs-window.png";
        QTest::newRow("FAQ") << "Help"
                             << "FAQ"
                             << "Form3"
                             << "faq-window.png";
        QTest::newRow("Nitrous 101") << "Help"
                                     << "Nitrous 101"
                                     << "Form4"
                                     << "nitrous-101-window.png";
    }
    void windows() {
        QFETCH(QString, entry);
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, file);
        MainWindow main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.window));
        QWidget* shown = &main.window;
        if (entry.isEmpty()) {
            main.find<QComboBox>("altitudeDD")->setCurrentIndex(6);
            QTest::mouseClick(main.find<QPushButton>("cal"), Qt::LeftButton);
            QVERIFY(main.find<QLineEdit>("huntalt")->text() != " 0");
        } else {
            QVERIFY(chooseMenu(main.window, entry, item));
            shown = visibleTopLevel(window);
            QVERIFY2(shown, qPrintable(main.messages.messages.join('\n')));
            QVERIFY(QTest::qWaitForWindowExposed(shown));
        }
        const QString path = QDir(MORAVIK_SCREENSHOT_DIR).filePath(file);
        QVERIFY(shown->grab().save(path));
        qInfo("%s", qPrintable(path));
    }
};

QTEST_MAIN(Screenshots)
#include "screenshots.moc"
