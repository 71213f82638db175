// The windows as drawn and as a screen reader reads them. Where each control sits and what it
// says is the design itself (Form1.ui), not restated here.
#include <QAccessible>
#include <QComboBox>
#include <QDebug>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

// The room a caption needs and the room its box gives, in its font; none without a caption.
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

// A widget's own drawing without its children: a label's ink, or a frame on the window's white.
QImage drawnAlone(QWidget* widget, QColor ground = Qt::transparent) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    widget->render(&image, QPoint(), QRegion(), {});
    return image;
}

// Where a label's text leaves ink, in its own coordinates.
QRect inkBounds(QLabel* label) {
    const QImage ink = drawnAlone(label);
    QRect bounds;
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            if (qAlpha(ink.pixel(x, y)) > 0) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A caption's ink pixels the window does not show: alike with the label hidden.
int hiddenInk(QWidget* window, QLabel* label) {
    const QImage ink = drawnAlone(label);
    const QRect place(label->mapTo(window, QPoint()), label->size());
    const QImage shown = window->grab(place).toImage();
    label->hide();
    const QImage withoutLabel = window->grab(place).toImage();
    label->show();
    int hidden = 0;
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            if (qAlpha(ink.pixel(x, y)) > 128 && shown.pixel(x, y) == withoutLabel.pixel(x, y))
                ++hidden;
    return hidden;
}

bool isBlank(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

// A control's name as a screen reader speaks it. Qt on Linux names a combo box by its current
// text, as the platform expects, and screen readers then speak the name of its label.
QString spokenName(QAccessibleInterface* accessible) {
    const QString name = accessible->text(QAccessible::Name);
    if (accessible->role() != QAccessible::ComboBox || name != accessible->text(QAccessible::Value))
        return name;
    const auto labels = accessible->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

}  // namespace

class DesignTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::desktop::applyDesignLook(*qApp); }

    // The drag car shows without loading an image plugin (start-up time); first, before others.
    void mainWindowPaintsWithoutImagePlugins() {
        App main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.window));
        main.window.repaint();
        QVERIFY(!main.find<QLabel>("Image1")->pixmap().isNull());
        QFile maps("/proc/self/maps");
        if (!maps.open(QIODevice::ReadOnly)) QSKIP("no /proc/self/maps to list loaded libraries");
        QStringList plugins = QString::fromLocal8Bit(maps.readAll()).split('\n');
        plugins.removeIf([](const QString& line) {
            return !line.contains("/imageformats/") && !line.contains("/iconengines/");
        });
        QCOMPARE(plugins, QStringList());
    }

    // A menu bar too narrow for its entries shows Qt's own arrow, either way round.
    void menuBarOverflowArrowIsQts() {
        const auto arrow = QStyle::SP_ToolBarHorizontalExtensionButton;
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
        for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QStyleOption option;
            option.direction = direction;
            const QIcon qts = fusion->standardIcon(arrow, &option);
            const QIcon ours = qApp->style()->standardIcon(arrow, &option);
            QVERIFY(!qts.availableSizes().isEmpty());
            QCOMPARE(ours.availableSizes(), qts.availableSizes());
            for (const QSize size : qts.availableSizes())
                QCOMPARE(ours.pixmap(size).toImage(), qts.pixmap(size).toImage());
        }
    }

    // Each caption fits its box in the font in use, and no neighbour hides any of its ink.
    void everyCaptionShowsWhole() {
        App main;
        int captions = 0;
        QString problems;
        for (const QString window : {"Form1", "Form5", "Form6"}) {
            QWidget* shown = main.show(window);
            QVERIFY2(shown, qPrintable(window));
            for (QWidget* widget : shown->findChildren<QWidget*>()) {
                const auto [needed, room] = captionRoom(widget);
                if (!needed.isValid()) continue;
                ++captions;
                const QString family = QFontInfo(widget->font()).family();
                if (!room.contains(needed) || family != "Liberation Sans")
                    QDebug(&problems) << window << widget->objectName() << family << needed << "in"
                                      << room << "\n";
                auto* label = qobject_cast<QLabel*>(widget);
                if (const int hidden = label ? hiddenInk(shown, label) : 0; hidden > 0)
                    QDebug(&problems)
                        << window << label->objectName() << "has" << hidden << "pixels hidden\n";
            }
        }
        QVERIFY(captions > 0);
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // Titles on the border line, no line through a caption or a box, white inside.
    void framesLookAsDesigned() {
        App main;
        QString problems;
        for (QGroupBox* frame : main.window.findChildren<QGroupBox*>()) {
            const QImage drawn = drawnAlone(frame, Qt::white);
            int line = 0;  // the top border, found right of any title
            while (line < drawn.height() &&
                   drawn.pixel(drawn.width() - 10, line) == qRgb(255, 255, 255))
                ++line;
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            if (!frame->title().isEmpty() && (line <= title.top() || line >= title.bottom()))
                QDebug(&problems) << frame->objectName() << "title" << title << "off the line at"
                                  << line << "\n";
            if (drawn.pixel(drawn.width() / 2, (line + drawn.height()) / 2) != qRgb(255, 255, 255))
                QDebug(&problems) << frame->objectName() << "is not white inside\n";
            for (QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                auto* label = qobject_cast<QLabel*>(control);
                const QRect area =
                    label ? inkBounds(label).translated(label->pos()) : control->geometry();
                if (!isBlank(drawn, area))
                    QDebug(&problems)
                        << frame->objectName() << "crosses" << control->objectName() << "\n";
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // Each input, result box and button has a role and a name of its own; each menu entry a name.
    void everyControlHasANameAndRole() {
        App main;
        main.find<QComboBox>("altitudeDD")->setCurrentIndex(6);
        QTest::mouseClick(main.find("cal"), Qt::LeftButton);
        QStringList problems, names;
        QList<QWidget*> controls = main.window.findChildren<QWidget*>();
        controls.removeIf([](QWidget* widget) {
            return !qobject_cast<QLineEdit*>(widget) && !qobject_cast<QComboBox*>(widget) &&
                   !qobject_cast<QPushButton*>(widget);
        });
        for (QWidget* control : controls) {
            if (control->parentWidget() && qobject_cast<QComboBox*>(control->parentWidget()))
                continue;  // an editable list's own line edit
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            const QString name = accessible ? spokenName(accessible) : QString();
            if (name.isEmpty() || names.contains(name) || accessible->role() == QAccessible::Client)
                problems.append(control->objectName() + ": \"" + name + '"');
            names.append(name);
        }
        QObjectList menus{main.window.menuBar()};
        for (QMenu* menu : main.window.findChildren<QMenu*>()) menus.append(menu);
        for (QObject* menu : menus) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
            for (int i = 0; i < accessible->childCount(); ++i)
                if (accessible->child(i)->text(QAccessible::Name).isEmpty())
                    problems.append(menu->objectName() + ": entry " + QString::number(i));
        }
        QCOMPARE(problems.join("; "), QString());
    }
};

QTEST_MAIN(DesignTest)
#include "design_test.moc"
