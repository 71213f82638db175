#include "moravik/cli/app.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <array>
#include <iostream>
#include <new>
#include <ostream>
#include <sstream>
#include <string_view>

#include "command_line.h"
#include "moravik/cli/exit_status.h"
#include "system_streams.h"

namespace moravik::cli {
namespace {

// Each group adds its commands to the one command line.
constexpr std::array<CommandGroup, 3> commandGroups{addCalculationCommands, addRacedayCommands,
                                                    addLogCommands};

constexpr std::size_t helpWidth = 80;

// Breaks the lines of text longer than width at blanks; a continued indented
// line keeps the indent of its first line and two blanks more. A word longer than a line
// stays whole.
std::string wrapped(std::string_view text, std::size_t width) {
    constexpr auto none = std::string_view::npos;
    std::string result;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        const auto first = std::min(line.find_first_not_of(' '), line.size());
        std::string prefix;
        std::size_t lead = first;  // blanks before the first word of what is left
        while (prefix.size() + line.size() > width && prefix.size() < width) {
            const std::size_t room = width - prefix.size();
            auto cut = line.rfind(' ', room);
            if (cut == none || cut <= lead) cut = line.find(' ', std::max(room, lead));
            if (cut == none) break;
            result.append(prefix).append(line.substr(0, cut)).push_back('\n');
            line.remove_prefix(std::min(line.find_first_not_of(' ', cut), line.size()));
            prefix.assign(first == 0 ? 0 : first + 2, ' ');
            lead = 0;
        }
        result.append(prefix).append(line);
        if (end < text.size()) result.push_back('\n');
        start = end + 1;
    }
    return result;
}

// Shows each option with its value type only; the rules on which options go
// together are stated by the descriptions and enforced when parsing. Every
// line fits 80 columns.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_size() == 0 ? std::string() : " " + option->get_type_name();
    }
    std::string make_option_desc(const CLI::Option* option) const override {
        return wrapped(CLI::Formatter::make_option_desc(option), helpWidth - get_column_width());
    }
    std::string make_subcommand(const CLI::App* command) const override {
        std::stringstream out;
        CLI::detail::format_help(
            out, command->get_display_name(),
            wrapped(command->get_description(), helpWidth - get_column_width()),
            get_column_width());
        return out.str();
    }
    std::string make_footer(const CLI::App* app) const override {
        return wrapped(CLI::Formatter::make_footer(app), helpWidth);
    }
};

std::string exitStatusHelp() {
    std::string text = "Exit status (the highest that applies):";
    for (const auto& [status, meaning] : exitStatusMeanings)
        text.append("\n  ")
            .append(1, static_cast<char>('0' + static_cast<int>(status)))
            .append("  ")
            .append(meaning);
    return text;
}

void configure(CLI::App& app, bool& quiet, std::string& units) {
    app.formatter(std::make_shared<HelpFormatter>());
    // A flag is on by being given: --json=false would read as JSON on.
    app.option_defaults()->disable_flag_override();
    app.failure_message([](const CLI::App* parsed, const CLI::Error& error) {
        return usageErrorText(plainUsageError(*parsed, error),
                              commandPath(chosenSubcommand(*parsed)));
    });
    app.set_help_flag("-h,--help", "Print this help and exit");
    app.set_version_flag("--version", std::string(programName) + " " + MORAVIK_VERSION,
                         "Print the version and exit");
    app.add_flag("-q,--quiet", quiet, "Print no notes on standard error, only errors");
    // Handed to the subcommand after parsing, as --json is.
    app.add_option("--units", units,
                   "With a race-day or log subcommand: its units, on either side of it")
        ->type_name("SYSTEM");
    // Options a subcommand does not know go to the program's, so that the
    // options of every mode may stand on either side of the subcommand.
    app.fallthrough();
}

ExitStatus parseAndRun(std::span<const char* const> args, std::istream& in, std::ostream& out,
                       std::ostream& err, bool outputIsTerminal) {
    CLI::App app{"Nitrous jet, horsepower and quarter-mile calculator for drag racers.",
                 std::string(programName)};
    bool quiet = false;
    std::string units;
    configure(app, quiet, units);
    CommandLine commandLine(app);
    for (const auto addGroup : commandGroups) addGroup(commandLine);
    app.footer(commandLine.helpText() + "\n\n" + exitStatusHelp());

    // CLI11 reads "--batch ''" as "--batch" alone, which means standard input.
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view argument = args[i];
        if (argument == "--batch=" ||
            (argument == "--batch" && i + 1 < args.size() && std::string_view(args[i + 1]).empty()))
            return reportUsageError(err,
                                    "--batch: give a file name, or - for standard input, "
                                    "not an empty text");
    }
    // CLI11 takes the arguments in reverse order, without the program name.
    std::vector<std::string> arguments;
    for (std::size_t i = args.size(); i > 1; --i) arguments.emplace_back(args[i - 1]);
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? ExitStatus::Success : ExitStatus::UsageError;
    }
    if (const auto problem = checkOptionsOfCommand(app); !problem.empty())
        return reportUsageError(err, problem, commandPath(chosenSubcommand(app)));
    std::ostream silenced(nullptr);
    CommandStreams streams{in, out, err, quiet ? silenced : err, outputIsTerminal};
    const auto* run = commandLine.chosenRun();
    return run == nullptr ? ExitStatus::Success : (*run)(streams);
}

}  // namespace

int runCalc(std::span<const char* const> args, std::istream& in, std::ostream& out,
            std::ostream& err, bool outputIsTerminal) {
    auto status = ExitStatus::Success;
    try {
        status = parseAndRun(args, in, out, err, outputIsTerminal);
    } catch (const std::bad_alloc&) {
        err << programName << ": not enough memory\n";
        status = ExitStatus::InputOutputError;
    }
    // Nothing counts as done before the last byte has reached standard output.
    if (!out.flush())
        status = reportFailure(err, "write to", "standard output", failureReason(out.rdbuf()));
    return static_cast<int>(status);
}

int runCalcOnStandardStreams(std::span<const char* const> args) {
    holdClosedStandardDescriptors();
    FileDescriptorBuffer inBuffer(0, FileDescriptorBuffer::Direction::Read);
    FileDescriptorBuffer outBuffer(1, FileDescriptorBuffer::Direction::Write);
    std::istream in(&inBuffer);
    std::ostream out(&outBuffer);
    LineBuffer errBuffer(2);
    std::ostream err(&errBuffer);
    return runCalc(args, in, out, err, ::isatty(1) == 1);
}

}  // namespace moravik::cli
