// The Help menu's document windows. This test runs from a folder of its own and
// writes the documents beside itself, where the windows look for them.
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTextBrowser>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

QString pathBeside(const QString& fileName) {
    return QDir::toNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
}

void writeFile(const QString& fileName, const QByteArray& content) {
    QFile file(pathBeside(fileName));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray rtf(const QByteArray& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}" + body + "}";
}

void writeDocument(const QString& fileName, const QString& text) {
    writeFile(fileName, rtf(text.toLatin1() + "\\par "));
}

const QStringList documentFiles{"Nitroushelp.rtf", "NitrousFAQ.rtf", "Nitrous101.rtf"};

QTextBrowser* viewOf(QWidget* window) { return window->findChild<QTextBrowser*>("RichTextBox1"); }

}  // namespace

class DocumentWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyLook(); }

    void init() {
        for (const QString& file : documentFiles) writeDocument(file, "Document " + file);
    }

    void cleanupTestCase() {
        for (const QString& file : documentFiles) QFile::remove(pathBeside(file));
    }

    void helpItemShowsItsOwnDocument_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("file");
        QTest::newRow("Field Inputs") << "Field Inputs"
                                      << "Form2"
                                      << "Nitroushelp.rtf";
        QTest::newRow("FAQ") << "FAQ"
                             << "Form3"
                             << "NitrousFAQ.rtf";
        QTest::newRow("Nitrous 101") << "Nitrous 101"
                                     << "Form4"
                                     << "Nitrous101.rtf";
    }
    void helpItemShowsItsOwnDocument() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, file);
        MainWindow main;
        QVERIFY(main.isActive());

        QVERIFY(chooseMenu(main.window, "Help", item));

        QWidget* shown = visibleTopLevel(window);
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(), window);
        QCOMPARE(viewOf(shown)->toPlainText().trimmed(), "Document " + file);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QCOMPARE(QApplication::focusWidget(), viewOf(shown));
        QVERIFY(main.messages.messages.isEmpty());
    }

    void unreadableDocumentIsReportedAndRetried_data() {
        QTest::addColumn<QByteArray>("content");  // empty: no file at all
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << QByteArray() << "does not exist";
        QTest::newRow("plain text, not RTF")
            << QByteArray("Just some words.\n") << "not a Rich Text Format";
        QTest::newRow("binary bytes")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << "not a Rich Text Format";
    }
    void unreadableDocumentIsReportedAndRetried() {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QFile::remove(pathBeside("NitrousFAQ.rtf"));
        if (!content.isEmpty()) writeFile("NitrousFAQ.rtf", content);
        MainWindow main;

        QVERIFY(chooseMenu(main.window, "Help", "FAQ"));

        QVERIFY(!visibleTopLevel("Form3"));
        QCOMPARE(main.messages.messages.size(), 1);
        const QString message = main.messages.messages.first();
        QVERIFY2(message.contains(pathBeside("NitrousFAQ.rtf")) && message.contains(reason),
                 qPrintable(message));
        QVERIFY(main.window.isVisible());

        writeDocument("NitrousFAQ.rtf", "Repaired");
        QVERIFY(chooseMenu(main.window, "Help", "FAQ"));
        QWidget* shown = visibleTopLevel("Form3");
        QVERIFY(shown);
        QCOMPARE(viewOf(shown)->toPlainText().trimmed(), "Repaired");
        QCOMPARE(topLevelsNamed("Form3").size(), 1);
    }

    void changedFileShowsOnlyAfterReopening() {
        MainWindow main;
        QVERIFY(chooseMenu(main.window, "Help", "Nitrous 101"));
        QWidget* shown = visibleTopLevel("Form4");
        QVERIFY(shown);

        writeDocument("Nitrous101.rtf", "Second edition");
        QVERIFY(chooseMenu(main.window, "Help", "Nitrous 101"));
        QCOMPARE(viewOf(shown)->toPlainText().trimmed(), "Document Nitrous101.rtf");

        QVERIFY(shown->close());
        QVERIFY(chooseMenu(main.window, "Help", "Nitrous 101"));
        QCOMPARE(visibleTopLevel("Form4"), shown);
        QCOMPARE(viewOf(shown)->toPlainText().trimmed(), "Second edition");
    }

    void raisingKeepsTheScrollPosition() {
        QByteArray body;
        for (int i = 0; i < 400; ++i) body += "Line " + QByteArray::number(i) + "\\par ";
        writeFile("Nitroushelp.rtf", rtf(body));
        MainWindow main;
        QVERIFY(chooseMenu(main.window, "Help", "Field Inputs"));
        QWidget* shown = visibleTopLevel("Form2");
        QScrollBar* scroll = viewOf(shown)->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        QCOMPARE(scroll->value(), 0);
        scroll->setValue(scroll->maximum() / 2);

        QVERIFY(chooseMenu(main.window, "Help", "Field Inputs"));

        QCOMPARE(scroll->value(), scroll->maximum() / 2);
    }

    void linksOpenInTheBrowser_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("browserStarts");
        QTest::addColumn<bool>("opens");
        QTest::newRow("web page") << "https://www.example.org/nitrous" << true << true;
        QTest::newRow("mail address") << "mailto:help@example.org" << true << true;
        QTest::newRow("no browser: address named") << "http://www.example.org/" << false << true;
        QTest::newRow("local file: never opened") << "file:///etc/passwd" << true << false;
    }
    void linksOpenInTheBrowser() {
        QFETCH(QString, address);
        QFETCH(bool, browserStarts);
        QFETCH(bool, opens);
        writeDocument("Nitroushelp.rtf", "See the page for more.");
        MainWindow main;
        main.browser.browserStarts = browserStarts;
        QVERIFY(chooseMenu(main.window, "Help", "Field Inputs"));
        QTextBrowser* view = viewOf(visibleTopLevel("Form2"));
        // The link goes straight into the view, so that addresses the RTF reader
        // would refuse reach the window too.
        QTextCursor link = view->document()->find("the page");
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorHref(address);
        link.mergeCharFormat(anchor);
        link.setPosition(link.selectionStart() + 2);

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(link).center());

        QCOMPARE(main.browser.opened, opens ? QList<QUrl>{QUrl(address)} : QList<QUrl>{});
        QCOMPARE(main.messages.messages.size(), browserStarts ? 0 : 1);
        if (!browserStarts) QVERIFY(main.messages.messages.first().contains(address));
        QVERIFY(visibleTopLevel("Form2"));
        QVERIFY(view->toPlainText().contains("the page"));
    }

    void rtfHyperlinksBecomeClickable() {
        writeFile("Nitroushelp.rtf",
                  rtf("See {\\field{\\*\\fldinst HYPERLINK \"https://www.example.org/nitrous\"}"
                      "{\\fldrslt the nitrous page}} for more.\\par "));
        MainWindow main;
        QVERIFY(chooseMenu(main.window, "Help", "Field Inputs"));
        QTextBrowser* view = viewOf(visibleTopLevel("Form2"));
        QTextCursor link = view->document()->find("nitrous page");
        QVERIFY(!link.isNull());
        link.setPosition(link.selectionStart() + 2);

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(link).center());

        QCOMPARE(main.browser.opened, QList<QUrl>{QUrl("https://www.example.org/nitrous")});
    }
};

QTEST_MAIN(DocumentWindowsTest)
#include "document_windows_test.moc"
