#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format_table.h"
#include "moravik/rtf/document.h"

namespace moravik::rtf::detail {

// Collects the paragraphs, runs, table cells, links and pictures of a document, and charges
// each its DocumentCost. Once the next piece would pass kMaxDocumentCost the writer is full:
// it keeps what it has and takes nothing more.
class DocumentWriter {
public:
    explicit DocumentWriter(const FormatTable& formats) : formats_(formats) {}

    bool full() const { return full_; }

    void appendText(std::size_t format, std::string_view utf8);
    void appendCharacter(std::size_t format, char32_t character);
    void appendPicture(std::size_t format, Picture picture, std::size_t pixels);
    // The index in Document::links of a new link.
    std::optional<std::size_t> addLink(std::string address);

    void endParagraph(const ParagraphFormat& format);
    // Ends a table cell with the tab that parts it from the next.
    void endCell(std::size_t format);
    std::size_t cellsInRow() const;
    // Ends a table row, whose cells the row defines as cells.
    void endRow(const ParagraphFormat& format, const std::vector<TableCell>& cells);

    // Where the text written so far ends.
    struct Mark {
        std::size_t paragraphs = 0;  // ended before it: a mark holds within its paragraph
        std::size_t runs = 0;
        std::size_t bytes = 0;  // of the last run
        bool newRunNext = false;
    };
    Mark mark() const;
    // Takes back the text written since mark when it is only blanks and tabs: a list item's
    // number that the list leaves empty, whose tab would indent the item.
    void dropBlankSince(const Mark& mark);

    // The paragraphs between beginNote() and endNote() are a note's, shown after the document's
    // own. A note inside a note is not kept apart.
    bool inNote() const { return note_.has_value(); }
    void beginNote();
    void endNote(const ParagraphFormat& openParagraph);

    // Moves the content into document, and marks what the reader left out. The paragraph still
    // open gets openParagraph's format.
    void finish(Document& document, const ParagraphFormat& openParagraph, bool truncated);

private:
    bool charge(std::size_t cost);
    bool startsNewRun(std::size_t format) const;
    // Charges a new run in format, and its font face the first time a run needs it.
    bool chargeRun(std::size_t format);

    struct Aside {
        std::vector<Paragraph> paragraphs;
        Paragraph paragraph;
        bool newRunNext = false;
    };
    void swapWith(Aside& aside);

    std::vector<Paragraph> paragraphs_;
    std::vector<Paragraph> notes_;
    std::optional<Aside> note_;  // the text around the note being written
    std::vector<std::string> links_;
    std::vector<Picture> pictures_;
    Paragraph paragraph_;
    bool newRunNext_ = false;  // a cell starts: its text gets a run of its own
    const FormatTable& formats_;
    std::vector<bool> faceCharged_;  // by FormatTable::faceOf
    std::size_t cost_ = 0;
    bool full_ = false;
};

}  // namespace moravik::rtf::detail
