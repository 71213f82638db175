// The main window driven by keys and clicks: Calculate, faults, the leading
// digits of the result boxes, the menu bar from the keyboard, placement on
// small screens, focus order, and the ways to end the application.
#include <QClipboard>
#include <QComboBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

// The result boxes in their writing order after Calculate with the initial
// texts and no track chosen: seven jet and horsepower boxes, then six boxes for
// each of the four formulas.
const QStringList initialResults =
    QStringLiteral(
        " .017| .017| 40.64508| 34.548318| 250.64508| 213.048318| 0|"
        " 14.4800555143393| 13.6507639238018| 0| 0| 97.7378849548265| 103.675516469253|"
        " 14.4317119267716| 13.6051890362978| 0| 0| 99.9098379538226| 105.979416835237|"
        " 13.4095903610535| 12.6416057005001| 0| 0| 101.64740035302| 107.822537128023|"
        " 14.134552519823| 13.4416273586369| 0| 0| 100.291992967637| 106.017758743691")
        .split('|');

// The altitude boxes with "Denver, CO  5800" chosen; the other boxes stay as above.
const QMap<QString, QString> denverAltitudes{
    {"huntalt", " 13.4316994951012"},    {"foxalt", " 13.3868559832733"},
    {"halealt", " 12.4387360189133"},    {"lrtalt", " 13.1112109173878"},
    {"HuntaltMPH", " 105.293023461835"}, {"FoxAltMPH", " 107.632868427653"},
    {"HaleAltMPH", " 109.504744400308"}, {"lrtAltMPH", " 108.044564024035"}};

// The texts of the result boxes in their writing order. The boxes are
// read-only, yet in the tab chain (see the focus order) so that users can copy.
QStringList resultTexts(const App& main) {
    QStringList texts;
    for (const std::string_view name : moravik::resultFieldNames) {
        const auto* box = main.find<QLineEdit>(QString::fromUtf8(name));
        texts.append(box && box->isReadOnly() ? box->text() : "(no read-only box)");
    }
    return texts;
}

// How far a line edit has scrolled its text to the left when it last painted:
// where it draws its cursor against an unscrolled twin with the same text and
// cursor.
int scrolledPixels(QLineEdit* box) {
    box->repaint();
    QLineEdit twin(box->text());
    twin.setFont(box->font());
    twin.resize(box->size());
    twin.setCursorPosition(box->cursorPosition());
    const auto cursorX = [](const QLineEdit& edit) {
        return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    };
    return cursorX(twin) - cursorX(*box);
}

// The result boxes that do not show the start of their text.
QStringList scrolledResultBoxes(const App& main) {
    QStringList scrolled;
    for (const std::string_view name : moravik::resultFieldNames) {
        auto* box = main.find<QLineEdit>(QString::fromUtf8(name));
        if (scrolledPixels(box) != 0) scrolled.append(box->objectName());
    }
    return scrolled;
}

