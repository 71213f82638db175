#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextTableCellFormat>
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

// A table whose columns end at grid (twips from the left margin); with no grid Qt sizes the
// columns to their text.
QTextTableFormat tableFormat(const std::vector<int>& grid);
// A cell's shading and the borders the file gives it.
QTextTableCellFormat cellFormat(const TableCell& cell);

}  // namespace moravik::rtf::detail
