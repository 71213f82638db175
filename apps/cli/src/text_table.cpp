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

namespace {

void widen(std::vector<std::size_t>& widths, const std::vector<std::string>& row) {
    const std::size_t aligned = row.size() == widths.size() ? widths.size() : row.size() - 1;
    for (std::size_t i = 0; i < aligned; ++i) widths[i] = std::max(widths[i], characters(row[i]));
}

// The columns after the first of each table that fits the screen.
std::vector<std::vector<std::size_t>> partsOf(const std::vector<std::size_t>& widths,
                                              std::size_t indent, std::size_t screenWidth) {
    std::vector<std::vector<std::size_t>> parts{{}};
    std::size_t used = indent + widths[0];
    for (std::size_t i = 1; i < widths.size(); ++i) {
        if (!parts.back().empty() && used + 2 + widths[i] > screenWidth) {
            parts.emplace_back();
            used = indent + widths[0];
        }
        parts.back().push_back(i);
        used += 2 + widths[i];
    }
    return parts;
}

void appendLine(std::string& text, const std::vector<std::string>& row,
                const std::vector<std::size_t>& widths, const std::vector<Align>& align,
                const std::vector<std::size_t>& shown, std::size_t indent) {
    std::string line(indent, ' ');
    appendCell(line, row[0], widths[0], align[0]);
    if (row.size() != widths.size()) {
        if (row.size() > 1) line.append("  ").append(row.back());
    } else {
        for (const std::size_t i : shown) {
            line.append("  ");
            appendCell(line, row[i], widths[i], align[i]);
        }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    text.append(line).push_back('\n');
}

}  // namespace

std::string alignedTable(const TextTable& table, std::size_t screenWidth) {
    if (table.rows.empty()) return {};
    std::size_t columns = 0;
    for (const auto& row : table.rows) columns = std::max(columns, row.size());
    std::vector<std::size_t> widths(columns, 0);
    for (const auto& row : table.rows) widen(widths, row);
    std::string text;
    for (const auto& shown : partsOf(widths, table.indent, screenWidth)) {
        if (!text.empty()) text.push_back('\n');
        for (const auto& row : table.rows)
            appendLine(text, row, widths, table.align, shown, table.indent);
    }
    return text;
}

bool streamedTable(const std::vector<std::string>& heading, const std::vector<Align>& align,
                   const RowSource& rows, std::ostream& out, std::size_t screenWidth) {
    std::vector<std::size_t> widths(heading.size(), 0);
    widen(widths, heading);
    if (!rows([&](const std::vector<std::string>& row) { widen(widths, row); })) return false;
    bool first = true;
    for (const auto& shown : partsOf(widths, 0, screenWidth)) {
        std::string text = first ? "" : "\n";
        first = false;
        appendLine(text, heading, widths, align, shown, 0);
        out << text;
        const bool read = rows([&](const std::vector<std::string>& row) {
            text.clear();
            appendLine(text, row, widths, align, shown, 0);
            out << text;
        });
        if (!read) return false;
    }
    return true;
}

}  // namespace moravik::cli
