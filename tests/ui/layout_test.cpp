// The look of the windows with the fonts actually in use: every caption fits
// its box, the design's placement and sizes hold, and the colours stay light.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTextBrowser>

#include "document_windows.h"
#include "form5.h"
#include "form6.h"
#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

int pixels(int twips) { return (twips * 2 + 15) / 30; }

QRect pixels(const QRect& twips) {
    return {pixels(twips.x()), pixels(twips.y()), pixels(twips.width()), pixels(twips.height())};
}

// The windows whose captions are checked; each is built as the menu would.
struct Windows {
    RecordingMessageSink messages;
    FakeUrlOpener browser;
    moravik::ui::Services services{messages, browser};
    moravik::ui::Form1 form1{services};
    moravik::ui::Form5 form5{services};
    moravik::ui::Form6 form6;

    QWidget* named(const QString& name) {
        for (QWidget* window : {static_cast<QWidget*>(&form1), static_cast<QWidget*>(&form5),
                                static_cast<QWidget*>(&form6)}) {
            if (window->objectName() == name) return window;
        }
        return nullptr;
    }
};

// Problems of one caption, or nothing when its text fits uncut.
QString labelProblem(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    const QRect box = label->contentsRect();
    if (label->wordWrap()) {
        const QRect needed =
            metrics.boundingRect(box, Qt::TextWordWrap | label->alignment(), label->text());
        if (needed.width() > box.width() || needed.height() > box.height()) {
            return QStringLiteral("needs %1x%2").arg(needed.width()).arg(needed.height());
        }
        return {};
    }
    if (metrics.horizontalAdvance(label->text()) > box.width()) {
        return QStringLiteral("needs width %1").arg(metrics.horizontalAdvance(label->text()));
    }
    // The ink of a top-aligned line must lie within the box, also in the tiny
    // boxes of the inch marks.
    const QRect ink = metrics.tightBoundingRect(label->text()).translated(0, metrics.ascent());
    if (ink.top() < 0 || ink.bottom() >= box.height()) {
        return QStringLiteral("ink rows %1..%2").arg(ink.top()).arg(ink.bottom());
    }
    return {};
}

QString groupBoxProblem(const QGroupBox* frame) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, frame);
    const int needed = QFontMetrics(frame->font()).horizontalAdvance(frame->title());
    if (!frame->rect().contains(title) || title.width() < needed) {
        return QStringLiteral("title needs %1, has %2").arg(needed).arg(title.width());
    }
    return {};
}

