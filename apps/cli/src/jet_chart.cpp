#include "moravik/cli/jet_chart.h"

#include <algorithm>
#include <array>
#include <span>

#include "moravik/answers/jet_chart_texts.h"
#include "text_table.h"

namespace moravik::cli {
namespace {

using raceday::JetChart;

using raceday::chartColumns;
using raceday::rowJetText;

std::string faultCell(Fault fault) { return "fault: " + std::string(faultName(fault)); }

}  // namespace

std::string jetChartTable(const JetChart& chart) {
    const auto columns = chartColumns(chart);
    TextTable table;
    table.rows.emplace_back(1, "Nitrous jet");
    for (const auto& column : columns) table.rows.front().emplace_back(column.heading);
    table.align.assign(table.rows.front().size(), Align::Right);
    for (const auto& row : chart.rows) {
        std::vector<std::string> line{rowJetText(row)};
        if (const auto* fault = std::get_if<Fault>(&row.outcome)) {
            line.push_back(faultCell(*fault));
        } else {
            for (const auto& column : columns)
                line.emplace_back(std::get<ResultTexts>(row.outcome)[column.result]);
        }
        table.rows.push_back(std::move(line));
    }
    return alignedTable(table);
}

}  // namespace moravik::cli
