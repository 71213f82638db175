#include "moravik/cli/output.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <string_view>
#include <variant>

#include "moravik/answers/shown_text.h"
#include "moravik/result_names.h"
#include "moravik/tracks.h"
#include "text_table.h"

namespace moravik::cli {
namespace {

constexpr std::size_t labelWidth = 27;

void appendLine(std::string& report, std::string_view label, std::string_view text,
                std::string_view unit = {}) {
    report.append("  ").append(label);
    report.append(labelWidth - std::min(labelWidth, label.size()), ' ');
    report.append(text);
    if (!unit.empty()) report.append(" ").append(unit);
    report.push_back('\n');
}

// The quarter-mile values as two tables, times and speeds, so that a report
// with every text in full fits an 80-column terminal.
constexpr std::size_t reportWidth = 80;

struct QuarterMileTable {
    std::string_view title;
    std::array<Column, 3> columns;
};

constexpr std::array<QuarterMileTable, 2> quarterMileTables{{
    {"ET, seconds", {Column::Et, Column::EtNitrous, Column::AltitudeEt}},
    {"MPH", {Column::Mph, Column::MphNitrous, Column::AltitudeMph}},
}};

constexpr std::array<std::string_view, 3> conditionHeadings{"No nitrous", "With nitrous",
                                                            "At altitude"};

struct TableWidths {
    std::size_t name;  // 0: each name on a line of its own, above its values
    std::size_t value;
};

TableWidths quarterMileWidths(const ResultTexts& results) {
    TableWidths widths{0, 0};
    for (const auto& table : quarterMileTables) {
        widths.name = std::max(widths.name, table.title.size());
        for (const auto& formula : formulaTable) {
            widths.name = std::max(widths.name, formula.name.size());
            for (const auto column : table.columns) {
                const std::string_view text = results[resultIndex(formula.formula, column)];
                widths.value = std::max(widths.value, text.size());
            }
        }
    }
    for (const auto heading : conditionHeadings)
        widths.value = std::max(widths.value, heading.size());
    // The lines' indent, and alignedTable's two blanks before each value.
    const auto lineWidth = 2 + widths.name + conditionHeadings.size() * (2 + widths.value);
    if (lineWidth > reportWidth) widths.name = 0;
    return widths;
}

// Cells padded to the shared widths, so that both tables line up alike; a
// name too wide for the line stands above its values.
void addRow(TextTable& table, std::string_view name, const std::array<std::string_view, 3>& cells,
            const TableWidths& widths) {
    std::vector<std::string> row{std::string(name)};
    if (widths.name == 0) {
        table.rows.push_back(std::move(row));
        row = {std::string()};
    } else {
        row.front().append(widths.name - name.size(), ' ');
    }
    for (const auto cell : cells)
        row.push_back(std::string(widths.value - cell.size(), ' ').append(cell));
    table.rows.push_back(std::move(row));
}

void appendQuarterMileTables(std::string& report, const ResultTexts& results, bool stripChosen) {
    const auto widths = quarterMileWidths(results);
    for (const auto& quarterMile : quarterMileTables) {
        if (&quarterMile != &quarterMileTables.front()) report.push_back('\n');
        TextTable table{{}, {Align::Left, Align::Right, Align::Right, Align::Right}, 2};
        addRow(table, quarterMile.title, conditionHeadings, widths);
        for (const auto& formula : formulaTable) {
            std::array<std::string_view, 3> cells;
            for (std::size_t i = 0; i < cells.size(); ++i)
                cells[i] = results[resultIndex(formula.formula, quarterMile.columns[i])];
            addRow(table, formula.name, cells, widths);
        }
        report += alignedTable(table, reportWidth);
    }
    if (!stripChosen) report.append("  (At altitude needs a strip: see --track.)\n");
}

// Field names are identifiers and result texts are numbers: characters that JSON
// never escapes. Writing the record directly takes about a third less time per
// --batch line than building and dumping a document.
std::string plainFieldsJson(const ResultTexts& results) {
    std::string json = R"({"fields":{)";
    json.reserve(1024);
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (json.back() != '{') json.push_back(',');
        json.append("\"").append(resultFieldNames[i]).append("\":\"");
        json.append(results[i].view()).append("\"");
    }
    return json.append("}}");
}

}  // namespace

std::string calculationReport(const InputTexts& inputs, const ResultTexts& results) {
    std::string report;
    report.append("Nitrous Input\n");
    appendLine(report, "Nitrous Jet:", escapedText(inputs.njt), "in");
    appendLine(report, "Fuel Pressure:", escapedText(inputs.flp), "psi");
    appendLine(report, "Nitrous Bottle Pressure:", escapedText(inputs.nbp), "psi");
    appendLine(report, "Number of nozzles:", escapedText(inputs.jtn));
    report.append("\nDrag Racing Statistics\n");
    appendLine(report, "Vehicle Weight w/ Driver:", escapedText(inputs.vweight), "lbs");
    appendLine(report, "HP:", escapedText(inputs.draghp));
    appendLine(report, "Altitude:",
               inputs.altitudeDD.empty() ? "(no track)" : escapedText(inputs.altitudeDD));

    for (const auto& group : singleResultGroups) {
        report.append("\n").append(group.heading).append("\n");
        for (const auto result : group.results) {
            const ResultName& name = resultName(result);
            appendLine(report, std::string(name.label) + ':', results[resultIndex(result)],
                       name.unit);
        }
    }
    report.append("\nDrag Racing Output (quarter mile)\n");
    appendQuarterMileTables(report, results, altitudeFactorsFor(inputs.altitudeDD).has_value());
    return report;
}

std::string outcomeJson(const CalculationOutcome& outcome) {
    nlohmann::ordered_json json;
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        json["fault"] = faultName(*fault);
        return json.dump();
    }
    return plainFieldsJson(std::get<ResultTexts>(outcome));
}

}  // namespace moravik::cli
