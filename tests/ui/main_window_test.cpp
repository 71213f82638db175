// The main window by keys and clicks: Calculate, faults, result boxes, menu bar, small screens.
#include <QClipboard>
#include <QComboBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>

#include "moravik/calculate.h"
#include "moravik/result_layout.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

// How long a check that something does not happen watches; a busy machine only makes it miss.
constexpr int kQuietMs = 500;

// The core's texts for the initial inputs, without and with Denver, which the window shows
// byte for byte (the engine's tests hold them against the reference).
QStringList coreResults(bool denver = false) {
    moravik::InputTexts inputs;
    if (denver) inputs.altitudeDD = "Denver, CO  5800";
    const auto outcome = moravik::calculate(inputs);
    QStringList texts;
    for (const auto& text : std::get<moravik::ResultTexts>(outcome))
        texts.append(QString::fromUtf8(text.view().data(), qsizetype(text.view().size())));
    return texts;
}

// The result boxes' texts in writing order; read-only boxes, yet in the tab chain for copying.
QStringList resultTexts(const App& main) {
    QStringList texts;
    for (const std::string_view name : moravik::resultFieldNames) {
        const auto* box = main.find<QLineEdit>(QString::fromUtf8(name));
        texts.append(box && box->isReadOnly() ? box->text() : "(no read-only box)");
    }
    return texts;
}

// How far a line edit has scrolled its text left: its cursor against an unscrolled twin's.
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
    void initTestCase() { moravik::desktop::applyDesignLook(*qApp); }

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
        tracks->setFocus();
        for (int i = 0; i < trackEntry; ++i) QTest::keyClick(tracks, Qt::Key_Down);
        if (trackEntry != 0) QCOMPARE(tracks->currentText(), "Denver, CO  5800");
        // Choosing a track computes nothing.
        QCOMPARE(resultTexts(main), QStringList(31, ""));

        QTest::mouseClick(main.find("cal"), Qt::LeftButton);

        QCOMPARE(resultTexts(main), coreResults(trackEntry != 0));
        QCOMPARE(main.told.errors, QStringList());
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

        // Bad at first, good, then bad again: each fault leaves the results shown before it.
        const QStringList none(31, ""), good = coreResults();
        for (const auto& [typed, shown] :
             {std::pair{fault.badText, none}, {fault.goodText, good}, {fault.badText, good}}) {
            typeInto(input, typed);
            QTest::mouseClick(main.find("cal"), Qt::LeftButton);
            QCOMPARE(resultTexts(main), shown);
        }
        QCOMPARE(main.told.errors.size(), 2);
        QCOMPARE(main.told.errors.filter(fault.kind), main.told.errors);
    }

    // Tab reaches every control once, selecting a whole result yet keeping its start in view;
    // End shows a result's end until the focus leaves.
    void resultBoxesShowTheirLeadingDigits() {
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QCOMPARE(scrolledResultBoxes(main), QStringList());

        QStringList scrolledWhileFocused;
        QSet<QWidget*> reached;
        QWidget* first = QApplication::focusWidget();
        do {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (box && box->isReadOnly() &&
                (scrolledPixels(box) != 0 || box->selectedText() != box->text()))
                scrolledWhileFocused.append(box->objectName());
        } while (QApplication::focusWidget() != first && reached.size() < 100);
        QCOMPARE(reached.size(), moravik::resultFieldCount + 7 + 2);  // 7 inputs, 2 buttons
        QCOMPARE(scrolledWhileFocused, QStringList());
        QCOMPARE(scrolledResultBoxes(main), QStringList());

        auto* box = main.find<QLineEdit>("halemphn");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        QTest::keySequence(box, QKeySequence::SelectAll);
        QTest::keySequence(box, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), box->text());
        QCOMPARE(scrolledPixels(box), 0);
        QTest::keyClick(box, Qt::Key_End);
        QVERIFY(scrolledPixels(box) > 0);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(scrolledPixels(box), 0);
    }

    // Keys go to an open menu, else to the focus: at the start Exit, so a leaked key ends the
    // application, as Alt+X does from an input; Return in an input does not.
    void keyboardUsesTheMenuBar_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("opens");  // the window that shows, Exit, or none
        // Key names as QKeySequence reads them; "click": a click on Help; "Alt": a lone Alt;
        // "@name": the focus put on that input; "close": the window's close box.
        for (const QString row :
             {"F10 Return Return: Form2", "F10 Right Return: Form6", "F10 Left Return: Form5",
              "F10 Down Up Return: Form3", "Alt Return Down Return: Form4",
              "F10 Return Right Return: Form6", "click Right Return: Form6",
              "click Left Left Return: Form6", "F10 Esc Return: Exit", "F10 F10 Return: Exit",
              "F10 Return Esc Esc Return: Exit", "Alt Alt Return: Exit", "Space: Exit",
              "@njt Alt+X: Exit", "close: Exit", "@njt Return: none"})
            QTest::newRow(qPrintable(row)) << row.section(": ", 0, 0) << row.section(": ", 1);
    }
    void keyboardUsesTheMenuBar() {
        QFETCH(QString, keys);
        QFETCH(QString, opens);
        App main;
        QVERIFY(QTest::qWaitForWindowActive(&main.window));
        QSignalSpy exitRequests(&main.window, &moravik::ui::MainWindow::exitRequested);
        QWindow* keyboard = main.window.windowHandle();
        QMenuBar* bar = main.window.menuBar();
        for (const QString& key : keys.split(' ')) {
            if (key == "click") {
                QTest::mouseClick(bar, Qt::LeftButton, {},
                                  bar->actionGeometry(bar->actions().first()).center());
            } else if (key == "Alt") {
                QTest::keyPress(keyboard, Qt::Key_Alt);
                QTest::keyRelease(keyboard, Qt::Key_Alt);
            } else if (key.startsWith('@')) {
                main.find(key.mid(1))->setFocus();
            } else if (key == "close") {
                QVERIFY(main.window.close());
            } else {
                const QKeyCombination combination = QKeySequence(key)[0];
                QTest::keyClick(keyboard, combination.key(), combination.keyboardModifiers());
            }
        }

        const auto shown = [] {
            QStringList windows;
            for (const QString window : {"Form2", "Form3", "Form4", "Form5", "Form6"})
                if (!topLevelsNamed(window).isEmpty() && topLevelsNamed(window)[0]->isVisible())
                    windows.append(window);
            return windows;
        };
        // A mnemonic presses its button visibly, so its click comes a moment later.
        if (opens == "Exit") {
            QTRY_COMPARE(exitRequests.size(), 1);
            QCOMPARE(shown(), QStringList());
        } else {
            QTRY_COMPARE(shown(), opens == "none" ? QStringList() : QStringList{opens});
            QVERIFY(!QTest::qWaitFor([&] { return !exitRequests.isEmpty(); }, kQuietMs));
        }
        QCOMPARE(main.told.errors, QStringList());
    }

    // Each row runs on a screen of its size; CMake starts the test once per screen.
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
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
