#include "look.h"

#include <qdrawutil.h>

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOptionGroupBox>

namespace moravik::desktop {
namespace {

// Fusion draws with the application palette only, so the desktop theme cannot
// darken the windows. Its frames, though, put the title above the border and
// tint their inside; the design's frames are white, with the title standing
// on the border line near its left end.
class DesignStyle final : public QProxyStyle {
public:
    DesignStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        if (control != CC_GroupBox)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const auto* frame = static_cast<const QStyleOptionGroupBox*>(option);
        const int textHeight = frame->fontMetrics.height();
        switch (part) {
            case SC_GroupBoxFrame:
                return frame->rect.adjusted(0, textHeight / 2, 0, 0);
            case SC_GroupBoxLabel:
                if (frame->text.isEmpty()) return {};
                return {titleIndent, 0,
                        frame->fontMetrics.horizontalAdvance(frame->text) + 2 * titlePadding,
                        textHeight};
            case SC_GroupBoxContents:
                return frame->rect.adjusted(borderWidth, textHeight, -borderWidth, -borderWidth);
            default:
                return {};
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        if (control != CC_GroupBox) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const auto* frame = static_cast<const QStyleOptionGroupBox*>(option);
        // An etched line: dark, with the light edge inside it.
        qDrawShadeRect(painter, subControlRect(control, option, SC_GroupBoxFrame, widget),
                       frame->palette, true, borderWidth / 2);
        if (frame->text.isEmpty()) return;
        const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
        painter->fillRect(title, frame->palette.window());
        drawItemText(painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, frame->palette,
                     frame->state & State_Enabled, frame->text, QPalette::WindowText);
    }

    // The arrow of a menu bar too narrow for its entries, which every menu bar
    // asks for when it is made: Qt's own pictures, read with readPng.
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        if (icon != SP_ToolBarHorizontalExtensionButton)
            return QProxyStyle::standardIcon(icon, option, widget);
        const bool rightToLeft =
            option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
        QIcon arrow;
        for (const int width : {8, 16, 32}) {
            const QImage image = readPng(
                QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-h-%1%2.png")
                    .arg(rightToLeft ? QStringLiteral("rtl-") : QString())
                    .arg(width));
            // Another Qt may keep them elsewhere.
            if (image.isNull()) return QProxyStyle::standardIcon(icon, option, widget);
            arrow.addPixmap(QPixmap::fromImage(image));
        }
        return arrow;
    }

private:
    static constexpr int borderWidth = 2;
    static constexpr int titleIndent = 6;
    static constexpr int titlePadding = 2;
};

}  // namespace

QImage readPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

void applyDesignLook(QApplication& app) {
    QApplication::setStyle(new DesignStyle);
    QPalette palette = app.style()->standardPalette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, Qt::white);
        palette.setColor(group, QPalette::WindowText, Qt::black);
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, Qt::black);
        palette.setColor(group, QPalette::ButtonText, Qt::black);
    }
    QApplication::setPalette(palette);

    // Liberation Sans has Arial's metrics and is packaged everywhere. At 10
    // pixels the longest captions ("Estimated 1/4 mile time:") fit their boxes;
    // a pixel size keeps text and the pixel geometry in proportion. Without
    // hinting, text widths follow the font's own metrics instead of the
    // desktop's hinting settings, so the fit holds on every machine.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(10);
    font.setHintingPreference(QFont::PreferNoHinting);
    QApplication::setFont(font);
}

}  // namespace moravik::desktop
