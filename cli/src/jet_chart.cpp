#include <moravik/cli/jet_chart.h>
#include <moravik/cli/output.h>
#include <moravik/result_layout.h>
#include <moravik/tracks.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <span>

#include "decimal_text.h"

namespace moravik::cli {
namespace {

constexpr std::size_t maxWholeDigits = 6;
constexpr std::size_t maxDecimals = 3;

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t digitsValue(std::string_view digits) {
    std::int64_t value = 0;
    if (!digits.empty()) std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// "12.345" -> 12345; nothing for anything but digits with at most one point and
// at most three decimals.
std::optional<std::int64_t> parseThousandths(std::string_view text) {
    const auto point = text.find('.');
    const auto whole = text.substr(0, point);
    const auto fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (!allDigits(whole) || !allDigits(fraction)) return std::nullopt;
    if (whole.size() > maxWholeDigits || fraction.size() > maxDecimals) return std::nullopt;
    std::int64_t scale = 1000;
    for (std::size_t i = 0; i < fraction.size(); ++i) scale /= 10;
    return digitsValue(whole) * 1000 + digitsValue(fraction) * scale;
}

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

}  // namespace

std::variant<JetRange, std::string> parseJetRange(std::string_view text) {
    const auto firstColon = text.find(':');
    const auto secondColon =
        firstColon == std::string_view::npos ? firstColon : text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos)
        return std::string("expected FROM:TO:STEP, for example 0.025:0.1:0.005");
    const std::array<std::string_view, 3> parts{
        text.substr(0, firstColon), text.substr(firstColon + 1, secondColon - firstColon - 1),
        text.substr(secondColon + 1)};
    std::array<std::int64_t, 3> values{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto value = parseThousandths(parts[i]);
        if (!value)
            return "\"" + std::string(parts[i]) +
                   "\" is not a jet size: FROM, TO and STEP are decimals in inches with at "
                   "most three decimals, such as 0.025 or .1";
        values[i] = *value;
    }
    const JetRange range{values[0], values[1], values[2]};
    if (range.step <= 0) return std::string("STEP must be greater than 0");
    if (range.to < range.from) return std::string("TO must not be less than FROM");
    const auto rows = (range.to - range.from) / range.step + 1;
    if (rows > maxJetChartRows)
        return "the chart would have " + decimalText(rows) + " rows; at most " +
               decimalText(maxJetChartRows) + " are allowed";
    return range;
}

std::string jetText(std::int64_t thousandths) {
    std::string text = decimalText(thousandths / 1000);
    if (const auto fraction = thousandths % 1000; fraction != 0) {
        std::string decimals = decimalText(fraction + 1000).substr(1);
        decimals.erase(decimals.find_last_not_of('0') + 1);
        text.append(".").append(decimals);
    }
    return text;
}

JetChart jetChart(const JetRange& range, InputTexts inputs) {
    JetChart chart{{}, altitudeFactorsFor(inputs.altitudeDD).has_value()};
    for (auto jet = range.from; jet <= range.to; jet += range.step) {
        inputs.njt = jetText(jet);
        chart.rows.push_back({inputs.njt, calculate(inputs)});
    }
    return chart;
}

std::string jetChartTable(const JetChart& chart) {
    const auto columns = chartColumns(chart);
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> headings{"Nitrous jet"};
    for (const auto& column : columns) headings.emplace_back(column.heading);
    cells.push_back(headings);
    for (const auto& row : chart.rows) {
        std::vector<std::string> line{row.jet};
        if (const auto* fault = std::get_if<Fault>(&row.outcome)) {
            line.push_back(faultCell(*fault));
        } else {
            for (const auto& column : columns)
                line.emplace_back(std::get<ResultTexts>(row.outcome)[column.result]);
        }
        cells.push_back(std::move(line));
    }
    std::vector<std::size_t> widths(headings.size(), 0);
    for (const auto& line : cells) {
        // A fault message spans the result columns and does not widen them.
        const auto aligned = line.size() == headings.size() ? line.size() : line.size() - 1;
        for (std::size_t i = 0; i < aligned; ++i) widths[i] = std::max(widths[i], line[i].size());
    }
    // Columns that do not fit 80 columns go to a further table, each with the jets.
    constexpr std::size_t screenWidth = 80;
    std::vector<std::vector<std::size_t>> tables{{}};
    std::size_t used = widths[0];
    for (std::size_t i = 1; i < widths.size(); ++i) {
        if (!tables.back().empty() && used + 2 + widths[i] > screenWidth) {
            tables.emplace_back();
            used = widths[0];
        }
        tables.back().push_back(i);
        used += 2 + widths[i];
    }
    std::string table;
    for (const auto& shown : tables) {
        if (!table.empty()) table.push_back('\n');
        for (const auto& line : cells) {
            table.append(widths[0] - std::min(widths[0], line[0].size()), ' ').append(line[0]);
            if (line.size() != headings.size()) {
                // A fault message spans the result columns.
                table.append("  ").append(line.back()).push_back('\n');
                continue;
            }
            for (const std::size_t i : shown) {
                table.append("  ").append(widths[i] - std::min(widths[i], line[i].size()), ' ');
                table.append(line[i]);
            }
            table.push_back('\n');
        }
    }
    return table;
}

std::string jetChartCsv(const JetChart& chart) {
    const auto columns = chartColumns(chart);
    std::string csv = "nitrous_jet";
    for (const auto& column : columns) csv.append(",").append(column.csvHeading);
    csv.append(",fault\n");
    for (const auto& row : chart.rows) {
        csv.append(row.jet);
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
