#include "look.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>

namespace moravik::ui {

void applyDesignLook(QApplication& app) {
    // Fusion draws with the application palette only, so the desktop theme
    // cannot darken the windows.
    QApplication::setStyle(QStringLiteral("Fusion"));
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

}  // namespace moravik::ui