struct FaultCase {
    QString field, badText, goodText, kind;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::ui::applyDesignLook(*qApp); }

    void calculateWritesEveryResult_data() {
        QTest::addColumn<int>("trackEntry");  // 0: no track chosen
        QTest::newRow("initial texts") << 0;
        QTest::newRow("Denver as entry 7, under Comp") << 7;
        QTest::newRow("Denver as entry 37, under Stock") << 37;
    }
    void calculateWritesEveryResult() {
        QFETCH(int, trackEntry);
        App main;
        auto* tracks = main.find<QComboBox>("altitudeDD");
        QCOMPARE(tracks->currentIndex(), -1);
        QCOMPARE(tracks->count(), 59);
        tracks->setFocus();
        for (int i = 0; i < trackEntry; ++i) QTest::keyClick(tracks, Qt::Key_Down);
        if (trackEntry != 0) QCOMPARE(tracks->currentText(), "Denver, CO  5800");
        QStringList expected = initialResults;
        for (qsizetype i = 0; trackEntry != 0 && i < expected.size(); ++i) {
            const std::string_view name = moravik::resultFieldNames[std::size_t(i)];
            expected[i] = denverAltitudes.value(QString::fromUtf8(name), expected[i]);
        }
        // Choosing a track computes nothing.
        QCOMPARE(resultTexts(main), QStringList(31, ""));

        QTest::mouseClick(main.find("cal"), Qt::LeftButton);

        QCOMPARE(resultTexts(main), expected);
        QCOMPARE(main.messages, QStringList());
    }

    void faultLeavesEveryResultAsItWas_data() {
        QTest::addColumn<FaultCase>("fault");
        QTest::newRow("empty fuel pressure") << FaultCase{"flp", "", "43", "Division by zero"};
        QTest::newRow("bottle pressure too big") << FaultCase{"nbp", "32767.5", "900", "Overflow"};
        QTest::newRow("negative nozzle count") << FaultCase{"jtn", "-2", "1", "Invalid argument"};
    }
    void faultLeavesEveryResultAsItWas() {
        QFETCH(FaultCase, fault);
        App main;
        QWidget* input = main.find(fault.field);

        typeInto(input, fault.badText);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QCOMPARE(resultTexts(main), QStringList(31, ""));

        typeInto(input, fault.goodText);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QCOMPARE(resultTexts(main), initialResults);

        typeInto(input, fault.badText);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QCOMPARE(resultTexts(main), initialResults);
        QCOMPARE(main.messages.size(), 2);
        QCOMPARE(main.messages.filter(fault.kind), main.messages);
    }

    void resultBoxesShowTheirLeadingDigits() {
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QCOMPARE(scrolledResultBoxes(main), QStringList());

        // Tab selects a whole result for copying, yet the box keeps its start in view.
        QStringList scrolledWhileFocused;
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (box && box->isReadOnly() &&
                (scrolledPixels(box) != 0 || box->selectedText() != box->text()))
                scrolledWhileFocused.append(box->objectName());
        }
        QCOMPARE(scrolledWhileFocused, QStringList());
        QCOMPARE(scrolledResultBoxes(main), QStringList());
    }

    void wholeResultIsCopiedAndItsEndCanBeRead() {
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        auto* box = main.find<QLineEdit>("halemphn");

        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        QCOMPARE(scrolledPixels(box), 0);
        QTest::keySequence(box, QKeySequence::SelectAll);
        QTest::keySequence(box, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), " 107.822537128023");
        QCOMPARE(scrolledPixels(box), 0);

        QTest::keyClick(box, Qt::Key_End);
        QVERIFY(scrolledPixels(box) > 0);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(scrolledPixels(box), 0);
    }

    // Keys go where the user's keyboard sends them: to an open menu, or else to
    // the focus. At the start the focus is on Exit, so a key that leaks to a
    // button ends the application.
    void keyboardUsesTheMenuBar_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("opens");  // the window that shows, if any
        QTest::addColumn<bool>("exits");
        QTest::newRow("F10 Enter Enter: Field Inputs") << "F10 Enter Enter"
                                                       << "Form2" << false;
        QTest::newRow("F10 Right Enter: About") << "F10 Right Enter"
                                                << "Form6" << false;
        QTest::newRow("F10 Left Enter: Shareware") << "F10 Left Enter"
                                                   << "Form5" << false;
        QTest::newRow("F10 Down Up Enter: FAQ") << "F10 Down Up Enter"
                                                << "Form3" << false;
        QTest::newRow("Alt Enter Down Enter: Nitrous 101") << "Alt Enter Down Enter"
                                                           << "Form4" << false;
        QTest::newRow("F10 Enter Right Enter: About from the open menu") << "F10 Enter Right Enter"
                                                                         << "Form6" << false;
        QTest::newRow("click Help, Right Enter: About, not Exit") << "click Right Enter"
                                                                  << "Form6" << false;
        QTest::newRow("click Help, Left Left Enter: About") << "click Left Left Enter"
                                                            << "Form6" << false;
        QTest::newRow("F10 Esc Enter: Exit") << "F10 Esc Enter"
                                             << "" << true;
        QTest::newRow("F10 F10 Enter: Exit") << "F10 F10 Enter"
                                             << "" << true;
        QTest::newRow("F10 Enter Esc Esc Enter: Exit") << "F10 Enter Esc Esc Enter"
                                                       << "" << true;
        QTest::newRow("Alt Alt Enter: Exit") << "Alt Alt Enter"
                                             << "" << true;
    }
    void keyboardUsesTheMenuBar() {
        QFETCH(QString, keys);
        QFETCH(QString, opens);
        QFETCH(bool, exits);
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QSignalSpy exitRequests(&main.window, &moravik::ui::MainWindow::exitRequested);
        QWindow* keyboard = main.window.windowHandle();
        const QMap<QString, Qt::Key> named{{"F10", Qt::Key_F10},     {"Enter", Qt::Key_Return},
                                           {"Esc", Qt::Key_Escape},  {"Left", Qt::Key_Left},
                                           {"Right", Qt::Key_Right}, {"Up", Qt::Key_Up},
                                           {"Down", Qt::Key_Down}};
        QMenuBar* bar = main.window.menuBar();
        for (const QString& key : keys.split(' ')) {
            if (key == "click") {
                QTest::mouseClick(bar, Qt::LeftButton, {},
                                  bar->actionGeometry(bar->actions().first()).center());
            } else if (key == "Alt") {
                QTest::keyPress(keyboard, Qt::Key_Alt);
                QTest::keyRelease(keyboard, Qt::Key_Alt);
            } else {
                QTest::keyClick(keyboard, named[key]);
            }
        }

        QTest::qWait(50);
        QCOMPARE(exitRequests.size(), exits ? 1 : 0);
        QStringList shown;
        for (const QString window : {"Form2", "Form3", "Form4", "Form5", "Form6"})
            if (!topLevelsNamed(window).isEmpty() && topLevelsNamed(window)[0]->isVisible())
                shown.append(window);
        QCOMPARE(shown, opens.isEmpty() ? QStringList() : QStringList{opens});
        QCOMPARE(main.messages, QStringList());
    }

    // Each row runs on a screen of its size; CMake starts the test once per
    // screen (tests/ui/screens).
    void windowFitsTheScreen_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("clientArea");  // none: it scrolls
        QTest::newRow("800x800: where the design puts it") << QSize(800, 800) << QPoint(147, 147);
        QTest::newRow("1366x768 laptop with a 40-pixel panel: moved up")
            << QSize(1366, 728) << QPoint(147, 108);
        QTest::newRow("1280x1024 at 2x: the whole screen, scrolling")
            << QSize(640, 512) << QPoint();
    }
    void windowFitsTheScreen() {
        QFETCH(QSize, screen);
        QFETCH(QPoint, clientArea);
        const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
        if (room.size() != screen) QSKIP("runs on a screen of another size");
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        const QRect window = main.window.frameGeometry();
        QVERIFY2(room.contains(window), qPrintable(QDebug::toString(window)));
        auto* scroller = qobject_cast<QScrollArea*>(main.window.centralWidget());
        QVERIFY(scroller);
        const bool scrollsAcross = scroller->horizontalScrollBar()->isVisible();
        const bool scrollsDown = scroller->verticalScrollBar()->isVisible();
        if (!clientArea.isNull()) {
            QCOMPARE(main.find("clientArea")->mapToGlobal(QPoint()), clientArea);
            QVERIFY(!scrollsAcross && !scrollsDown);
            return;
        }
        // Moved left only as far as needed, and as tall as the screen.
        QCOMPARE(window.right(), room.right());
        QCOMPARE(window.height(), room.height());
        QVERIFY(scrollsDown && !scrollsAcross);
        QWidget* calculate = main.find("cal");
        QVERIFY(calculate->visibleRegion().isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), calculate);
        QCOMPARE(calculate->visibleRegion(), QRegion(calculate->rect()));
    }

    void tabWalksTheDesignOrder() {
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        const QStringList order{
            "cmdexit",    "cal",       "jtn",        "nbp",       "flp",      "njt",
            "Textbox2",   "Textbox5",  "TextBox1",   "vweight",   "draghp",   "huntet",
            "huntalt",    "Textbox4",  "TextBox3",   "Totalhp",   "foxalt",   "foxet",
            "halealt",    "haleet",    "lrtalt",     "lrtet",     "huntmph",  "foxmph",
            "lrtmph",     "halemph",   "huntetn",    "huntmphn",  "halemphn", "haleetn",
            "foxmphn",    "foxetn",    "lrtmphn",    "lrtetn",    "TotalHPn", "altitudeDD",
            "HuntaltMPH", "FoxAltMPH", "HaleAltMPH", "lrtAltMPH", "cmdexit"};
        for (const QString& name : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void endingTheApplication_data() {
        QTest::addColumn<QString>("focusOn");
        QTest::addColumn<QKeySequence>("keys");  // none: the close box
        QTest::addColumn<bool>("ends");
        QTest::newRow("Space on Exit") << "cmdexit" << QKeySequence(Qt::Key_Space) << true;
        QTest::newRow("Alt+X in an input") << "njt" << QKeySequence(Qt::ALT | Qt::Key_X) << true;
        QTest::newRow("close box") << "cmdexit" << QKeySequence() << true;
        QTest::newRow("Return in an input") << "njt" << QKeySequence(Qt::Key_Return) << false;
    }
    void endingTheApplication() {
        QFETCH(QString, focusOn);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, ends);
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QSignalSpy exits(&main.window, &moravik::ui::MainWindow::exitRequested);
        QWidget* target = main.find(focusOn);
        target->setFocus();

        if (keys.isEmpty())
            QVERIFY(main.window.close());
        else
            QTest::keySequence(target, keys);

        // A mnemonic presses its button visibly, so its click comes a moment later.
        QTest::qWait(250);
        QCOMPARE(exits.size(), ends ? 1 : 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
