// The two ways to print one Calculate pass: a report for people and JSON for
// programs.
#pragma once

#include <string>
#include <string_view>

#include "moravik/calculate.h"

namespace moravik::cli {

// A report grouped like the main window: the inputs, the jets, the horsepower
// figures and the quarter-mile values as a table of times and one of speeds
// (one row per formula) that fit 80 columns. Result texts appear exactly
// as the engine wrote them; input texts show control characters escaped.
std::string calculationReport(const InputTexts& inputs, const ResultTexts& results);

// One JSON object on one line, without a line break:
// {"fields":{"TextBox1":" .017",...}} with the 31 fields in the writing order,
// or {"fault":"division by zero"}.
std::string outcomeJson(const CalculationOutcome& outcome);

}  // namespace moravik::cli
