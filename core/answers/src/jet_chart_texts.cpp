#include "moravik/answers/jet_chart_texts.h"

#include <algorithm>
#include <array>

#include "moravik/answers/decimal_text.h"
#include "moravik/answers/shown_text.h"
#include "moravik/number_reading.h"
#include "moravik/raceday/quarter_mile_solver.h"
#include "moravik/result_names.h"
#include "moravik/tracks.h"

namespace moravik::raceday {
namespace {

constexpr std::array<SingleResult, 5> chartSingles{SingleResult::FuelJet, SingleResult::StandardJet,
                                                   SingleResult::HolleyJet, SingleResult::NitrousHp,
                                                   SingleResult::TotalHp};
// Hale's, the formula the chart shows.
constexpr std::array<Column, 4> chartColumnsOfHale{Column::EtNitrous, Column::MphNitrous,
                                                   Column::AltitudeEt, Column::AltitudeMph};

using ChartColumns = std::array<ChartColumn, chartSingles.size() + chartColumnsOfHale.size()>;

ChartColumns resultColumnsOf() {
    ChartColumns chart;
    std::size_t i = 0;
    for (const auto result : chartSingles) {
        const ResultName& name = resultName(result);
        chart[i++] = {std::string(name.heading), std::string(name.key), resultIndex(result)};
    }
    constexpr Formula formula = Formula::Hale;
    for (const auto column : chartColumnsOfHale) {
        const ResultName& name = resultName(column);
        chart[i++] = {std::string(formulaConstants(formula).name) + ' ' + std::string(name.heading),
                      std::string(formulaKeys[static_cast<std::size_t>(formula)]) + '_' +
                          std::string(name.key),
                      resultIndex(formula, column)};
    }
    return chart;
}

const ChartColumns& resultColumns() {
    static const ChartColumns columns = resultColumnsOf();
    return columns;
}

// The last two columns need a strip.
constexpr std::size_t altitudeColumnCount = 2;

}  // namespace

std::span<const ChartColumn> chartColumns(const JetChart& chart) {
    const auto& columns = resultColumns();
    return std::span(columns).first(columns.size() -
                                    (chart.altitudeColumns ? 0 : altitudeColumnCount));
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

FieldReading readField(const InputOption& field, const std::string& text, CommaRule rule) {
    FieldReading reading{text, {}, {}};
    const auto comma = text.find(',');
    const bool decimalComma = rule == CommaRule::DecimalComma && comma != std::string::npos;
    if (decimalComma && field.text != &InputTexts::njt) {
        std::string whole = text;
        std::erase(whole, ',');
        std::string decimal = text;
        decimal[comma] = '.';
        const bool digitsOnly = whole.find_first_not_of("0123456789 ") == std::string::npos;
        reading.refusal = quotedText(text) +
                          " has a comma, which only the nitrous jet reads: write " +
                          (digitsOnly && std::count(text.begin(), text.end(), ',') == 1
                               ? whole + ", or " + decimal + " with a decimal point"
                               : std::string("the number without it"));
        return reading;
    }
    if (decimalComma) reading.text[comma] = '.';
    const auto stop = readNumberLength(reading.text);
    const auto value = readNumber(reading.text);
    // A value beyond the range of doubles ends the calculation with an overflow.
    if (!value || (stop == text.size() && !decimalComma)) return reading;
    reading.note = quotedText(text) + " is read as " + shortestText(*value) +
                   (stop < text.size()
                        ? " (reading stops at " +
                              quotedText(firstCharacter(std::string_view(text).substr(stop))) + ")"
                        : std::string(" (the comma as the decimal point)"));
    return reading;
}

std::optional<std::string> noStripNote(std::string_view track) {
    if (track.empty() || altitudeFactorsFor(track)) return std::nullopt;
    return quotedText(track) + " is " +
           (track.starts_with('-') ? "a separator line" : "a heading") +
           ", not a strip: the altitude values stay 0";
}

}  // namespace moravik::raceday
