// The exit statuses of moravik-calc, stated once: --help prints this table,
// and the user guide and the manual page are checked against it.
#pragma once

#include <array>
#include <string_view>

namespace moravik::cli {

enum class ExitStatus : int {
    Success = 0,
    ArithmeticFault = 1,
    UsageError = 2,
    InputOutputError = 3,
};

// A run that meets several of them ends with the highest.
constexpr ExitStatus worse(ExitStatus a, ExitStatus b) { return a < b ? b : a; }

struct ExitStatusMeaning {
    ExitStatus status;
    std::string_view meaning;
};

inline constexpr std::array<ExitStatusMeaning, 4> exitStatusMeanings{{
    {ExitStatus::Success, "every calculation gave its results"},
    {ExitStatus::ArithmeticFault,
     "a calculation, --batch line or --jet-chart row ended in an arithmetic fault"},
    {ExitStatus::UsageError, "a usage error, or a --batch line that is not a usable JSON object"},
    {ExitStatus::InputOutputError,
     "reading input or writing output failed, or memory ran out; the run stopped"},
}};

}  // namespace moravik::cli
