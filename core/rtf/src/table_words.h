#pragma once

#include <cstddef>
#include <vector>

#include "color_table.h"
#include "control_words.h"
#include "document_writer.h"
#include "paragraph_words.h"
#include "tokenizer.h"

namespace moravik::rtf::detail {

// The table words: \trowd and \cellxN describe a row's cells, and \cell and \row end them. A row
// is written as one paragraph whose cells part at tabs. A row ends after kMaxCells cells, and
// the cells after them start the next.
class TableRows {
public:
    // cellFormat: the format of the tab that ends a cell.
    void apply(const WordEntry& word, const Token& token, const ParagraphProps& paragraph,
               std::size_t cellFormat, const ColorTable& colors, DocumentWriter& writer);
    // Between \trowd and its \row, where a paragraph's end stays in its cell even when \pard
    // has taken the paragraph out of the table, as pandoc writes each cell: {\pard Jet\par}\cell.
    bool rowOpen() const { return rowOpen_; }

private:
    std::vector<TableCell> cells_;  // the current row's, each ended by \cellxN
    TableCell next_;                // the properties read for the next \cellx
    int side_ = -1;                 // the border of next_ that border words describe; -1: another's
    bool rowOpen_ = false;
};

}  // namespace moravik::rtf::detail
