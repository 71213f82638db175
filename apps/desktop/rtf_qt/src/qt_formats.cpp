#include "qt_formats.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QTextOption>
#include <algorithm>

namespace moravik::rtf::detail {
namespace {

constexpr double kCellPaddingPixels = 4;
constexpr double kTableBorderPixels = 4;
constexpr int kPageTextTwips = 9360;

QColor toQColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QTextCharFormat::VerticalAlignment toQt(VerticalAlignment alignment) {
    switch (alignment) {
        case VerticalAlignment::Superscript:
            return QTextCharFormat::AlignSuperScript;
        case VerticalAlignment::Subscript:
            return QTextCharFormat::AlignSubScript;
        case VerticalAlignment::Baseline:
            break;
    }
    return QTextCharFormat::AlignNormal;
}

QFont::Capitalization toQt(Capitalization capitalization) {
    switch (capitalization) {
        case Capitalization::AllCaps:
            return QFont::AllUppercase;
        case Capitalization::SmallCaps:
            return QFont::SmallCaps;
        case Capitalization::AsWritten:
            break;
    }
    return QFont::MixedCase;
}

Qt::Alignment toQt(Alignment alignment) {
    switch (alignment) {
        case Alignment::Center:
            return Qt::AlignHCenter;
        case Alignment::Right:
            return Qt::AlignRight;
        case Alignment::Justify:
            return Qt::AlignJustify;
        case Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

QTextOption::TabType toQt(TabAlignment alignment) {
    switch (alignment) {
        case TabAlignment::Center:
            return QTextOption::CenterTab;
        case TabAlignment::Right:
            return QTextOption::RightTab;
        case TabAlignment::Decimal:
            return QTextOption::DelimiterTab;
        case TabAlignment::Left:
            break;
    }
    return QTextOption::LeftTab;
}

}  // namespace

QTextCharFormat toQt(const CharFormat& source, const std::vector<QStringList>& families,
                     const std::vector<QString>& links) {
    QTextCharFormat format;
    format.setFontWeight(source.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(source.italic);
    format.setFontUnderline(source.underline);
    format.setFontStrikeOut(source.strikeOut);
    format.setFontPointSize(source.halfPoints / 2.0);
    if (source.font) format.setFontFamilies(families.at(*source.font));
    if (source.color) format.setForeground(toQColor(*source.color));
    if (source.highlight) format.setBackground(toQColor(*source.highlight));
    if (source.verticalAlignment != VerticalAlignment::Baseline) {
        format.setVerticalAlignment(toQt(source.verticalAlignment));
    }
    if (source.capitalization != Capitalization::AsWritten) {
        format.setFontCapitalization(toQt(source.capitalization));
    }
    if (source.link) {
        format.setAnchor(true);
        format.setAnchorHref(links.at(*source.link));
        // Word styles its links itself; WordPad's plain ones still need to look like links.
        format.setFontUnderline(true);
        if (!source.color) format.setForeground(QPalette().color(QPalette::Link));
    }
    return format;
}

QTextBlockFormat toQt(const ParagraphFormat& source) {
    QTextBlockFormat format;
    format.setAlignment(toQt(source.alignment));
    format.setLeftMargin(source.leftIndent / kTwipsPerPixel);
    format.setRightMargin(source.rightIndent / kTwipsPerPixel);
    format.setTextIndent(source.firstLineIndent / kTwipsPerPixel);
    format.setTopMargin(source.spaceBefore / kTwipsPerPixel);
    format.setBottomMargin(source.spaceAfter / kTwipsPerPixel);

    // Word puts an implicit tab stop at a hanging indent, so a list's number and its text part.
    // RTF measures tab stops from the margin; Qt from where the first line begins.
    std::vector<TabStop> stops = source.tabStops;
    if (source.firstLineIndent < 0) stops.push_back({source.leftIndent, TabAlignment::Left});
    std::ranges::stable_sort(stops, {}, &TabStop::position);
    const int firstLineStart = source.leftIndent + source.firstLineIndent;
    QList<QTextOption::Tab> tabs;
    for (const TabStop& stop : stops) {
        if (stop.position > firstLineStart) {
            tabs.append(QTextOption::Tab((stop.position - firstLineStart) / kTwipsPerPixel,
                                         toQt(stop.alignment), QChar(u'.')));
        }
    }
    format.setTabPositions(tabs);
    return format;
}

// RTF's cell ends include the cells' padding, as Qt's column widths do. A table wider than a
// Letter page's text (8.5 in less two 1 in margins) is fitted to the view, as word processors
// fit it to the page.
QTextTableFormat tableFormat(const std::vector<int>& grid) {
    QTextTableFormat format;
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(kCellPaddingPixels);
    // A table without a grid has no cell borders, and collapsing none would double the time Qt
    // takes to lay out each cell.
    if (grid.empty()) return format;
    format.setBorderCollapse(true);
    const bool fitted = grid.back() > kPageTextTwips;
    if (fitted) format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QList<QTextLength> widths;
    int start = 0;
    for (const int end : grid) {
        widths.append(QTextLength(
            fitted ? QTextLength::PercentageLength : QTextLength::FixedLength,
            fitted ? 100.0 * (end - start) / grid.back() : (end - start) / kTwipsPerPixel));
        start = end;
    }
    // Qt draws the collapsed borders around the cells outside their columns: a fixed table
    // takes them off its last column, so that it is as wide as its last cell end.
    if (!fitted) {
        const double last = widths.constLast().rawValue();
        widths.last() =
            QTextLength(QTextLength::FixedLength, std::max(last - kTableBorderPixels, 0.0));
    }
    format.setColumnWidthConstraints(widths);
    return format;
}

QTextTableCellFormat cellFormat(const TableCell& cell) {
    QTextTableCellFormat format;
    if (cell.shading) format.setBackground(toQColor(*cell.shading));
    const auto side = [&](std::size_t index, auto setWidth, auto setStyle, auto setBrush) {
        const std::optional<CellBorder>& border = cell.borders[index];
        // A border of no width is a hairline: one pixel.
        (format.*setWidth)(border ? std::max(border->width / kTwipsPerPixel, 1.0) : 0);
        (format.*setStyle)(border ? QTextFrameFormat::BorderStyle_Solid
                                  : QTextFrameFormat::BorderStyle_None);
        if (border) {
            (format.*setBrush)(border->color ? QBrush(toQColor(*border->color))
                                             : QBrush(Qt::black));
        }
    };
    side(0, &QTextTableCellFormat::setTopBorder, &QTextTableCellFormat::setTopBorderStyle,
         &QTextTableCellFormat::setTopBorderBrush);
    side(1, &QTextTableCellFormat::setLeftBorder, &QTextTableCellFormat::setLeftBorderStyle,
         &QTextTableCellFormat::setLeftBorderBrush);
    side(2, &QTextTableCellFormat::setBottomBorder, &QTextTableCellFormat::setBottomBorderStyle,
         &QTextTableCellFormat::setBottomBorderBrush);
    side(3, &QTextTableCellFormat::setRightBorder, &QTextTableCellFormat::setRightBorderStyle,
         &QTextTableCellFormat::setRightBorderBrush);
    return format;
}

}  // namespace moravik::rtf::detail
