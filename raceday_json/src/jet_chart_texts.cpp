#include "moravik/raceday_json/jet_chart_texts.h"

#include <array>

#include "moravik/number_reading.h"
#include "moravik/raceday_json/decimal_text.h"
#include "moravik/raceday_json/shown_text.h"
#include "moravik/result_layout.h"

namespace moravik::raceday {
namespace {

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

}  // namespace

std::span<const ChartColumn> chartColumns(const JetChart& chart) {
    return std::span(resultColumns)
        .first(resultColumns.size() - (chart.altitudeColumns ? 0 : altitudeColumnCount));
}

std::string rowJetText(const JetChartRow& row) { return jetText(row.jet, JetDigits::Shortest); }

std::string jetChartCsv(const JetChart& chart) {
    const auto columns = chartColumns(chart);
    std::string csv = "nitrous_jet";
    for (const auto& column : columns) csv.append(",").append(column.csvHeading);
    csv.append(",fault\n");
    for (const auto& row : chart.rows) {
        csv.append(rowJetText(row));
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

std::optional<std::string> faultedRowsSummary(const JetChart& chart) {
    std::size_t faulted = 0;
    const Fault* firstFault = nullptr;
    for (const auto& row : chart.rows) {
        if (const auto* fault = std::get_if<Fault>(&row.outcome)) {
            ++faulted;
            if (firstFault == nullptr) firstFault = fault;
        }
    }
    if (firstFault == nullptr) return std::nullopt;
    return decimalText(faulted) + " of " + decimalText(chart.rows.size()) +
           " rows ended in an arithmetic fault; the first was " +
           std::string(faultName(*firstFault));
}

std::optional<std::string> readInPartNote(std::string_view option, const std::string& text) {
    const auto stop = readNumberLength(text);
    const auto value = readNumber(text);
    // A value beyond the range of doubles ends the calculation with an overflow.
    if (stop == text.size() || !value) return std::nullopt;
    return std::string(option) + ' ' + quotedText(text) + " is read as " + shortestText(*value) +
           " (reading stops at " + quotedText(firstCharacter(std::string_view(text).substr(stop))) +
           ")";
}

}  // namespace moravik::raceday
