#include "moravik/cli/jet_chart.h"

#include <algorithm>
#include <array>
#include <span>

#include "moravik/result_layout.h"
#include "text_table.h"

namespace moravik::cli {
namespace {

using raceday::JetChart;

struct ChartColumn {
    std::string_view heading;
    std::string_view csvHeading;
    std::size_t result;  // index in the writing order
};

constexpr std::array<ChartColumn, 9> resultColumns{{
    {"Fuel jet", "fuel_jet", resultIndex(SingleResult::FuelJet)},
    {"Std jet", "standard_jet", resultIndex(SingleResult::StandardJet)},
    {"Jet #", "jet_number", resultIndex(SingleResult::HolleyJet)},
    {"Nitrous HP", "nitrous_hp", resultIndex(SingleResult::NitrousHp)},
    {"Total HP", "total_hp", resultIndex(SingleResult::TotalHp)},
    {"Hale ET w/N", "hale_et_nitrous", resultIndex(Formula::Hale, Column::EtNitrous)},
    {"Hale MPH w/N", "hale_mph_nitrous", resultIndex(Formula::Hale, Column::MphNitrous)},
    {"Hale alt ET", "hale_et_altitude", resultIndex(Formula::Hale, Column::AltitudeEt)},
    {"Hale alt MPH", "hale_mph_altitude", resultIndex(Formula::Hale, Column::AltitudeMph)},
}};

// The last two columns need a strip.
constexpr std::size_t altitudeColumnCount = 2;

std::span<const ChartColumn> chartColumns(const JetChart& chart) {
    return std::span(resultColumns)
        .first(resultColumns.size() - (chart.altitudeColumns ? 0 : altitudeColumnCount));
}

std::string faultCell(Fault fault) { return "fault: " + std::string(faultName(fault)); }

std::string rowJet(const raceday::JetChartRow& row) {
    return raceday::jetText(row.jet, raceday::JetDigits::Shortest);
}

}  // namespace

std::string jetChartTable(const JetChart& chart) {
    const auto columns = chartColumns(chart);
    TextTable table;
    table.rows.emplace_back(1, "Nitrous jet");
    for (const auto& column : columns) table.rows.front().emplace_back(column.heading);
    table.align.assign(table.rows.front().size(), Align::Right);
    for (const auto& row : chart.rows) {
        std::vector<std::string> line{rowJet(row)};
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

std::string jetChartCsv(const JetChart& chart) {
    const auto columns = chartColumns(chart);
    std::string csv = "nitrous_jet";
    for (const auto& column : columns) csv.append(",").append(column.csvHeading);
    csv.append(",fault\n");
    for (const auto& row : chart.rows) {
        csv.append(rowJet(row));
        if (const auto* fault = std::get_if<Fault>(&row.outcome)) {
            csv.append(columns.size(), ',').append(",").append(faultName(*fault));
        } else {
            for (const auto& column : columns) {
                std::string_view text = std::get<ResultTexts>(row.outcome)[column.result];
                if (text.starts_with(' ')) text.remove_prefix(1);
                csv.append(",").append(text);
            }
            csv.append(",");
        }
        csv.push_back('\n');
    }
    return csv;
}

}  // namespace moravik::cli
