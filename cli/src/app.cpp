#include <moravik/cli/app.h>
#include <moravik/cli/exit_status.h>

#include <CLI/CLI.hpp>
#include <array>
#include <iostream>
#include <new>
#include <ostream>

#include "command_line.h"
#include "system_streams.h"

namespace moravik::cli {
namespace {

// Each group adds its commands to the one command line.
constexpr std::array<CommandGroup, 3> commandGroups{addCalculationCommands, addRacedayCommands,
                                                    addLogCommands};

// Shows each option with its value type only; the rules on which options go
// together are stated by the descriptions and enforced when parsing.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_size() == 0 ? std::string() : " " + option->get_type_name();
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

void configure(CLI::App& app, bool& quiet) {
    app.formatter(std::make_shared<HelpFormatter>());
    app.failure_message([](const CLI::App* parsed, const CLI::Error& error) {
        return usageErrorText(plainUsageError(*parsed, error));
    });
    app.set_help_flag("-h,--help", "Print this help and exit");
    app.set_version_flag("--version", std::string(programName) + " " + MORAVIK_VERSION,
                         "Print the version and exit");
    app.add_flag("-q,--quiet", quiet, "Print no notes on standard error, only errors");
}

ExitStatus parseAndRun(std::span<const char* const> args, std::istream& in, std::ostream& out,
                       std::ostream& err) {
    CLI::App app{"Nitrous jet, horsepower and quarter-mile calculator for drag racers.",
                 std::string(programName)};
    bool quiet = false;
    configure(app, quiet);
    CommandLine commandLine(app);
    for (const auto addGroup : commandGroups) addGroup(commandLine);
    app.footer(commandLine.helpText() + "\n\n" + exitStatusHelp());

    // CLI11 takes the arguments in reverse order, without the program name.
    std::vector<std::string> arguments;
    for (std::size_t i = args.size(); i > 1; --i) arguments.emplace_back(args[i - 1]);
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? ExitStatus::Success : ExitStatus::UsageError;
    }
    std::ostream silenced(nullptr);
    CommandStreams streams{in, out, err, quiet ? silenced : err};
    const auto* run = commandLine.chosenRun();
    return run == nullptr ? ExitStatus::Success : (*run)(streams);
}

}  // namespace

int runCalc(std::span<const char* const> args, std::istream& in, std::ostream& out,
            std::ostream& err) {
    auto status = ExitStatus::Success;
    try {
        status = parseAndRun(args, in, out, err);
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
    FileDescriptorBuffer inBuffer(0, FileDescriptorBuffer::Direction::Read);
    FileDescriptorBuffer outBuffer(1, FileDescriptorBuffer::Direction::Write);
    std::istream in(&inBuffer);
    std::ostream out(&outBuffer);
    return runCalc(args, in, out, std::cerr);
}

}  // namespace moravik::cli
