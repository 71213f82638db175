#include <moravik/cli/output.h>

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <string_view>
#include <variant>

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

void appendRightAligned(std::string& line, std::string_view text, std::size_t width) {
    line.append(width - std::min(width, text.size()) + 2, ' ').append(text);
}

// Headings of the quarter-mile columns, in the order of Column.
constexpr std::array<std::string_view, columnCount> quarterMileHeadings{
    "ET", "ET w/Nitrous", "Altitude ET", "Altitude MPH", "MPH", "MPH w/Nitrous"};

void appendQuarterMileTable(std::string& report, const ResultTexts& results) {
    std::size_t nameWidth = std::string_view("Formula").size();
    for (const auto& formula : formulaTable) nameWidth = std::max(nameWidth, formula.name.size());
    std::array<std::size_t, quarterMileHeadings.size()> widths{};
    for (std::size_t column = 0; column < widths.size(); ++column) {
        widths[column] = quarterMileHeadings[column].size();
        for (const auto& formula : formulaTable) {
            const std::string_view text = results[resultIndex(formula.formula, columns[column])];
            widths[column] = std::max(widths[column], text.size());
        }
    }
    std::string line = "  Formula";
    line.append(nameWidth - line.size() + 2, ' ');
    for (std::size_t column = 0; column < widths.size(); ++column)
        appendRightAligned(line, quarterMileHeadings[column], widths[column]);
    report.append(line).append("\n");
    for (const auto& formula : formulaTable) {
        line = "  ";
        line.append(formula.name).append(nameWidth - formula.name.size(), ' ');
        for (std::size_t column = 0; column < widths.size(); ++column) {
            appendRightAligned(line, results[resultIndex(formula.formula, columns[column])],
                               widths[column]);
        }
        report.append(line).append("\n");
    }
    report.append("  (ET and altitude ET in seconds; altitude values need a track)\n");
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
    appendLine(report, "Nitrous Jet:", inputs.njt, "in");
    appendLine(report, "Fuel Pressure:", inputs.flp, "psi");
    appendLine(report, "Nitrous Bottle Pressure:", inputs.nbp, "psi");
    appendLine(report, "Number of nozzles:", inputs.jtn);
    report.append("\nDrag Racing Statistics\n");
    appendLine(report, "Vehicle Weight w/ Driver:", inputs.vweight, "lbs");
    appendLine(report, "HP:", inputs.draghp);
    appendLine(report, "Altitude:", inputs.altitudeDD.empty() ? "(no track)" : inputs.altitudeDD);

    report.append("\nJets\n");
    appendLine(report, "Fuel Jet:", results[resultIndex(SingleResult::FuelJet)], "in");
    appendLine(report, "Standard Jet size:", results[resultIndex(SingleResult::StandardJet)], "in");
    appendLine(report, "Holley Jet #:", results[resultIndex(SingleResult::HolleyJet)]);
    report.append("\nNitrous HP Output\n");
    appendLine(report, "Calculated HP:", results[resultIndex(SingleResult::NitrousHp)]);
    appendLine(report, "HP to wheels:", results[resultIndex(SingleResult::NitrousHpWheels)]);
    appendLine(report, "Total HP(w/Nitrous):", results[resultIndex(SingleResult::TotalHp)]);
    appendLine(report, "HP w/N2O to Wheels:", results[resultIndex(SingleResult::TotalHpWheels)]);
    report.append("\nDrag Racing Output (quarter mile)\n");
    appendQuarterMileTable(report, results);
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
