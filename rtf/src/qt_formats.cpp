#include "qt_formats.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QTextOption>
#include <algorithm>

namespace moravik::rtf::detail {
namespace {

// Qt draws a collapsed table border this many pixels outside its columns.
constexpr double kTableBorderPixels = 4;
constexpr double kCellPaddingPixels = 4;

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

// RTF's cell ends include the cells' padding, as Qt's column widths do; the border that Qt adds
// around them comes off the last column, so that the table is as wide as its last cell end.
QTextTableFormat tableFormat(const std::vector<int>& cellEnds, std::size_t columns) {
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(kCellPaddingPixels);
    if (cellEnds.size() != columns) return format;
    QList<QTextLength> widths;
    int start = 0;
    for (const int end : cellEnds) {
        widths.append(
            QTextLength(QTextLength::FixedLength, std::max(end - start, 0) / kTwipsPerPixel));
        start = std::max(start, end);
    }
    const double last = widths.constLast().rawValue();
    widths.last() = QTextLength(QTextLength::FixedLength,
                                std::max(last - kTableBorderPixels, 2 * kCellPaddingPixels));
    format.setColumnWidthConstraints(widths);
    return format;
}

}  // namespace moravik::rtf::detail
