// The windows as designed: the main window's controls, pinned ones with their
// place, kind and text written down here from the design's twips rather than
// read from the .ui file; the menu bar; the placement of the other windows; the
// captions, which must show whole in the fonts actually in use, with no
// neighbour over them; and the frames.
#include <QComboBox>
#include <QDebug>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui_test_support.h"

using namespace moravik::ui::testing;

namespace {

enum class Kind { Label, Heading, Frame, TextBox, ResultBox, EditList, DropDown, Button, Image };

struct Control {
    const char* name;
    const char* parent;  // a frame, or "" for the client area
    Kind kind;
    QRect twips;
    const char* text;  // caption, title or initial text
};

constexpr auto L = Kind::Label, H = Kind::Heading, R = Kind::ResultBox;
constexpr const char* inchMark = "\"";

// Controls pinned to the design's twips: one of each kind, the smallest label, the outer frames
// and the corners of the window. The design has 100 controls in all.
constexpr int designControlCount = 100;
const Control designControls[] = {
    {"Frame1", "", Kind::Frame, {195, 240, 3300, 2295}, "Nitrous Input"},
    {"njt", "Frame1", Kind::TextBox, {2280, 360, 495, 285}, ".030"},
    {"Label5", "Frame1", L, {2760, 360, 135, 135}, inchMark},
    {"jtn", "Frame1", Kind::EditList, {2280, 1800, 735, 315}, "1"},
    {"TextBox1", "Frame3", R, {960, 240, 615, 285}, ""},
    {"altitudeDD", "Frame4", Kind::DropDown, {765, 1095, 2115, 315}, ""},
    {"Frame5", "", Kind::Frame, {90, 4485, 8175, 3855}, "Drag Racing Output:"},
    {"Label25", "Frame5", H, {120, 240, 1935, 255}, "Huntington Formula"},
    {"cal", "", Kind::Button, {2145, 8730, 3855, 375}, "Calculate"},
    {"cmdexit", "", Kind::Button, {7845, 8685, 735, 495}, "E&xit"},
    {"Image1", "", Kind::Image, {5895, 15, 2385, 1275}, ""},
};

QRect pixels(const QRect& twips) {
    return QTransform::fromScale(1 / 15.0, 1 / 15.0).mapRect(QRectF(twips)).toRect();
}

Kind kindOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (!label->pixmap().isNull()) return Kind::Image;
        const QFont font = label->font();
        return font.bold() && font.underline() ? Kind::Heading : Kind::Label;
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(widget))
        return box->isReadOnly() ? Kind::ResultBox : Kind::TextBox;
    if (const auto* list = qobject_cast<const QComboBox*>(widget))
        return list->isEditable() ? Kind::EditList : Kind::DropDown;
    if (qobject_cast<const QGroupBox*>(widget)) return Kind::Frame;
    return Kind::Button;
}

QString textOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) return box->text();
    if (const auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) return frame->title();
    return qobject_cast<const QPushButton*>(widget)->text();
}

// The menu bar as a line: entries in order, a menu's items in brackets, and
// anything that the design rules out (separators, shortcuts) shown as well.
QString menuOutline(const QList<QAction*>& actions) {
    QStringList entries;
    for (const QAction* action : actions) {
        const QObject* named = action->menu() ? static_cast<QObject*>(action->menu()) : action;
        QString entry =
            action->isSeparator() ? "(separator)" : named->objectName() + ":" + action->text();
        if (!action->shortcut().isEmpty())
            entry += " (shortcut " + action->shortcut().toString() + ")";
        if (action->menu()) entry += " [" + menuOutline(action->menu()->actions()) + "]";
        entries.append(entry);
    }
    return entries.join(", ");
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

// A widget's own drawing, without its children, on the given ground: for a label its ink only
// (on transparent), for a frame its border and title (on the window's white).
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

// The ink pixels of a caption that the window does not show: where the window
// looks the same with the label hidden.
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

}  // namespace

class DesignTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moravik::desktop::applyDesignLook(*qApp); }

    void mainWindowFollowsTheDesign() {
        App main;
        QCOMPARE(main.window.windowTitle(), "Nitrous Moravik by Velmor");
        QWidget* client = main.find("clientArea");
        QCOMPARE(QRect(client->mapToGlobal(QPoint()), client->size()),
                 pixels({2205, 2205, 8655, 9270}));
        QString differences;
        for (const Control& control : designControls) {
            const QWidget* widget = main.find(control.name);
            if (!widget) {
                differences += QString("%1 is missing\n").arg(control.name);
                continue;
            }
            const QString parent = *control.parent ? control.parent : "clientArea";
            if (widget->parentWidget()->objectName() != parent || kindOf(widget) != control.kind ||
                widget->geometry() != pixels(control.twips) || textOf(widget) != control.text)
                QDebug(&differences)
                    << control.name << "is" << widget->parentWidget()->objectName()
                    << int(kindOf(widget)) << widget->geometry() << textOf(widget) << "instead of"
                    << parent << int(control.kind) << pixels(control.twips) << control.text << "\n";
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences));
        const auto controls = client->findChildren<QWidget*>();
        QCOMPARE(std::count_if(controls.begin(), controls.end(),
                               [client](const QWidget* widget) {
                                   return widget->parentWidget() == client ||
                                          qobject_cast<const QGroupBox*>(widget->parentWidget());
                               }),
                 designControlCount);

        const auto* nozzles = main.find<QComboBox>("jtn");
        QStringList items;
        for (int i = 0; i < nozzles->count(); ++i) items.append(nozzles->itemText(i));
        QCOMPARE(items.join(' '), "1 2 3 4 5 6 8 10 12 16");
    }

    void menuBarFollowsTheDesign() {
        App main;
        QCOMPARE(menuOutline(main.window.menuBar()->actions()),
                 "help:Help [fields:Field Inputs, nitrous101:Nitrous 101, faq:FAQ], "
                 "about:About, shareware:Shareware");
    }

    void otherWindowsFollowTheDesign_data() {
        QTest::addColumn<QString>("place");  // a window's client area, or window/control
        QTest::addColumn<QRect>("twips");
        QTest::newRow("support window") << "Form5" << QRect(4185, 3720, 5235, 6615);
        QTest::newRow("About window") << "Form6" << QRect(3930, 2940, 5370, 6750);
        QTest::newRow("Field Inputs view") << "Form2/RichTextBox1" << QRect(120, 195, 8370, 8790);
    }
    void otherWindowsFollowTheDesign() {
        QFETCH(QString, place);
        QFETCH(QRect, twips);
        App main;
        const QStringList names = place.split('/');
        QWidget* shown = main.show(names[0]);
        QVERIFY2(shown, qPrintable(main.told.errors.join('\n')));
        if (names.size() > 1)
            QCOMPARE(shown->findChild<QWidget*>(names[1])->geometry(), pixels(twips));
        else
            QCOMPARE(QRect(shown->mapToGlobal(QPoint()), shown->size()), pixels(twips));
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
};

QTEST_MAIN(DesignTest)
#include "design_test.moc"
