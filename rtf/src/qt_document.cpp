#include "moravik/rtf/qt_document.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPalette>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTextTable>
#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "moravik/rtf/document.h"
#include "moravik/rtf/parser.h"

namespace moravik::rtf {
namespace {

// 1440 twips make an inch, and the document counts 96 pixels to the inch.
constexpr double kTwipsPerPixel = 15.0;

// Qt lays a table out in one piece, so a long run of rows is parted into several tables.
constexpr std::size_t kMaxTableCells = 20000;

QColor toQColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Font families and addresses come converted, so the formats that use them share one copy.
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
    switch (source.verticalAlignment) {
        case VerticalAlignment::Superscript:
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            break;
        case VerticalAlignment::Subscript:
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
            break;
        case VerticalAlignment::Baseline:
            break;
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
    switch (source.alignment) {
        case Alignment::Left:
            format.setAlignment(Qt::AlignLeft);
            break;
        case Alignment::Center:
            format.setAlignment(Qt::AlignHCenter);
            break;
        case Alignment::Right:
            format.setAlignment(Qt::AlignRight);
            break;
        case Alignment::Justify:
            format.setAlignment(Qt::AlignJustify);
            break;
    }
    format.setLeftMargin(source.leftIndent / kTwipsPerPixel);
    format.setRightMargin(source.rightIndent / kTwipsPerPixel);
    format.setTextIndent(source.firstLineIndent / kTwipsPerPixel);
    format.setTopMargin(source.spaceBefore / kTwipsPerPixel);
    format.setBottomMargin(source.spaceAfter / kTwipsPerPixel);

    // Word puts an implicit tab stop at a hanging indent, so a list's number and its text part.
    // RTF measures tab stops from the margin; Qt from where the first line begins.
    std::vector<int> stops = source.tabStops;
    if (source.firstLineIndent < 0) stops.push_back(source.leftIndent);
    std::ranges::sort(stops);
    const int firstLineStart = source.leftIndent + source.firstLineIndent;
    QList<QTextOption::Tab> tabs;
    for (const int stop : stops) {
        if (stop > firstLineStart) {
            tabs.append(
                QTextOption::Tab((stop - firstLineStart) / kTwipsPerPixel, QTextOption::LeftTab));
        }
    }
    format.setTabPositions(tabs);
    return format;
}

// QTextCursor::insertText starts a new block at '\n', so line breaks become line separators.
QString toQString(std::string_view text) {
    QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    result.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return result;
}

class Builder {
public:
    Builder(const Document& source, QTextDocument& target) : source_(source), cursor_(&target) {
        std::vector<QStringList> families;
        families.reserve(source.fonts.size());
        for (const std::string& name : source.fonts)
            families.push_back({QString::fromStdString(name)});
        std::vector<QString> links;
        links.reserve(source.links.size());
        for (const std::string& link : source.links) links.push_back(QString::fromStdString(link));
        formats_.reserve(source.formats.size());
        for (const CharFormat& format : source.formats) {
            formats_.push_back(toQt(format, families, links));
        }
    }

    void run() {
        // One edit block: Qt then scans the document's frames once, not after every table.
        cursor_.beginEditBlock();
        const std::vector<Paragraph>& paragraphs = source_.paragraphs;
        bool blockIsFresh = true;  // the cursor's block is empty and still takes a format
        for (std::size_t i = 0; i < paragraphs.size();) {
            if (!paragraphs[i].cellFirstRuns.empty()) {
                const std::size_t end = tableEnd(paragraphs, i);
                insertTable(std::span(paragraphs).subspan(i, end - i));
                blockIsFresh = true;
                i = end;
                continue;
            }
            if (blockIsFresh) {
                cursor_.setBlockFormat(toQt(paragraphs[i].format));
                blockIsFresh = false;
            } else {
                cursor_.insertBlock(toQt(paragraphs[i].format));
            }
            insertRuns(cursor_, paragraphs[i], 0, paragraphs[i].runs.size(), false);
            ++i;
        }
        cursor_.endEditBlock();
    }

private:
    void insertRuns(QTextCursor& cursor, const Paragraph& paragraph, std::size_t first,
                    std::size_t end, bool dropTrailingTab) {
        for (std::size_t i = first; i < end; ++i) {
            std::string_view text = paragraph.runs[i].text;
            if (dropTrailingTab && i + 1 == end && text.ends_with('\t')) text.remove_suffix(1);
            cursor.insertText(toQString(text), formats_.at(paragraph.runs[i].format));
        }
    }

