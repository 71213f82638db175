// The windows the menu shows. Each command keeps one window object, raises it
// when chosen again and loads it anew after its close box. This test runs from
// a folder of its own and writes the help documents beside itself, where the
// document windows look for them.
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTextBrowser>

#include "contact.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

const QMap<QString, QString> documentFiles{
    {"Form2", "Nitroushelp.rtf"}, {"Form3", "NitrousFAQ.rtf"}, {"Form4", "Nitrous101.rtf"}};

QString pathBeside(const QString& fileName) {
    return QDir::toNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
}

void writeDocument(const QString& fileName, const QByteArray& body) {
    QFile file(pathBeside(fileName));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}" + body + "\\par }") > 0);
}

QString shownText(QWidget* window) {
    return window ? window->findChild<QTextBrowser*>()->toPlainText().trimmed() : "(not shown)";
}

}  // namespace

class SecondaryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::ui::applyDesignLook(*qApp); }
    // Each document holds its own file name, so that a mix-up shows.
    void init() {
        for (const QString& file : documentFiles) writeDocument(file, file.toLatin1());
    }

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

        const QUrl paymentPage(QString::fromUtf8(moravik::ui::contact::paymentUrl));
        QCOMPARE(main.opened, QList<QUrl>{paymentPage});
        QCOMPARE(support->isVisible(), !browserStarts);
        QCOMPARE(main.messages.size(), browserStarts ? 0 : 1);
        QCOMPARE(main.messages.filter(paymentPage.toString()), main.messages);
    }

    void helpItemsShowTheirOwnDocuments() {
        App main;
        for (auto document = documentFiles.begin(); document != documentFiles.end(); ++document)
            QCOMPARE(shownText(main.show(document.key())), document.value());
    }

    void missingDocumentIsReportedAndRetried() {
        QVERIFY(QFile::remove(pathBeside("NitrousFAQ.rtf")));
        App main;

        QVERIFY(!main.show("Form3"));
        QCOMPARE(main.messages.size(), 1);
        QCOMPARE(main.messages.filter(pathBeside("NitrousFAQ.rtf")), main.messages);

        writeDocument("NitrousFAQ.rtf", "Repaired");
        QCOMPARE(shownText(main.show("Form3")), "Repaired");
        QCOMPARE(topLevelsNamed("Form3").size(), 1);
    }

    void documentIsReadOnLoadAndKeptWhileOpen() {
        QByteArray lines;
        for (int i = 0; i < 400; ++i) lines += "Line " + QByteArray::number(i) + "\\par ";
        writeDocument("Nitroushelp.rtf", "First edition\\par " + lines);
        App main;
        QWidget* shown = main.show("Form2");
        QVERIFY(shown);
        QScrollBar* scroll = shown->findChild<QTextBrowser*>()->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        QCOMPARE(scroll->value(), 0);
        scroll->setValue(scroll->maximum() / 2);
        writeDocument("Nitroushelp.rtf", "Second edition\\par " + lines);

        QCOMPARE(main.show("Form2"), shown);
        QCOMPARE(scroll->value(), scroll->maximum() / 2);
        QVERIFY(shownText(shown).startsWith("First edition"));

        QVERIFY(shown->close());
        QCOMPARE(main.show("Form2"), shown);
        QCOMPARE(scroll->value(), 0);
        QVERIFY(shownText(shown).startsWith("Second edition"));
    }

    void onlyWebAndMailLinksOpen() {
        const QStringList addresses{"http://www.example.org/", "https://www.example.org/nitrous",
                                    "mailto:help@example.org", "file:///etc/passwd"};
        App main;
        QWidget* shown = main.show("Form2");
        QVERIFY(shown);
        // The links go straight into the view, so that addresses the RTF reader
        // would refuse reach the window too.
        auto* view = shown->findChild<QTextBrowser*>();
        QString links;
        for (const QString& address : addresses)
            links += QString("<a href=\"%1\">%1</a> ").arg(address);
        view->setHtml(links);
        for (const QString& address : addresses) {
            QTextCursor link = view->document()->find(address);
            link.setPosition(link.selectionStart() + 2);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              view->cursorRect(link).center());
        }
        QCOMPARE(main.opened, QList<QUrl>({addresses[0], addresses[1], addresses[2]}));
    }
};

QTEST_MAIN(SecondaryWindowsTest)
#include "secondary_windows_test.moc"
