// The secondary windows: one object per command, raised when chosen again, loaded anew after a
// close; help documents read on a worker thread. Writes its documents beside itself.
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QThreadPool>

#include "contact.h"
#include "moravik/help_documents.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

const QString kLoading = QStringLiteral("Loading\u2026");

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString pathBeside(const QString& fileName) {
    return QDir::toNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
}

void writeFile(const QString& fileName, const QByteArray& bytes) {
    QFile file(pathBeside(fileName));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.write(bytes) == bytes.size());
}

void writeDocument(const QString& fileName, const QByteArray& body) {
    writeFile(fileName, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}" + body + "\\par }");
}

QTextBrowser* viewOf(QWidget* window) { return window->findChild<QTextBrowser*>(); }

QString shownText(QWidget* window) {
    return window ? viewOf(window)->toPlainText().trimmed() : "(not shown)";
}

// Waits until the window has loaded its document, and returns its text.
QString loadedText(QWidget* window) {
    if (window == nullptr) return "(not shown)";
    if (!QTest::qWaitFor([window] { return shownText(window) != kLoading; }, 30'000))
        return "(still loading)";
    return shownText(window);
}

// A document that takes a while to load: 32 MB of groups the reader skips.
void writeLargeDocument(const QString& fileName) {
    const QByteArray skipped("{\\*\\zz x}");
    writeFile(fileName,
              "{\\rtf1 Large " + skipped.repeated(32 * 1024 * 1024 / skipped.size()) + "}");
}

// Lines that end inside a word: a letter or digit on both sides of the break.
int brokenWords(const QTextDocument& document) {
    int broken = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        for (int i = 0; i + 1 < layout->lineCount(); ++i) {
            const int end = layout->lineAt(i).textStart() + layout->lineAt(i).textLength();
            if (end > 0 && end < text.size() && text[end - 1].isLetterOrNumber() &&
                text[end].isLetterOrNumber()) {
                ++broken;
            }
        }
    }
    return broken;
}

}  // namespace

class SecondaryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::desktop::applyDesignLook(*qApp); }
    // Each document holds its own file name, so that a mix-up shows.
    void init() {
        for (const auto& document : moravik::docs::kHelpDocuments)
            writeDocument(toQString(document.file), QByteArray(document.file.data()));
    }
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void helpItemsShowTheirOwnDocuments() {
        App main;
        for (const auto& document : moravik::docs::kHelpDocuments)
            QCOMPARE(loadedText(main.show(toQString(document.window))), toQString(document.file));
    }

    void missingDocumentIsReportedAndRetried() {
        QVERIFY(QFile::remove(pathBeside("NitrousFAQ.rtf")));
        App main;

        QWidget* faq = main.show("Form3");
        QVERIFY(QTest::qWaitFor([&] { return !faq->isVisible(); }));
        QCOMPARE(main.told.errors.size(), 1);
        QCOMPARE(main.told.errors.filter(pathBeside("NitrousFAQ.rtf")), main.told.errors);

        writeDocument("NitrousFAQ.rtf", "Repaired");
        QCOMPARE(loadedText(main.show("Form3")), "Repaired");
        QCOMPARE(topLevelsNamed("Form3").size(), 1);
    }

    void documentIsReadOnLoadAndKeptWhileOpen() {
        QByteArray lines;
        for (int i = 0; i < 400; ++i) lines += "Line " + QByteArray::number(i) + "\\par ";
        writeDocument("Nitroushelp.rtf", "First edition\\par " + lines);
        App main;
        QWidget* shown = main.show("Form2");
        QVERIFY(loadedText(shown).startsWith("First edition"));
        QScrollBar* scroll = viewOf(shown)->verticalScrollBar();
        QVERIFY(QTest::qWaitFor([scroll] { return scroll->maximum() > 0; }));
        QCOMPARE(scroll->value(), 0);
        scroll->setValue(scroll->maximum() / 2);
        writeDocument("Nitroushelp.rtf", "Second edition\\par " + lines);

        QCOMPARE(main.show("Form2"), shown);
        QCOMPARE(scroll->value(), scroll->maximum() / 2);
        QVERIFY(shownText(shown).startsWith("First edition"));

        QVERIFY(shown->close());
        QCOMPARE(main.show("Form2"), shown);
        QVERIFY(loadedText(shown).startsWith("Second edition"));
        QCOMPARE(scroll->value(), 0);
    }

    // While a large document loads, the main window works; its close box, then Exit, cancels the
    // load, leaving the window closed and empty until chosen again.
    void closingCancelsTheLoadWhileOtherWindowsWork() {
        for (const bool byExit : {false, true}) {
            writeLargeDocument("Nitroushelp.rtf");
            App main;
            QSignalSpy exits(&main.window, &moravik::ui::MainWindow::exitRequested);
            QWidget* fields = main.show("Form2");
            QCOMPARE(shownText(fields), kLoading);

            QTest::mouseClick(main.find("cal"), Qt::LeftButton);
            QVERIFY(!main.find<QLineEdit>("TextBox1")->text().isEmpty());
            QWidget* about = main.show("Form6");
            QVERIFY(about);
            QCOMPARE(shownText(fields), kLoading);
            if (byExit)
                QTest::mouseClick(main.find("cmdexit"), Qt::LeftButton);
            else
                QVERIFY(fields->close());

            QCOMPARE(exits.size(), byExit ? 1 : 0);
            QVERIFY(!fields->isVisible() && about->isVisible() != byExit);
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::sendPostedEvents();  // the worker's last word
            QVERIFY(!fields->isVisible());
            QCOMPARE(shownText(fields), QString());
            QCOMPARE(main.told.errors, QStringList());

            writeDocument("Nitroushelp.rtf", "Small again");
            QCOMPARE(loadedText(main.show("Form2")), "Small again");
            QThreadPool::globalInstance()->waitForDone();
        }
    }

    void onlyWebAndMailLinksOpen() {
        const QStringList addresses{"http://www.example.org/", "https://www.example.org/nitrous",
                                    "mailto:help@example.org", "file:///etc/passwd"};
        App main;
        QWidget* shown = main.show("Form2");
        loadedText(shown);
        // Straight into the view, so that addresses the RTF reader refuses reach the window too.
        QTextBrowser* view = viewOf(shown);
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

    // The shipped documents fit their view: no table wider than it, no line broken in a word.
    void shippedDocumentsFitTheirView_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("file");
        for (const auto& document : moravik::docs::kHelpDocuments) {
            QTest::newRow(document.file.data())
                << toQString(document.window) << toQString(document.file);
        }
    }
    void shippedDocumentsFitTheirView() {
        QFETCH(QString, window);
        QFETCH(QString, file);
        QFile::remove(pathBeside(file));
        QVERIFY(QFile::copy(QString(MORAVIK_DOCS_DIR "/") + file, pathBeside(file)));
        App main;
        QWidget* shown = main.show(window);
        QVERIFY(loadedText(shown).size() > 1000);
        QTextBrowser* view = viewOf(shown);
        const QSizeF size = view->document()->size();  // lays the whole document out
        QCoreApplication::sendPostedEvents();          // and the view hears of it
        QCOMPARE_LE(size.width(), view->viewport()->width());
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(brokenWords(*view->document()), 0);
    }

    // About and Shareware: raised where the user put it, restored, loaded anew after a close.
    void eachCommandKeepsOneWindow() {
        for (const QString window : {"Form6", "Form5"}) {
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
    }

    // With a browser the window hides; without one it stays and names the address.
    void paymentLinkOpensTheBrowser() {
        const QUrl paymentPage(QString::fromUtf8(moravik::desktop::contact::paymentUrl));
        for (const bool browserStarts : {true, false}) {
            App main;
            main.browserStarts = browserStarts;
            QWidget* support = main.show("Form5");
            QVERIFY(support);
            QTest::mouseClick(support->findChild<QWidget*>("Label3"), Qt::LeftButton);
            QCOMPARE(main.opened, QList<QUrl>{paymentPage});
            QCOMPARE(support->isVisible(), !browserStarts);
            QCOMPARE(main.told.errors.size(), browserStarts ? 0 : 1);
            QCOMPARE(main.told.errors.filter(paymentPage.toString()), main.told.errors);
        }
    }
};

QTEST_MAIN(SecondaryWindowsTest)
#include "secondary_windows_test.moc"
