// The About and support windows, and the rules every menu command follows:
// one window object per command, raised when open, reloaded after its close box.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include "contact.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

QWidget* showSupportWindow(MainWindow& main) {
    if (!chooseMenu(main.window, "Shareware")) return nullptr;
    return visibleTopLevel("Form5");
}

}  // namespace

class SecondaryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyLook(); }

    void eachCommandKeepsOneWindow_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::newRow("About") << "About"
                               << "Form6";
        QTest::newRow("Shareware") << "Shareware"
                                   << "Form5";
    }
    void eachCommandKeepsOneWindow() {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        MainWindow main;
        QVERIFY(main.isActive());
        QVERIFY(topLevelsNamed(window).isEmpty());

        QVERIFY(chooseMenu(main.window, entry));
        QWidget* first = visibleTopLevel(window);
        QVERIFY(first);
        QVERIFY(QTest::qWaitForWindowActive(first));

        // Back in the main window, the command brings the same window to the front.
        main.window.activateWindow();
        QVERIFY(main.isActive());
        QVERIFY(chooseMenu(main.window, entry));
        QVERIFY(QTest::qWaitForWindowActive(first));
        QCOMPARE(topLevelsNamed(window), QWidgetList{first});

        // After the close box, the command loads the same object again.
        QVERIFY(first->close());
        QVERIFY(!first->isVisible());
        QVERIFY(chooseMenu(main.window, entry));
        QCOMPARE(topLevelsNamed(window), QWidgetList{first});
        QVERIFY(first->isVisible());
    }

    void hiddenWindowReturnsAsItWasClosedOneReloads_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QRect>("designClientArea");  // twips
        QTest::newRow("About") << "About"
                               << "Form6" << QRect(3930, 2940, 5370, 6750);
        QTest::newRow("Shareware") << "Shareware"
                                   << "Form5" << QRect(4185, 3720, 5235, 6615);
    }
    void hiddenWindowReturnsAsItWasClosedOneReloads() {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        QFETCH(QRect, designClientArea);
        const QRect designPixels(
            (designClientArea.x() * 2 + 15) / 30, (designClientArea.y() * 2 + 15) / 30,
            (designClientArea.width() * 2 + 15) / 30, (designClientArea.height() * 2 + 15) / 30);
        MainWindow main;
        QVERIFY(chooseMenu(main.window, entry));
        QWidget* shown = visibleTopLevel(window);
        QVERIFY(shown);
        QCOMPARE(shown->geometry(), designPixels);

        // Chosen again while open, and after hiding, the window stays where the
        // user moved it: it is not loaded again.
        const QPoint moved = designPixels.topLeft() + QPoint(40, 30);
        shown->move(moved);
        QVERIFY(chooseMenu(main.window, entry));
        QCOMPARE(shown->pos(), moved);
        shown->hide();
        QVERIFY(chooseMenu(main.window, entry));
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->pos(), moved);

        QVERIFY(shown->close());
        QVERIFY(chooseMenu(main.window, entry));
        QCOMPARE(shown->geometry(), designPixels);
    }

    void paymentLinkOpensTheBrowser_data() {
        QTest::addColumn<bool>("browserStarts");
        QTest::newRow("browser starts: window hides") << true;
        QTest::newRow("no browser: window stays, address named") << false;
    }
    void paymentLinkOpensTheBrowser() {
        QFETCH(bool, browserStarts);
        MainWindow main;
        main.browser.browserStarts = browserStarts;
        const QUrl paymentPage(QString::fromUtf8(moravik::ui::contact::paymentUrl));
        QWidget* support = showSupportWindow(main);
        QVERIFY(support);
        auto* link = support->findChild<QLabel*>("Label3");
        QCOMPARE(link->text(), "PayPal: " + QString::fromUtf8(moravik::ui::contact::paymentEmail));

        QTest::mouseClick(link, Qt::LeftButton);

        QCOMPARE(main.browser.opened, QList<QUrl>{paymentPage});
        QCOMPARE(support->isVisible(), !browserStarts);
        QCOMPARE(main.messages.messages.size(), browserStarts ? 0 : 1);
        if (!browserStarts)
            QVERIFY(main.messages.messages.first().contains(paymentPage.toString()));
        QVERIFY(main.window.isVisible());

        // A second showing and click start the browser a second time.
        QCOMPARE(showSupportWindow(main), support);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(main.browser.opened.size(), 2);
    }

    void onlyTheLinkReactsToClicks_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("control");
        QTest::newRow("support picture") << "Form5"
                                         << "Shareware"
                                         << "Image1";
        QTest::newRow("support heading") << "Form5"
                                         << "Shareware"
                                         << "Label1";
        QTest::newRow("support appeal") << "Form5"
                                        << "Shareware"
                                        << "Label2";
        QTest::newRow("link, right button") << "Form5"
                                            << "Shareware"
                                            << "Label3";
        QTest::newRow("About version") << "Form6"
                                       << "About"
                                       << "Label2";
        QTest::newRow("About web site") << "Form6"
                                        << "About"
                                        << "Label3";
        QTest::newRow("About e-mail") << "Form6"
                                      << "About"
                                      << "Label4";
    }
    void onlyTheLinkReactsToClicks() {
        QFETCH(QString, window);
        QFETCH(QString, entry);
        QFETCH(QString, control);
        MainWindow main;
        QVERIFY(chooseMenu(main.window, entry));
        QWidget* shown = visibleTopLevel(window);
        QVERIFY(shown);
        const bool rightButton = control == "Label3" && window == "Form5";
        QTest::mouseClick(shown->findChild<QWidget*>(control),
                          rightButton ? Qt::RightButton : Qt::LeftButton);
        QVERIFY(main.browser.opened.isEmpty());
        QVERIFY(shown->isVisible());
        QVERIFY(main.messages.messages.isEmpty());
    }

    void backHidesTheAboutWindow_data() {
        QTest::addColumn<int>("key");  // 0: a mouse click
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("click") << 0;
    }
    void backHidesTheAboutWindow() {
        QFETCH(int, key);
        MainWindow main;
        QVERIFY(chooseMenu(main.window, "About"));
        QWidget* about = visibleTopLevel("Form6");
        QVERIFY(about);
        QVERIFY(QTest::qWaitForWindowActive(about));
        auto* back = about->findChild<QPushButton*>("Command1");
        QCOMPARE(QApplication::focusWidget(), back);
        QCOMPARE(about->findChild<QLabel*>("Label2")->text(), "Moravik 1.1b");

        if (key != 0) {
            QTest::keyClick(back, Qt::Key(key));
        } else {
            QTest::mouseClick(back, Qt::LeftButton);
        }

        QVERIFY(!about->isVisible());
        QVERIFY(main.window.isVisible());
        main.window.activateWindow();
        QVERIFY(main.isActive());
        QVERIFY(chooseMenu(main.window, "About"));
        QVERIFY(QTest::qWaitForWindowActive(about));
        QCOMPARE(QApplication::focusWidget(), back);
    }

    void exitEndsEverySecondaryWindow() {
        MainWindow main;
        QVERIFY(chooseMenu(main.window, "About"));
        QVERIFY(chooseMenu(main.window, "Shareware"));
        main.window.activateWindow();
        QVERIFY(main.isActive());
        QSignalSpy exits(&main.window, &moravik::ui::Form1::exitRequested);

        QTest::keyClick(&main.window, Qt::Key_X, Qt::AltModifier);

        QTRY_COMPARE(exits.size(), 1);
        QVERIFY(!visibleTopLevel("Form5"));
        QVERIFY(!visibleTopLevel("Form6"));
    }
};

QTEST_MAIN(SecondaryWindowsTest)
#include "secondary_windows_test.moc"
