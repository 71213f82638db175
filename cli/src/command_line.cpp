#include "command_line.h"

#include <moravik/cli/app.h>

#include <algorithm>
#include <ostream>

#include "decimal_text.h"
#include "display_text.h"
#include "text_matching.h"

namespace moravik::cli {
namespace {

std::vector<const CLI::Option*> allOptions(const CLI::App& app) {
    auto options = app.get_options();
    for (const auto* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        const auto more = allOptions(*command);
        options.insert(options.end(), more.begin(), more.end());
    }
    return options;
}

template <typename Predicate>
const CLI::Option* findOption(const CLI::App& app, Predicate matches) {
    const auto options = allOptions(app);
    const auto found = std::ranges::find_if(options, matches);
    return found == options.end() ? nullptr : *found;
}

std::string shownArgument(std::string_view argument) {
    const bool needsQuotes = argument.empty() || argument.find(' ') != std::string_view::npos;
    return needsQuotes ? quotedText(argument) : escapedText(argument);
}

// "--HP" -> "--hp", when one option is that close.
std::string suggestedOption(const CLI::App& app, std::string_view argument) {
    if (!argument.starts_with("--")) return {};
    const auto* option = findOption(app, [&](const CLI::Option* candidate) {
        const auto name = candidate->get_name();
        return !name.empty() && isNearMatch(looseName(argument), looseName(name));
    });
    return option == nullptr ? std::string() : option->get_name();
}

std::string unexpectedArguments(const CLI::App& app) {
    const auto arguments = app.remaining(true);
    std::string message = arguments.size() == 1 ? "this argument was not expected:"
                                                : "these arguments were not expected:";
    std::string suggestions;
    for (const auto& argument : arguments) {
        message.append(" ").append(shownArgument(argument));
        if (const auto option = suggestedOption(app, argument); !option.empty())
            suggestions.append(suggestions.empty() ? "" : ", ").append(option);
    }
    if (!suggestions.empty()) message.append(" (did you mean ").append(suggestions).append("?)");
    return message;
}

std::string mismatchedArgument(const CLI::App& app, std::string_view what) {
    if (const auto* repeated =
            findOption(app, [](const CLI::Option* option) { return option->count() > 1; }))
        return repeated->get_name() + " is given " + decimalText(repeated->count()) +
               " times; give it once";
    // CLI11 names the option before a colon: "--hp: 1 required TEXT missing".
    if (what.ends_with("missing"))
        return std::string(what.substr(0, what.find(':'))) + " needs a value";
    return std::string(what);
}

std::string conflictingOptions(const CLI::App& app, std::string_view what) {
    for (const auto* option : allOptions(app)) {
        if (option->count() == 0) continue;
        for (const auto* excluded : option->get_excludes())
            if (excluded->count() > 0)
                return option->get_name() + " and " + excluded->get_name() +
                       " cannot be used together";
    }
    return std::string(what);
}

std::string missingOption(const CLI::App& app, std::string_view what) {
    for (const auto* option : allOptions(app)) {
        if (option->count() == 0) continue;
        for (const auto* needed : option->get_needs())
            if (needed->count() == 0) return option->get_name() + " needs " + needed->get_name();
    }
    return std::string(what);
}

}  // namespace

void CommandLine::setRun(const CLI::App& command, CommandRun run) {
    runs_.emplace_back(&command, std::move(run));
}

void CommandLine::addHelpText(std::string text) {
    if (!helpText_.empty()) helpText_.append("\n\n");
    helpText_.append(text);
}

const CommandRun* CommandLine::chosenRun() const {
    const CommandRun* chosen = nullptr;
    for (const auto& [command, run] : runs_) {
        const bool isSubcommand = command != &app_;
        if (command->parsed() && (chosen == nullptr || isSubcommand)) chosen = &run;
    }
    return chosen;
}

std::string plainUsageError(const CLI::App& app, const CLI::Error& error) {
    const std::string_view what = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) return unexpectedArguments(app);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr)
        return mismatchedArgument(app, what);
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr)
        return conflictingOptions(app, what);
    if (dynamic_cast<const CLI::RequiresError*>(&error) != nullptr) return missingOption(app, what);
    return std::string(what);
}

std::string usageErrorText(std::string_view problem) {
    const std::string program(programName);
    return program + ": " + std::string(problem) + "\nRun '" + program +
           " --help' for the options.\n";
}

ExitStatus reportUsageError(std::ostream& err, std::string_view problem) {
    err << usageErrorText(problem);
    return ExitStatus::UsageError;
}

}  // namespace moravik::cli