QString buttonProblem(const QPushButton* button) {
    const QString text = QString(button->text()).remove('&');
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    const int needed = QFontMetrics(button->font()).horizontalAdvance(text) + margin;
    return needed > button->width() ? QStringLiteral("needs width %1").arg(needed) : QString();
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyLook(); }

    void everyCaptionFitsItsBox_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << "Form1";
        QTest::newRow("support window") << "Form5";
        QTest::newRow("About window") << "Form6";
    }
    void everyCaptionFitsItsBox() {
        QFETCH(QString, window);
        Windows windows;
        QWidget* shown = windows.named(window);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));

        QStringList problems;
        int captions = 0;
        for (const QLabel* label : shown->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;  // the pictures
            ++captions;
            const QFontInfo used(label->font());
            if (used.family() != QLatin1String("Liberation Sans")) {
                problems.append(label->objectName() + ": drawn in " + used.family());
            }
            if (const QString problem = labelProblem(label); !problem.isEmpty()) {
                problems.append(label->objectName() + " \"" + label->text() + "\": " + problem);
            }
        }
        for (const QGroupBox* frame : shown->findChildren<QGroupBox*>()) {
            if (frame->title().isEmpty()) continue;
            ++captions;
            if (const QString problem = groupBoxProblem(frame); !problem.isEmpty()) {
                problems.append(frame->objectName() + ": " + problem);
            }
        }
        for (const QPushButton* button : shown->findChildren<QPushButton*>()) {
            ++captions;
            if (const QString problem = buttonProblem(button); !problem.isEmpty()) {
                problems.append(button->objectName() + ": " + problem);
            }
        }
        QVERIFY(captions > 0);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
    }

    void windowsFollowTheDesignGeometry_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");  // empty: the window's client area on the screen
        QTest::addColumn<QRect>("twips");
        QTest::newRow("main client area") << "Form1"
                                          << "" << QRect(2205, 2205, 8655, 9270);
        QTest::newRow("main: results frame") << "Form1"
                                             << "Frame5" << QRect(90, 4485, 8175, 3855);
        QTest::newRow("main: picture") << "Form1"
                                       << "Image1" << QRect(5895, 15, 2385, 1275);
        QTest::newRow("main: Exit") << "Form1"
                                    << "cmdexit" << QRect(7845, 8685, 735, 495);
        QTest::newRow("main: HP w/N2O label") << "Form1"
                                              << "label49" << QRect(90, 1350, 1725, 300);
        QTest::newRow("main: LRT altitude MPH") << "Form1"
                                                << "lrtAltMPH" << QRect(5655, 3405, 615, 285);
        QTest::newRow("support client area") << "Form5"
                                             << "" << QRect(4185, 3720, 5235, 6615);
        QTest::newRow("support: photograph") << "Form5"
                                             << "Image1" << QRect(255, 885, 4725, 3780);
        QTest::newRow("About client area") << "Form6"
                                           << "" << QRect(3930, 2940, 5370, 6750);
        QTest::newRow("About: credit line") << "Form6"
                                            << "Label1" << QRect(1207, 675, 2850, 285);
    }
    void windowsFollowTheDesignGeometry() {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QRect, twips);
        MainWindow main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.window));
        QWidget* shown = &main.window;
        if (window != "Form1") {
            QVERIFY(chooseMenu(main.window, window == "Form5" ? "Shareware" : "About"));
            shown = visibleTopLevel(window);
            QVERIFY(shown);
        }
        if (control.isEmpty()) {
            QWidget* client = window == "Form1" ? main.window.centralWidget() : shown;
            QCOMPARE(QRect(client->mapToGlobal(QPoint(0, 0)), client->size()), pixels(twips));
        } else {
            QCOMPARE(shown->findChild<QWidget*>(control)->geometry(), pixels(twips));
        }
    }

    void resizingMovesNothing() {
        MainWindow main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.window));
        QMap<QString, QRect> before;
        for (const QWidget* child : main.window.centralWidget()->findChildren<QWidget*>()) {
            if (!child->objectName().isEmpty()) before[child->objectName()] = child->geometry();
        }
        main.window.resize(main.window.size() + QSize(200, 150));
        QTRY_VERIFY(main.window.centralWidget()->width() > 577);
        for (auto control = before.begin(); control != before.end(); ++control) {
            QCOMPARE(main.find(control.key())->geometry(), control.value());
        }
    }

    void documentWindowsHaveOneViewAtTheDesignPlace_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("clientTwips");
        QTest::addColumn<QRect>("viewTwips");
        QTest::newRow("Field Inputs")
            << "Form2" << QSize(8685, 9135) << QRect(120, 195, 8370, 8790);
        QTest::newRow("FAQ") << "Form3" << QSize(9870, 9795) << QRect(315, 195, 9150, 9300);
        QTest::newRow("Nitrous 101") << "Form4" << QSize(9585, 9870) << QRect(165, 135, 9255, 9570);
    }
    void documentWindowsHaveOneViewAtTheDesignPlace() {
        QFETCH(QString, caption);
        QFETCH(QSize, clientTwips);
        QFETCH(QRect, viewTwips);
        Windows windows;
        std::unique_ptr<QWidget> window;
        if (caption == "Form2") window = std::make_unique<moravik::ui::Form2>(windows.services);
        if (caption == "Form3") window = std::make_unique<moravik::ui::Form3>(windows.services);
        if (caption == "Form4") window = std::make_unique<moravik::ui::Form4>(windows.services);
        QCOMPARE(window->objectName(), caption);
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->size(), QSize(pixels(clientTwips.width()), pixels(clientTwips.height())));
        auto* view = window->findChild<QTextBrowser*>("RichTextBox1");
        QCOMPARE(view->geometry(), pixels(viewTwips));
        QVERIFY(view->isReadOnly());
        int focusable = 0;
        for (const QWidget* child : window->findChildren<QWidget*>()) {
            if (child->focusPolicy() & Qt::TabFocus) ++focusable;
        }
        QCOMPARE(focusable, 1);
    }

    void captionLabelsAreBuddiesOfTheirBoxes() {
        MainWindow main;
        int buddies = 0;
        for (const QLabel* label : main.window.findChildren<QLabel*>()) {
            const QWidget* box = label->buddy();
            if (!box) continue;
            ++buddies;
            // The caption stands on the box's line, to its left, in the same frame.
            QCOMPARE(box->parentWidget(), label->parentWidget());
            QVERIFY2(qAbs(box->y() - label->y()) <= 3, qPrintable(label->objectName()));
            QVERIFY2(label->x() < box->x(), qPrintable(label->objectName()));
        }
        QCOMPARE(buddies, 26);
    }

    void designStaysWhiteOnADarkDesktop() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(20, 20, 20));
        QApplication::setPalette(dark);
        applyLook();
        Windows windows;
        for (QWidget* window :
             {static_cast<QWidget*>(&windows.form1), static_cast<QWidget*>(&windows.form5),
              static_cast<QWidget*>(&windows.form6)}) {
            const QImage picture = window->grab().toImage();
            QCOMPARE(QColor(picture.pixel(picture.width() - 3, picture.height() - 3)),
                     QColor(Qt::white));
            QCOMPARE(window->palette().color(QPalette::WindowText), QColor(Qt::black));
        }
        const auto* link = windows.form5.findChild<QLabel*>("Label3");
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(link->font().bold());
        QVERIFY(link->font().underline());
        QCOMPARE(windows.form1.findChild<QLineEdit*>("njt")->palette().color(QPalette::Base),
                 QColor(Qt::white));
    }

    void aboutCommandsStayOnTheMenuBar() {
        MainWindow main;
        QStringList entries;
        for (const QAction* action : main.window.menuBar()->actions()) {
            entries.append(action->text());
            QCOMPARE(action->menu() != nullptr, action->text() == "Help");
            if (!action->menu()) QCOMPARE(action->menuRole(), QAction::NoRole);
        }
        QCOMPARE(entries, QStringList({"Help", "About", "Shareware"}));
        QStringList items;
        for (const QAction* action : main.window.menuBar()->actions().first()->menu()->actions()) {
            items.append(action->text());
            QCOMPARE(action->menuRole(), QAction::NoRole);
        }
        QCOMPARE(items, QStringList({"Field Inputs", "Nitrous 101", "FAQ"}));
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
