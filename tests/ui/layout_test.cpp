// The look of the windows with the fonts actually in use: every caption fits
// its box, and the design's placement, sizes and buddies hold.
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

QRect pixels(const QRect& twips) {
    return QTransform::fromScale(1 / 15.0, 1 / 15.0).mapRect(QRectF(twips)).toRect();
}

// The room a caption needs and the room its box gives it, in the caption's
// font; nothing for widgets without a caption.
std::pair<QRect, QRect> captionRoom(const QWidget* widget) {
    const QFontMetrics metrics(widget->font());
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (label && !label->text().isEmpty()) {
        const QRect box(QPoint(), label->contentsRect().size());
        const int flags = Qt::TextWordWrap | label->alignment();
        if (label->wordWrap()) return {metrics.boundingRect(box, flags, label->text()), box};
        // The ink of a top-aligned line, so that the tiny boxes of the inch marks count too.
        const QRect ink = metrics.tightBoundingRect(label->text()).translated(0, metrics.ascent());
        return {QRect(0, ink.top(), metrics.horizontalAdvance(label->text()), ink.height()), box};
    }
    const auto* frame = qobject_cast<const QGroupBox*>(widget);
    if (frame && !frame->title().isEmpty())
        return {QRect(QPoint(), frame->minimumSizeHint()), frame->rect()};  // its title
    const auto* button = qobject_cast<const QPushButton*>(widget);
    if (!button) return {};
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    const int width = metrics.horizontalAdvance(QString(button->text()).remove('&')) + margin;
    return {QRect(0, 0, width, metrics.height()), button->rect()};
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::ui::applyDesignLook(*qApp); }

    void everyCaptionFitsItsBox() {
        App main;
        int captions = 0;
        QString problems;
        for (const QString window : {"Form1", "Form5", "Form6"}) {
            QWidget* shown = main.show(window);
            QVERIFY2(shown, qPrintable(window));
            for (const QWidget* widget : shown->findChildren<QWidget*>()) {
                const auto [needed, room] = captionRoom(widget);
                if (!needed.isValid()) continue;
                ++captions;
                const QString family = QFontInfo(widget->font()).family();
                if (!room.contains(needed) || family != "Liberation Sans")
                    QDebug(&problems) << window << widget->objectName() << family << needed << "in"
                                      << room << "\n";
            }
        }
        QVERIFY(captions > 0);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void windowsFollowTheDesignGeometry_data() {
        QTest::addColumn<QString>("place");  // a window's client area, or window/control
        QTest::addColumn<QRect>("twips");
        QTest::newRow("main window") << "Form1" << QRect(2205, 2205, 8655, 9270);
        QTest::newRow("main: results frame") << "Form1/Frame5" << QRect(90, 4485, 8175, 3855);
        QTest::newRow("support window") << "Form5" << QRect(4185, 3720, 5235, 6615);
        QTest::newRow("About window") << "Form6" << QRect(3930, 2940, 5370, 6750);
        QTest::newRow("Field Inputs view") << "Form2/RichTextBox1" << QRect(120, 195, 8370, 8790);
    }
    void windowsFollowTheDesignGeometry() {
        QFETCH(QString, place);
        QFETCH(QRect, twips);
        App main;
        const QStringList names = place.split('/');
        QWidget* shown = main.show(names[0]);
        QVERIFY2(shown, qPrintable(main.messages.join('\n')));
        if (names.size() > 1) {
            QCOMPARE(shown->findChild<QWidget*>(names[1])->geometry(), pixels(twips));
        } else {
            QWidget* client = shown == &main.window ? main.window.centralWidget() : shown;
            QCOMPARE(QRect(client->mapToGlobal(QPoint()), client->size()), pixels(twips));
        }
    }

    void captionLabelsAreBuddiesOfTheirBoxes() {
        App main;
        int buddies = 0;
        for (const QLabel* label : main.window.findChildren<QLabel*>()) {
            const QWidget* box = label->buddy();
            // A caption stands on its box's line, to its left, in the same frame.
            QVERIFY2(!box || (box->parentWidget() == label->parentWidget() &&
                              qAbs(box->y() - label->y()) <= 3 && label->x() < box->x()),
                     qPrintable(label->objectName()));
            buddies += box ? 1 : 0;
        }
        QCOMPARE(buddies, 26);
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
