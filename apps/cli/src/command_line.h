// How moravik-calc's commands plug into its command line.
//
// A command group is one function that adds options or subcommands to the
// CLI11 application and says what runs when the arguments choose them;
// runCalc calls every group of its table. It parses the arguments once, runs
// the chosen command and then checks that everything the command wrote reached
// standard output. A command therefore only writes and returns its status;
// a long-running one stops when its output stream fails. Every usage error is
// worded by plainUsageError, whichever command's options raised it.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "moravik/cli/exit_status.h"

namespace moravik::cli {

struct CommandStreams {
    std::istream& in;
    std::ostream& out;      // checked after the command has run
    std::ostream& err;      // errors
    std::ostream& notes;    // remarks on the input, silenced by --quiet
    bool outputIsTerminal;  // out is shown on a terminal, not kept in a file or a pipe
};

using CommandRun = std::function<ExitStatus(CommandStreams&)>;

class CommandLine {
public:
    explicit CommandLine(CLI::App& app) : app_(app) {}

    CLI::App& app() { return app_; }

    // What runs when the arguments choose `command`: the application itself
    // when no subcommand is given, or one of its subcommands.
    void setRun(const CLI::App& command, CommandRun run);
    // Examples and remarks for the end of --help.
    void addHelpText(std::string text);

    const CommandRun* chosenRun() const;
    const std::string& helpText() const { return helpText_; }

private:
    CLI::App& app_;
    std::vector<std::pair<const CLI::App*, CommandRun>> runs_;
    std::string helpText_;
};

using CommandGroup = void (*)(CommandLine&);

// The report, --json, --batch, --tracks and --jet-chart.
void addCalculationCommands(CommandLine& commandLine);

// The race-day subcommands: air, predict, solve-hp, convert and jet-for-hp.
void addRacedayCommands(CommandLine& commandLine);

// log runs and log predict on Race Day's run log; nothing in a build without Qt.
void addLogCommands(CommandLine& commandLine);

// Checks that an option's text is a whole number from low to high.
CLI::Validator wholeNumberIn(std::int64_t low, std::int64_t high);

// A parse error in plain words, the arguments named in the order typed.
std::string plainUsageError(const CLI::App& app, const CLI::Error& error);

// The message for a usage error of the program or of `command` ("air",
// "log runs"): the problem and where help is.
std::string usageErrorText(std::string_view problem, std::string_view command = {});

// Says on err what is wrong with the command line; gives UsageError.
ExitStatus reportUsageError(std::ostream& err, std::string_view problem,
                            std::string_view command = {});

// The subcommand the arguments chose, the innermost one; nullptr without one.
const CLI::App* chosenSubcommand(const CLI::App& app);

// "air", "log runs": how the user types `command`.
std::string commandPath(const CLI::App* command);

// After parsing: --json and --units given before a subcommand are handed to
// it, any other option of the calculation given with a subcommand is refused,
// and so are repeated options and flags with a value. Gives the problem, or
// nothing.
std::string checkOptionsOfCommand(CLI::App& app);

}  // namespace moravik::cli
