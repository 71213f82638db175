#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextTableFormat>
#include <vector>

#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {

// 1440 twips make an inch, and the document counts 96 pixels to the inch.
inline constexpr double kTwipsPerPixel = 15.0;

// Font families and addresses come converted, so the formats that use them share one copy.
QTextCharFormat toQt(const CharFormat& source, const std::vector<QStringList>& families,
                     const std::vector<QString>& links);

QTextBlockFormat toQt(const ParagraphFormat& source);

// A table whose cells end at cellEnds (twips from the left margin) when they give one end for
// each of its columns; otherwise Qt sizes the columns to their text.
QTextTableFormat tableFormat(const std::vector<int>& cellEnds, std::size_t columns);

}  // namespace moravik::rtf::detail
