#include <QTextTable>
#include <algorithm>

#include "qt_builder.h"
#include "qt_formats.h"

namespace moravik::rtf::detail {
namespace {

// Qt lays a table out in one piece, so a long run of rows is parted into several tables.
constexpr std::size_t kMaxTableCells = 2000;

}  // namespace

// Consecutive rows make one table, padded to its widest row. A table ends before a row that
// would make it pad more cells than its rows fill, or hold more than kMaxTableCells, so that
// a wide row followed by many narrow ones costs no more than their text.
std::size_t Builder::tableEnd(std::span<const Paragraph> paragraphs, std::size_t first) {
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

// The cell's own width where the row gives one; otherwise an equal share of the narrowest view.
double Builder::cellWidth(const Paragraph& row, std::size_t cell) const {
    const std::vector<int>& ends = row.cellEnds;
    if (ends.size() != row.cellFirstRuns.size()) {
        return kNarrowestView / static_cast<double>(row.cellFirstRuns.size());
    }
    return (ends[cell] - (cell == 0 ? 0 : ends[cell - 1])) / kTwipsPerPixel;
}

// At most the heights of all its cells, as if each stood below the one before; nothing when
// a cell alone would pass kMaxDocumentHeight.
std::optional<double> Builder::rowHeight(const Paragraph& row) const {
    const std::vector<std::size_t>& cells = row.cellFirstRuns;
    double height = 0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::size_t end = c + 1 == cells.size() ? row.runs.size() : cells[c + 1];
        const double tallest = tallestEm(row, cells[c], end);
        const Fit fit = fitRuns(row, cells[c], end, std::max(cellWidth(row, c), tallest), true);
        if (!fit.whole) return std::nullopt;
        height += fit.height;
    }
    return height;
}

// The first row's cell ends give the column widths. Returns false when not every row fitted
// under kMaxDocumentHeight.
bool Builder::insertTable(std::span<const Paragraph> rows) {
    std::size_t fitting = 0;
    double height = 0;
    for (; fitting < rows.size(); ++fitting) {
        const std::optional<double> row = rowHeight(rows[fitting]);
        if (!row || height_ + height + *row > kMaxDocumentHeight) break;
        height += *row;
    }
    if (fitting == 0) return false;
    std::size_t columns = 0;
    for (const Paragraph& row : rows.first(fitting)) {
        columns = std::max(columns, row.cellFirstRuns.size());
    }
    QTextTable* table = cursor_.insertTable(static_cast<int>(fitting), static_cast<int>(columns),
                                            tableFormat(rows.front().cellEnds, columns));
    for (std::size_t r = 0; r < fitting; ++r) {
        const Paragraph& row = rows[r];
        const std::vector<std::size_t>& cells = row.cellFirstRuns;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const bool last = c + 1 == cells.size();
            QTextCursor cell =
                table->cellAt(static_cast<int>(r), static_cast<int>(c)).firstCursorPosition();
            cell.setBlockFormat(blockFormat(row.format));
            insertRuns(cell, row, cells[c], last ? row.runs.size() : cells[c + 1], !last);
        }
    }
    cursor_ = table->lastCursorPosition();
    cursor_.movePosition(QTextCursor::NextBlock);
    blockIsFresh_ = true;
    height_ += height;
    return fitting == rows.size();
}

}  // namespace moravik::rtf::detail
