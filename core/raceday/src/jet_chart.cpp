#include "moravik/raceday/jet_chart.h"

#include <array>
#include <charconv>
#include <string>

#include "moravik/number_reading.h"
#include "moravik/tracks.h"
#include "moravik/whole_text.h"

namespace moravik::raceday {
namespace {

double resultNumber(const ResultTexts& results, Formula formula, Column column) {
    return readNumber(results[resultIndex(formula, column)].view()).value_or(0);
}

std::int64_t jetChartRows(const JetRange& range) {
    return (range.to.thousandths - range.from.thousandths) / range.step.thousandths + 1;
}

constexpr std::array<std::string_view, 3> commandLinePartNames{"FROM", "TO", "STEP"};

std::optional<JetRangeRefusal> checkJetRange(const JetRange& range) {
    if (range.step.thousandths <= 0)
        return JetRangeRefusal{JetRangePart::Step, "must be greater than 0"};
    if (range.to < range.from)
        return JetRangeRefusal{JetRangePart::To, "must not be less than the smallest jet"};
    if (jetChartRows(range) > maxJetChartRows) {
        return JetRangeRefusal{JetRangePart::Step,
                               "the chart would have " + wholeText(jetChartRows(range)) +
                                   " rows; at most " + wholeText(maxJetChartRows) + " are allowed"};
    }
    return std::nullopt;
}

}  // namespace

std::variant<JetRange, JetRangeRefusal> readJetRange(const std::array<std::string_view, 3>& typed) {
    std::array<std::optional<Jet>, 3> jets{};
    for (std::size_t i = 0; i < typed.size(); ++i) {
        jets[i] = readJet(typed[i]);
        if (!jets[i] && !typed[i].empty())
            return JetRangeRefusal{JetRangePart(i), notAJetSentence(typed[i])};
    }
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (!jets[i]) return JetRangeRefusal{JetRangePart(i), "required"};
    }
    const JetRange range{*jets[0], *jets[1], *jets[2]};
    if (auto refusal = checkJetRange(range)) return *std::move(refusal);
    return range;
}

Outcome<JetRange> parseJetRange(std::string_view text) {
    const auto firstColon = text.find(':');
    const auto secondColon =
        firstColon == std::string_view::npos ? firstColon : text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos)
        return Error{Field::JetRange, "expected FROM:TO:STEP, for example 0.025:0.1:0.005"};
    const std::array<std::string_view, 3> parts{
        text.substr(0, firstColon), text.substr(firstColon + 1, secondColon - firstColon - 1),
        text.substr(secondColon + 1)};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        // A unit belongs to a single jet, not to a part of the range.
        if (parts[i].ends_with("in"))
            return Error{Field::JetRange,
                         std::string(commandLinePartNames[i]) + ": " + notAJetSentence(parts[i])};
    }
    auto range = readJetRange(parts);
    if (auto* refusal = std::get_if<JetRangeRefusal>(&range)) {
        return Error{Field::JetRange,
                     std::string(commandLinePartNames[static_cast<std::size_t>(refusal->part)]) +
                         ": " + refusal->sentence};
    }
    return std::get<JetRange>(range);
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
