// Aligned text tables for a terminal: the report's quarter-mile tables, the
// jet chart and the run log's table. Internal to moravik-calc.
#pragma once

#include <cstddef>
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

}  // namespace moravik::cli
