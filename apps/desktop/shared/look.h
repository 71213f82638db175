#pragma once

#include <QImage>

class QApplication;
class QString;

namespace moravik::desktop {

// The windows are designed for white backgrounds, dark text and a small sans
// font with Arial's metrics. Fixing the style, palette and font here keeps that
// look on every desktop, dark themes included, and keeps every caption inside
// its box whatever fonts the desktop prefers.
void applyDesignLook(QApplication& app);

// Reads a PNG file or resource as PNG and nothing else. Left to guess, Qt asks
// every installed image plugin (GIF, JPEG, SVG, ...) first whether it reads
// the file, loading each with its libraries: at start-up, more time and
// memory than the picture itself.
QImage readPng(const QString& path);

}  // namespace moravik::desktop
