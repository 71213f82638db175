// Aligned text tables for a terminal: the report's quarter-mile tables, the
// jet chart and the run log's table. Internal to moravik-calc.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace moravik::cli {

enum class Align { Left, Right };

struct TextTable {
    std::vector<std::vector<std::string>> rows;  // the first row is the heading
    std::vector<Align> align;                    // one per column
    std::size_t indent = 0;                      // blanks before every line
};

// The columns two blanks apart, each as wide as its widest cell (UTF-8 text,
// counted in characters). Columns that do not fit `screenWidth` go to a
// further table, each led by the first column; tables are a blank line apart.
// A row with fewer cells than the widest row ends in a cell that spans the
// rest (a fault message, a name above its figures) and widens no column.
// Lines end without blanks.
std::string alignedTable(const TextTable& table, std::size_t screenWidth = 80);

// Calls its argument with each row of a table in turn, the same rows each
// time; false when they could not all be read.
using RowSource = std::function<bool(const std::function<void(const std::vector<std::string>&)>&)>;

// The same table written to `out` from rows read once to measure the columns
// and again for each table, so that no more than a row is held at a time.
// False, part written, when the rows could not be read.
bool streamedTable(const std::vector<std::string>& heading, const std::vector<Align>& align,
                   const RowSource& rows, std::ostream& out, std::size_t screenWidth = 80);

}  // namespace moravik::cli
