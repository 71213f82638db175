#include "moravik/rtf/qt_document.h"

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "moravik/rtf/parser.h"
#include "qt_builder.h"
#include "qt_formats.h"

namespace moravik::rtf {
namespace detail {
namespace {

// Qt's line breaking takes time that grows with the square of a word's length, so a longer
// stretch of text without a blank gets an invisible break opportunity (U+200B) after each
// kMaxUnbrokenCharacters characters.
constexpr int kMaxUnbrokenCharacters = 100;
constexpr char16_t kZeroWidthSpace = 0x200B;
// Qt lays a block out in one piece, also on the window's thread, so a paragraph with more
// characters or format runs goes on in a new block.
constexpr qsizetype kMaxBlockCharacters = 20000;
constexpr int kMaxBlockRuns = 250;
// How many paragraphs are built between two looks at the stop request.
constexpr std::size_t kParagraphsPerStopCheck = 256;
constexpr std::string_view kUndecodablePicture = "a picture that cannot be decoded is left out";
static_assert(kUndecodablePicture.size() + 2 <= DocumentCost::kPicture);

bool breaksLine(QChar c) {
    return c == u' ' || c == u'\t' || c == u'-' || c == QChar::LineSeparator ||
           c == kZeroWidthSpace;
}

// The notices are set apart from the document's own text in italics.
QTextCharFormat noticeFormat() {
    QTextCharFormat format;
    format.setFontItalic(true);
    format.setFontPointSize(kDefaultHalfPoints / 2.0);
    return format;
}

QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

Builder::Builder(const Document& source, QTextDocument& target)
    : source_(source), target_(target), cursor_(&target) {
    std::vector<QStringList> families;
    families.reserve(source.fonts.size());
    for (const std::string& name : source.fonts) families.push_back({QString::fromStdString(name)});
    std::vector<QString> links;
    links.reserve(source.links.size());
    for (const std::string& link : source.links) links.push_back(QString::fromStdString(link));
    formats_.reserve(source.formats.size());
    for (const CharFormat& format : source.formats)
        formats_.push_back(toQt(format, families, links));
    for (std::size_t i = 0; i < source.pictures.size(); ++i) pictures_.push_back(addPicture(i));
    QTextOption option = target.defaultTextOption();
    option.setTabStopDistance(source.defaultTab / kTwipsPerPixel);
    target.setDefaultTextOption(option);
}

bool Builder::run(const std::stop_token& stop) {
    // One edit block: Qt then scans the document's frames once, not after every table.
    cursor_.beginEditBlock();
    const std::vector<Paragraph>& paragraphs = source_.paragraphs;
    bool whole = true;
    for (std::size_t i = 0, built = 1; i < paragraphs.size() && whole; ++built) {
        if (built % kParagraphsPerStopCheck == 0 && stop.stop_requested()) break;
        if (paragraphs[i].cellFirstRuns.empty()) {
            whole = insertParagraph(paragraphs[i++]);
            continue;
        }
        const std::size_t end = tableEnd(paragraphs, i);
        whole = insertTable(std::span(paragraphs).subspan(i, end - i));
        i = end;
    }
    insertNotices(source_.cut || !whole);
    cursor_.endEditBlock();
    return !stop.stop_requested();
}

double Builder::tallestEm(const Paragraph& paragraph, std::size_t first, std::size_t end) const {
    double tallest = emOf(CharFormat{});
    for (std::size_t i = first; i < end; ++i) {
        tallest = std::max(tallest, emOf(source_.formats.at(paragraph.runs[i].format)));
    }
    return tallest;
}

Builder::Fit Builder::fitRuns(const Paragraph& paragraph, std::size_t first, std::size_t end,
                              double width, bool dropTrailingTab) const {
    const ParagraphFormat& format = paragraph.format;
    TextExtent extent(width, tallestEm(paragraph, first, end),
                      (format.spaceBefore + format.spaceAfter) / kTwipsPerPixel);
    const double limit = kMaxDocumentHeight - height_;
    if (extent.height() > limit) return {first, 0, 0, false};
    for (std::size_t i = first; i < end; ++i) {
        const Run& run = paragraph.runs[i];
        TextExtent with = extent;
        if (run.picture) {
            with.addPicture(shownSize(source_.pictures.at(*run.picture)));
            if (with.height() > limit) return {i, 0, extent.height(), false};
            extent = with;
            continue;
        }
        std::string_view text = run.text;
        if (dropTrailingTab && i + 1 == end && text.ends_with('\t')) text.remove_suffix(1);
        const double em = emOf(source_.formats.at(run.format));
        with.add(text, em);
        if (with.height() > limit) return {i, extent.bytesThatFit(text, em, limit), limit, false};
        extent = with;
    }
    return {end, 0, extent.height(), true};
}

// Returns false when the paragraph did not fit whole under kMaxDocumentHeight.
bool Builder::insertParagraph(const Paragraph& paragraph) {
    const std::size_t runs = paragraph.runs.size();
    const Fit fit = fitRuns(paragraph, 0, runs,
                            lineWidth(paragraph.format, tallestEm(paragraph, 0, runs)), false);
    if (!fit.whole && fit.end == 0 && fit.lastBytes == 0) return false;
    if (blockIsFresh_) {
        cursor_.setBlockFormat(blockFormat(paragraph.format));
        blockIsFresh_ = false;
    } else {
        cursor_.insertBlock(blockFormat(paragraph.format));
    }
    insertRuns(cursor_, paragraph, 0, fit.end, false, fit.lastBytes);
    height_ += fit.height;
    return fit.whole;
}

// Inserts the runs [first, end), and then lastBytes of the run at end.
void Builder::insertRuns(QTextCursor& cursor, const Paragraph& paragraph, std::size_t first,
                         std::size_t end, bool dropTrailingTab, std::size_t lastBytes) {
    unbroken_ = 0;
    blockCharacters_ = 0;
    blockRuns_ = 0;
    for (std::size_t i = first; i < end || (i == end && lastBytes > 0); ++i) {
        const Run& run = paragraph.runs.at(i);
        if (run.picture) {
            if (const auto& picture = pictures_.at(*run.picture)) {
                cursor.insertImage(*picture);
            } else {
                insertPlaceholder(cursor, source_.pictures.at(*run.picture),
                                  formats_.at(run.format));
            }
            unbroken_ = 0;
            continue;
        }
        std::string_view text = run.text;
        if (i == end) text = text.substr(0, lastBytes);
        if (dropTrailingTab && i + 1 == end && text.ends_with('\t')) text.remove_suffix(1);
        insertText(cursor, breakable(text), formats_.at(run.format));
    }
}

void Builder::insertText(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
    if (blockRuns_ == kMaxBlockRuns) {
        cursor.insertBlock();
        blockCharacters_ = 0;
        blockRuns_ = 0;
    }
    ++blockRuns_;
    qsizetype done = 0;
    while (text.size() - done > kMaxBlockCharacters - blockCharacters_) {
        qsizetype part = kMaxBlockCharacters - blockCharacters_;
        if (part > 0 && text[done + part - 1].isHighSurrogate()) --part;
        cursor.insertText(text.mid(done, part), format);
        cursor.insertBlock();
        done += part;
        blockCharacters_ = 0;
        blockRuns_ = 1;
    }
    cursor.insertText(text.mid(done), format);
    blockCharacters_ += text.size() - done;
}

// QTextCursor::insertText starts a new block at '\n', so line breaks become line separators.
QString Builder::breakable(std::string_view utf8) {
    const QString text = toQString(utf8);
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\n') c = QChar::LineSeparator;
        result.append(c);
        unbroken_ = breaksLine(c) ? 0 : unbroken_ + 1;
        if (unbroken_ == kMaxUnbrokenCharacters) {
            result.append(kZeroWidthSpace);
            unbroken_ = 0;
        }
    }
    return result;
}

// Paragraphs mostly share the format of the one before.
const QTextBlockFormat& Builder::blockFormat(const ParagraphFormat& format) {
    if (lastFormat_ == nullptr || !(*lastFormat_ == format)) {
        lastBlockFormat_ = toQt(format);
        lastFormat_ = &format;
    }
    return lastBlockFormat_;
}

// The first block keeps its format: the notice goes into a block of its own before it.
void Builder::insertNotices(bool cut) {
    if (source_.truncated) {
        cursor_.movePosition(QTextCursor::End);
        cursor_.insertBlock(QTextBlockFormat());
        cursor_.insertText(toQString(kTruncatedNotice), noticeFormat());
    }
    if (!cut) return;
    QTextCursor start(&target_);
    start.insertBlock(start.blockFormat(), start.charFormat());
    start.movePosition(QTextCursor::Start);
    start.setBlockFormat(QTextBlockFormat());
    start.insertText(toQString(kCutNotice), noticeFormat());
}

// A picture left out is mentioned where it stood, with the reason, set apart in grey italics.
void Builder::insertPlaceholder(QTextCursor& cursor, const Picture& picture,
                                QTextCharFormat format) {
    format.setFontItalic(true);
    format.setForeground(QColor(Qt::gray));
    const std::string_view reason =
        picture.leftOut.empty() ? kUndecodablePicture : std::string_view(picture.leftOut);
    cursor.insertText(u'[' + toQString(reason) + u']', format);
}

// The picture as an image resource of the document, or nothing when it is left out or Qt cannot
// read it.
std::optional<QTextImageFormat> Builder::addPicture(std::size_t index) {
    const Picture& picture = source_.pictures[index];
    if (!picture.leftOut.empty()) return std::nullopt;
    QByteArray data =
        QByteArray::fromRawData(picture.data.data(), static_cast<qsizetype>(picture.data.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, picture.format == ImageFormat::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (size.isEmpty() || size != QSize(int(picture.pixelWidth), int(picture.pixelHeight))) {
        return std::nullopt;
    }
    // A picture shown smaller than its own size is kept at the size shown, and a 16-bit one at
    // 8 bits a channel, so that the document holds no more than the view draws.
    const Extent shown = shownSize(picture);
    const QSize shownPixels(static_cast<int>(std::ceil(shown.width)),
                            static_cast<int>(std::ceil(shown.height)));
    if (!shownPixels.isEmpty() && shownPixels.width() < size.width() &&
        shownPixels.height() < size.height()) {
        reader.setScaledSize(shownPixels);
    }
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    if (image.depth() > 32) image.convertTo(QImage::Format_ARGB32);
    const QString name = QStringLiteral("moravik-picture:%1").arg(index);
    target_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(shown.width);
    format.setHeight(shown.height);
    return format;
}

}  // namespace detail

bool buildDocument(const Document& source, QTextDocument& target, std::stop_token stop) {
    // Loading is no edit the user could undo, and an undo record would copy the whole text.
    const bool undoEnabled = target.isUndoRedoEnabled();
    target.setUndoRedoEnabled(false);
    target.clear();
    detail::Builder builder(source, target);
    const bool built = builder.run(stop);
    target.setUndoRedoEnabled(undoEnabled);
    return built;
}

}  // namespace moravik::rtf
