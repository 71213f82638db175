// The race-day subcommands of moravik-calc: air, solve-hp, convert, jet-for-hp
// and predict. Each lives in its own file and registers itself here, so the
// program's own options and app.cpp stay as they are.
#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <optional>
#include <vector>

#include "raceday_cli.h"

namespace moravik::cli {

class RacedayCommands {
public:
    // Adds the subcommands to the program's parser.
    explicit RacedayCommands(CLI::App& app);

    // After parsing: the exit status of the subcommand that was given, or
    // nothing when none was.
    std::optional<int> run(std::ostream& out, std::ostream& err) const;

private:
    std::vector<RacedayCommand> commands_;
};

}  // namespace moravik::cli