    // Consecutive rows make one table, padded to its widest row. A table ends before a row that
    // would make it pad more cells than its rows fill, or hold more than kMaxTableCells, so that
    // a wide row followed by many narrow ones costs no more than their text.
    static std::size_t tableEnd(std::span<const Paragraph> paragraphs, std::size_t first) {
        std::size_t columns = 0;
        std::size_t filled = 0;
        std::size_t end = first;
        for (; end < paragraphs.size() && !paragraphs[end].cellFirstRuns.empty(); ++end) {
            const std::size_t cells = paragraphs[end].cellFirstRuns.size();
            const std::size_t width = std::max(columns, cells);
            const std::size_t total = (end - first + 1) * width;
            if (end > first && (total > kMaxTableCells || total > 2 * (filled + cells))) break;
            columns = width;
            filled += cells;
        }
        return end;
    }

    // The first row's cell edges give the column widths.
    void insertTable(std::span<const Paragraph> rows) {
        std::size_t columns = 0;
        for (const Paragraph& row : rows) columns = std::max(columns, row.cellFirstRuns.size());
        QTextTableFormat format;
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(4);
        const std::vector<int>& ends = rows.front().cellEnds;
        if (ends.size() == columns) {
            QList<QTextLength> widths;
            int start = 0;
            for (const int end : ends) {
                widths.append(QTextLength(QTextLength::FixedLength,
                                          std::max(end - start, 0) / kTwipsPerPixel));
                start = std::max(start, end);
            }
            format.setColumnWidthConstraints(widths);
        }

        QTextTable* table =
            cursor_.insertTable(static_cast<int>(rows.size()), static_cast<int>(columns), format);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const Paragraph& row = rows[r];
            const std::vector<std::size_t>& cells = row.cellFirstRuns;
            for (std::size_t c = 0; c < cells.size(); ++c) {
                const bool last = c + 1 == cells.size();
                QTextCursor cell =
                    table->cellAt(static_cast<int>(r), static_cast<int>(c)).firstCursorPosition();
                cell.setBlockFormat(toQt(row.format));
                insertRuns(cell, row, cells[c], last ? row.runs.size() : cells[c + 1], !last);
            }
        }
        cursor_ = table->lastCursorPosition();
        cursor_.movePosition(QTextCursor::NextBlock);
    }

    const Document& source_;
    QTextCursor cursor_;
    std::vector<QTextCharFormat> formats_;
};

}  // namespace

void buildDocument(const Document& source, QTextDocument& target) {
    // Loading is no edit the user could undo, and an undo record would copy the whole text.
    const bool undoEnabled = target.isUndoRedoEnabled();
    target.setUndoRedoEnabled(false);
    target.clear();
    Builder builder(source, target);
    builder.run();
    target.setUndoRedoEnabled(undoEnabled);
}

QString loadFile(const QString& path, QTextDocument& document) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("the file does not exist");
    // Folders, devices and pipes are no documents, and a device may never end.
    if (!info.isFile()) return QStringLiteral("the file cannot be read");
    const QString tooLarge =
        QStringLiteral("the file is larger than %1 MB").arg(kMaxFileBytes / (1024 * 1024));
    if (info.size() > kMaxFileBytes) return tooLarge;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("the file cannot be read");
    // One byte past the cap tells a file that grew after the check, without reading it all.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return QStringLiteral("the file cannot be read");
    if (bytes.size() > kMaxFileBytes) return tooLarge;

    const ParseResult result =
        parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!result.ok()) return QString::fromStdString(result.error);
    buildDocument(result.document, document);
    return {};
}

}  // namespace moravik::rtf
