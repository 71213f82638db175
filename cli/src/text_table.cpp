#include "text_table.h"

#include <algorithm>

namespace moravik::cli {
namespace {

std::size_t characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void appendCell(std::string& line, const std::string& cell, std::size_t width, Align align) {
    const std::size_t padding = width - std::min(width, characters(cell));
    if (align == Align::Right) line.append(padding, ' ');
    line.append(cell);
    if (align == Align::Left) line.append(padding, ' ');
}

}  // namespace

std::string alignedTable(const TextTable& table, std::size_t screenWidth) {
    if (table.rows.empty()) return {};
    std::size_t columns = 0;
    for (const auto& row : table.rows) columns = std::max(columns, row.size());
    std::vector<std::size_t> widths(columns, 0);
    for (const auto& row : table.rows) {
        const std::size_t aligned = row.size() == columns ? columns : row.size() - 1;
        for (std::size_t i = 0; i < aligned; ++i)
            widths[i] = std::max(widths[i], characters(row[i]));
    }
    std::vector<std::vector<std::size_t>> parts{{}};
    std::size_t used = table.indent + widths[0];
    for (std::size_t i = 1; i < columns; ++i) {
        if (!parts.back().empty() && used + 2 + widths[i] > screenWidth) {
            parts.emplace_back();
            used = table.indent + widths[0];
        }
        parts.back().push_back(i);
        used += 2 + widths[i];
    }
    std::string text;
    for (const auto& shown : parts) {
        if (!text.empty()) text.push_back('\n');
        for (const auto& row : table.rows) {
            std::string line(table.indent, ' ');
            appendCell(line, row[0], widths[0], table.align[0]);
            if (row.size() != columns) {
                if (row.size() > 1) line.append("  ").append(row.back());
            } else {
                for (const std::size_t i : shown) {
                    line.append("  ");
                    appendCell(line, row[i], widths[i], table.align[i]);
                }
            }
            line.erase(line.find_last_not_of(' ') + 1);
            text.append(line).push_back('\n');
        }
    }
    return text;
}

}  // namespace moravik::cli
