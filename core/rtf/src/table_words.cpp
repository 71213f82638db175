#include "table_words.h"

#include <algorithm>

#include "moravik/rtf/parser.h"
#include "text_rules.h"

namespace moravik::rtf::detail {
void TableRows::apply(const WordEntry& word, const Token& token, const ParagraphProps& paragraph,
                      std::size_t cellFormat, const ColorTable& colors, DocumentWriter& writer) {
    std::optional<CellBorder>* border =
        side_ >= 0 ? &next_.borders[static_cast<std::size_t>(side_)] : nullptr;
    switch (word.action) {
        case Action::RowDefaults:
            rowOpen_ = true;
            cells_.clear();
            next_ = TableCell{};
            side_ = -1;
            break;
        case Action::CellBoundary:
            if (cells_.size() < kMaxCells) {
                next_.end = std::clamp(token.parameter, 0, kMaxTwips);
                cells_.push_back(next_);
            }
            next_ = TableCell{};
            side_ = -1;
            break;
        case Action::CellMerge:
            if (word.value == 0) {
                next_.mergedWithPrevious = true;
            } else {
                next_.verticalMerge = static_cast<VerticalMerge>(word.value);
            }
            break;
        case Action::CellShading:
            next_.shading = colors.find(token.parameter);
            break;
        case Action::BorderSide:
            side_ = word.value;
            // A side given no style has a plain line, as Word draws it.
            if (side_ >= 0) next_.borders[static_cast<std::size_t>(side_)] = CellBorder{};
            break;
        case Action::BorderStyle:
            if (border != nullptr) border->reset();
            break;
        case Action::BorderWidth:
            if (border != nullptr && *border)
                (*border)->width = std::clamp(token.parameter, 0, 255);
            break;
        case Action::BorderColor:
            if (border != nullptr && *border) (*border)->color = colors.find(token.parameter);
            break;
        case Action::Cell:
            writer.endCell(cellFormat);
            // A row without its \row would otherwise grow without bound.
            if (writer.cellsInRow() == kMaxCells) writer.endRow(paragraph.format, cells_);
            break;
        case Action::Row:
            rowOpen_ = false;
            writer.endRow(paragraph.format, cells_);
            break;
        default:
            break;
    }
}

}  // namespace moravik::rtf::detail
