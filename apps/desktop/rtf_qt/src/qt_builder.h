#pragma once

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextImageFormat>
#include <optional>
#include <span>
#include <stop_token>
#include <string_view>
#include <vector>

#include "moravik/rtf/height_estimate.h"
#include "moravik/rtf/document.h"

class QTextDocument;

namespace moravik::rtf::detail {

// Builds a QTextDocument from a Document: paragraphs as blocks, table rows as tables, pictures
// as image resources. It keeps Qt's work bounded: long words get break opportunities, long
// paragraphs go on in new blocks, long runs of rows become several tables, and the document
// stops before it could grow taller than Qt can lay out (height_estimate.h).
class Builder {
public:
    Builder(const Document& source, QTextDocument& target);
    bool run(const std::stop_token& stop);

private:
    // Where the runs of a paragraph stop fitting under kMaxDocumentHeight: runs [first, end)
    // fit whole, and then lastBytes of the run at end.
    struct Fit {
        std::size_t end = 0;
        std::size_t lastBytes = 0;
        double height = 0;
        bool whole = true;
    };
    Fit fitRuns(const Paragraph& paragraph, std::size_t first, std::size_t end, double width,
                bool dropTrailingTab) const;
    double tallestEm(const Paragraph& paragraph, std::size_t first, std::size_t end) const;
    bool insertParagraph(const Paragraph& paragraph);
    void insertRuns(QTextCursor& cursor, const Paragraph& paragraph, std::size_t first,
                    std::size_t end, bool dropTrailingTab, std::size_t lastBytes = 0);
    void insertText(QTextCursor& cursor, const QString& text, const QTextCharFormat& format);
    QString breakable(std::string_view utf8);
    const QTextBlockFormat& blockFormat(const ParagraphFormat& format);
    void insertNotices(bool cut);

    // Tables (qt_tables.cpp).
    static std::size_t tableEnd(std::span<const Paragraph> paragraphs, std::size_t first);
    double cellWidth(const Paragraph& row, std::size_t cell) const;
    std::optional<double> rowHeight(const Paragraph& row) const;
    bool insertTable(std::span<const Paragraph> rows);

    std::optional<QTextImageFormat> addPicture(std::size_t index);
    static void insertPlaceholder(QTextCursor& cursor, const Picture& picture,
                                  QTextCharFormat format);

    const Document& source_;
    QTextDocument& target_;
    QTextCursor cursor_;
    std::vector<QTextCharFormat> formats_;
    std::vector<std::optional<QTextImageFormat>> pictures_;
    bool blockIsFresh_ = true;  // the cursor's block is empty and still takes a format
    int unbroken_ = 0;          // characters since the last break opportunity
    qsizetype blockCharacters_ = 0;
    int blockRuns_ = 0;  // format runs in the cursor's block
    double height_ = 0;  // the estimated height of what is built
    const ParagraphFormat* lastFormat_ = nullptr;
    QTextBlockFormat lastBlockFormat_;
};

}  // namespace moravik::rtf::detail
