#pragma once

class QApplication;

namespace moravik::desktop {

// The windows are designed for white backgrounds, dark text and a small sans
// font with Arial's metrics. Fixing the style, palette and font here keeps that
// look on every desktop, dark themes included, and keeps every caption inside
// its box whatever fonts the desktop prefers.
void applyDesignLook(QApplication& app);

}  // namespace moravik::desktop
