#include "table_words.h"

#include <algorithm>

#include "moravik/rtf/parser.h"
#include "text_rules.h"

namespace moravik::rtf::detail {
void TableRows::apply(const WordEntry& word, const Token& token, const ParagraphProps& paragraph,
                      std::size_t cellFormat, DocumentWriter& writer) {
    switch (word.action) {
        case Action::RowDefaults:
            cellEnds_.clear();
            break;
        case Action::CellBoundary:
            if (cellEnds_.size() < kMaxCells) {
                cellEnds_.push_back(std::clamp(token.parameter, 0, kMaxTwips));
            }
            break;
        case Action::Cell:
            writer.endCell(cellFormat);
            // A row without its \row would otherwise grow without bound.
            if (writer.cellsInRow() == kMaxCells) writer.endRow(paragraph.format, cellEnds_);
            break;
        case Action::Row:
            writer.endRow(paragraph.format, cellEnds_);
            break;
        default:
            break;
    }
}

}  // namespace moravik::rtf::detail
