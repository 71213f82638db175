#include "moravik/answers/jet_chart_texts.h"

#include <algorithm>
#include <array>

#include "moravik/number_reading.h"
#include "moravik/answers/decimal_text.h"
#include "moravik/answers/shown_text.h"
#include "moravik/result_layout.h"
#include "moravik/tracks.h"

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
    auto note = readField(inputOptions.front(), text, CommaRule::EndsNumber).note;
    if (note.empty()) return std::nullopt;
    return std::string(option) + ' ' + note;
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
