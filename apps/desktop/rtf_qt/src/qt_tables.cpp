#include <QTextTable>
#include <algorithm>
#include <optional>

#include "moravik/rtf/parser.h"
#include "qt_builder.h"
#include "qt_formats.h"

namespace moravik::rtf::detail {
namespace {

// Qt lays a table out in one piece, so a long run of rows is parted into several tables.
constexpr std::size_t kMaxTableCells = 500;

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
    const std::vector<TableCell>& cells = row.cells;
    if (cells.size() != row.cellFirstRuns.size()) {
        return kNarrowestView / static_cast<double>(row.cellFirstRuns.size());
    }
    return std::max(cells[cell].end - (cell == 0 ? 0 : cells[cell - 1].end), 0) / kTwipsPerPixel;
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

namespace {

// The column ends of a table's grid: every cell end of its rows, so that each row keeps its own
// cell widths. Empty when a row does not define each of its cells, or defines one of no width,
// or the grid would pass kMaxCells columns or kMaxTableCells cells: then each cell is a column.
std::vector<int> gridOf(std::span<const Paragraph> rows) {
    std::vector<int> ends;
    for (const Paragraph& row : rows) {
        if (row.cells.size() != row.cellFirstRuns.size()) return {};
        int start = 0;
        for (const TableCell& cell : row.cells) {
            if (cell.end <= start) return {};
            start = cell.end;
            ends.push_back(start);
        }
    }
    std::ranges::sort(ends);
    ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
    if (ends.size() > kMaxCells || ends.size() * rows.size() > kMaxTableCells) return {};
    return ends;
}

// The grid cells that one cell of the file covers.
struct Placement {
    int row = 0;
    int column = 0;
    int rows = 1;
    int columns = 1;
    std::size_t cell = 0;  // its index in its row
};

// Where each cell goes: across the grid columns up to its end, together with the cells that
// \clmrg joins to it, and down over the cells that \clvmrg joins to it. Those joined cells
// hold nothing, as Word writes them.
std::vector<Placement> place(std::span<const Paragraph> rows, const std::vector<int>& grid,
                             std::size_t columns) {
    std::vector<Placement> placements;
    std::vector<std::optional<std::size_t>> open(
        columns);  // the cell each column's merge starts at
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Paragraph& row = rows[r];
        const std::size_t rowStart = placements.size();
        int column = 0;
        for (std::size_t c = 0; c < row.cellFirstRuns.size(); ++c) {
            const TableCell* cell = grid.empty() ? nullptr : &row.cells[c];
            const int last =
                cell == nullptr
                    ? column
                    : static_cast<int>(std::ranges::lower_bound(grid, cell->end) - grid.begin());
            const int span = last - column + 1;
            if (cell != nullptr && cell->mergedWithPrevious && placements.size() > rowStart) {
                Placement& before = placements.back();
                before.columns = last - before.column + 1;
            } else if (const auto& above = open[static_cast<std::size_t>(column)];
                       cell != nullptr && cell->verticalMerge == VerticalMerge::Continue && above &&
                       placements[*above].columns == span &&
                       placements[*above].row + placements[*above].rows == static_cast<int>(r)) {
                ++placements[*above].rows;
            } else {
                for (int i = column; i <= last; ++i) open[static_cast<std::size_t>(i)].reset();
                if (cell != nullptr && cell->verticalMerge == VerticalMerge::First) {
                    open[static_cast<std::size_t>(column)] = placements.size();
                }
                placements.push_back({static_cast<int>(r), column, 1, span, c});
            }
            column = last + 1;
        }
    }
    return placements;
}

}  // namespace

// Returns false when not every row fitted under kMaxDocumentHeight.
bool Builder::insertTable(std::span<const Paragraph> rows) {
    std::size_t fitting = 0;
    double height = 0;
    for (; fitting < rows.size(); ++fitting) {
        const std::optional<double> row = rowHeight(rows[fitting]);
        if (!row || height_ + height + *row > kMaxDocumentHeight) break;
        height += *row;
    }
    if (fitting == 0) return false;
    const std::span<const Paragraph> shown = rows.first(fitting);
    const std::vector<int> grid = gridOf(shown);
    std::size_t columns = grid.size();
    if (grid.empty()) {
        for (const Paragraph& row : shown) columns = std::max(columns, row.cellFirstRuns.size());
    }
    QTextTable* table = cursor_.insertTable(static_cast<int>(fitting), static_cast<int>(columns),
                                            tableFormat(grid));
    for (const Placement& at : place(shown, grid, columns)) {
        if (at.rows > 1 || at.columns > 1)
            table->mergeCells(at.row, at.column, at.rows, at.columns);
        const Paragraph& row = shown[static_cast<std::size_t>(at.row)];
        const std::vector<std::size_t>& cells = row.cellFirstRuns;
        const bool last = at.cell + 1 == cells.size();
        QTextTableCell cell = table->cellAt(at.row, at.column);
        if (!grid.empty()) cell.setFormat(cellFormat(row.cells[at.cell]));
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setBlockFormat(blockFormat(row.format));
        insertRuns(cursor, row, cells[at.cell], last ? row.runs.size() : cells[at.cell + 1], !last);
    }
    cursor_ = table->lastCursorPosition();
    cursor_.movePosition(QTextCursor::NextBlock);
    blockIsFresh_ = true;
    height_ += height;
    return fitting == rows.size();
}

}  // namespace moravik::rtf::detail
