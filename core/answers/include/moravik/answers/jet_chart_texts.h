// The jet chart (moravik/raceday/jet_chart.h) in texts: its columns, its CSV,
// and what is said about its inputs and faulted rows. moravik-calc prints them
// and lays the same columns out as a table; the web page shows the CSV.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "moravik/raceday/jet_chart.h"

namespace moravik::raceday {

// Named after the results' names (moravik/result_names.h).
struct ChartColumn {
    std::string heading;
    std::string csvHeading;
    std::size_t result;  // index in the writing order
};

// The result columns after the jet's; the two altitude ones only with a strip.
std::span<const ChartColumn> chartColumns(const JetChart& chart);

// A row's jet as the chart's first cell.
std::string rowJetText(const JetChartRow& row);

// The chart as CSV with a header row. Cells hold the result texts without the
// blank that stands in the sign position; the last column names a fault.
std::string jetChartCsv(const JetChart& chart);

// "2 of 5 rows ended in an arithmetic fault; the first was overflow", or
// nothing when no row faulted.
std::optional<std::string> faultedRowsSummary(const JetChart& chart);

// The number inputs of the Calculate pass by the option that gives each.
struct InputOption {
    std::string_view name;
    std::string InputTexts::*text;
    std::string_view description;
};

inline constexpr std::array<InputOption, 6> inputOptions{{
    {"--nitrous-jet", &InputTexts::njt, "Nitrous jet size in inches"},
    {"--fuel-pressure", &InputTexts::flp, "Fuel pressure in psi"},
    {"--bottle-pressure", &InputTexts::nbp, "Nitrous bottle pressure in psi"},
    {"--nozzles", &InputTexts::jtn, "Number of nozzles"},
    {"--hp", &InputTexts::draghp, "Engine horsepower"},
    {"--weight", &InputTexts::vweight, "Vehicle weight with driver in lbs"},
}};

// How a comma in an input text is read. The window reads up to it ("3,200" is
// 3). A phone set to a decimal-comma language may offer only "," on its
// number keypad, so the web app asks for DecimalComma: in the nitrous jet,
// never thousands of inches, a comma is the decimal point; in the other
// fields, where "3,200" may be thousands, it is refused.
enum class CommaRule { EndsNumber, DecimalComma };

struct FieldReading {
    std::string text;     // what the Calculate pass reads
    std::string note;     // how the text is read when not as typed; empty otherwise
    std::string refusal;  // why the text is not read; empty when it is
};

// One input text by the rule. The note and the refusal name no option:
// "\"0,045\" is read as 0.045 (the comma as the decimal point)".
FieldReading readField(const InputOption& field, const std::string& text, CommaRule rule);

// "\"DIVISION 5 \" is a heading, not a strip: the altitude values stay 0"
// for a track entry that selects no strip; nothing for a strip or no entry.
std::optional<std::string> noStripNote(std::string_view track);

}  // namespace moravik::raceday
