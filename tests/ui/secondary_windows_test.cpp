// The About and support windows. Each command keeps one window object, raises it when chosen
// again and loads it anew after its close box.
#include "contact.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

class SecondaryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::desktop::applyDesignLook(*qApp); }

    void eachCommandKeepsOneWindow_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("About") << "Form6";
        QTest::newRow("Shareware") << "Form5";
    }
    void eachCommandKeepsOneWindow() {
        QFETCH(QString, window);
        App main;
        QWidget* shown = main.show(window);
        QVERIFY(shown);
        const QRect designPlace = shown->geometry();
        shown->move(designPlace.topLeft() + QPoint(40, 30));

        main.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QCOMPARE(main.show(window), shown);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QCOMPARE(shown->pos(), designPlace.topLeft() + QPoint(40, 30));

        shown->showMinimized();
        QCOMPARE(main.show(window), shown);
        QVERIFY(!shown->isMinimized());

        QVERIFY(shown->close());
        QCOMPARE(main.show(window), shown);
        QCOMPARE(shown->geometry(), designPlace);
        QCOMPARE(topLevelsNamed(window), QWidgetList{shown});
    }

    void paymentLinkOpensTheBrowser_data() {
        QTest::addColumn<bool>("browserStarts");
        QTest::newRow("browser starts: window hides") << true;
        QTest::newRow("no browser: window stays, address named") << false;
    }
    void paymentLinkOpensTheBrowser() {
        QFETCH(bool, browserStarts);
        App main;
        main.browserStarts = browserStarts;
        QWidget* support = main.show("Form5");
        QVERIFY(support);

        QTest::mouseClick(support->findChild<QWidget*>("Label3"), Qt::LeftButton);

        const QUrl paymentPage(QString::fromUtf8(moravik::desktop::contact::paymentUrl));
        QCOMPARE(main.opened, QList<QUrl>{paymentPage});
        QCOMPARE(support->isVisible(), !browserStarts);
        QCOMPARE(main.told.errors.size(), browserStarts ? 0 : 1);
        QCOMPARE(main.told.errors.filter(paymentPage.toString()), main.told.errors);
    }
};

QTEST_MAIN(SecondaryWindowsTest)
#include "secondary_windows_test.moc"
