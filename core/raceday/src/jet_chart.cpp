#include "moravik/raceday/jet_chart.h"

#include <array>
#include <charconv>
#include <string>

#include "moravik/number_reading.h"
#include "moravik/tracks.h"
#include "moravik/whole_text.h"

namespace moravik::raceday {
namespace {

Error jetRangeError(std::string message) { return Error{Field::JetRange, std::move(message)}; }

double resultNumber(const ResultTexts& results, Formula formula, Column column) {
    return readNumber(results[resultIndex(formula, column)].view()).value_or(0);
}

}  // namespace

std::int64_t jetChartRows(const JetRange& range) {
    return (range.to.thousandths - range.from.thousandths) / range.step.thousandths + 1;
}

std::string tooManyRowsSentence(const JetRange& range) {
    return "the chart would have " + wholeText(jetChartRows(range)) + " rows; at most " +
           wholeText(maxJetChartRows) + " are allowed";
}

std::optional<JetRangeProblem> checkJetRange(const JetRange& range) {
    if (range.step.thousandths <= 0) return JetRangeProblem::StepNotAboveZero;
    if (range.to < range.from) return JetRangeProblem::ToBelowFrom;
    if (jetChartRows(range) > maxJetChartRows) return JetRangeProblem::TooManyRows;
    return std::nullopt;
}

Outcome<JetRange> parseJetRange(std::string_view text) {
    const auto firstColon = text.find(':');
    const auto secondColon =
        firstColon == std::string_view::npos ? firstColon : text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos)
        return jetRangeError("expected FROM:TO:STEP, for example 0.025:0.1:0.005");
    const std::array<std::string_view, 3> parts{
        text.substr(0, firstColon), text.substr(firstColon + 1, secondColon - firstColon - 1),
        text.substr(secondColon + 1)};
    std::array<Jet, 3> jets{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        // A unit belongs to a single jet, not to a part of the range.
        const auto jet = parts[i].ends_with("in") ? std::nullopt : readJet(parts[i]);
        if (!jet)
            return jetRangeError("\"" + std::string(parts[i]) +
                                 "\" is not a jet size: FROM, TO and STEP are decimals in inches "
                                 "with at most three decimals, such as 0.025 or .1");
        jets[i] = *jet;
    }
    const JetRange range{jets[0], jets[1], jets[2]};
    const auto problem = checkJetRange(range);
    if (!problem) return range;
    switch (*problem) {
        case JetRangeProblem::StepNotAboveZero:
            return jetRangeError("STEP must be greater than 0");
        case JetRangeProblem::ToBelowFrom:
            return jetRangeError("TO must not be less than FROM");
        case JetRangeProblem::TooManyRows:
            break;
    }
    return jetRangeError(tooManyRowsSentence(range));
}

JetChart jetChart(const JetRange& range, InputTexts inputs) {
    JetChart chart{{}, altitudeFactorsFor(inputs.altitudeDD).has_value()};
    for (Jet jet = range.from; jet <= range.to; jet.thousandths += range.step.thousandths) {
        inputs.njt = jetText(jet, JetDigits::Shortest);
        chart.rows.push_back({jet, calculate(inputs)});
    }
    return chart;
}

std::vector<JetChartPoint> jetChartPoints(const JetChart& chart, Formula formula) {
    std::vector<JetChartPoint> points;
    for (const JetChartRow& row : chart.rows) {
        if (const auto* results = std::get_if<ResultTexts>(&row.outcome)) {
            points.push_back({row.jet.inches(), resultNumber(*results, formula, Column::EtNitrous),
                              resultNumber(*results, formula, Column::MphNitrous)});
        }
    }
    return points;
}

}  // namespace moravik::raceday
