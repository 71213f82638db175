#include "command_line.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "moravik/answers/decimal_text.h"
#include "moravik/answers/shown_text.h"
#include "moravik/cli/app.h"
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
    const auto found = std::find_if(options.begin(), options.end(), matches);
    return found == options.end() ? nullptr : *found;
}

std::string shownArgument(std::string_view argument) {
    constexpr std::size_t longest = 40;
    const bool needsQuotes = argument.empty() || argument.size() > longest ||
                             argument.find(' ') != std::string_view::npos;
    return needsQuotes ? quotedText(argument, longest) : escapedText(argument);
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

// "\"extra\" is not an argument of log import, which takes FILE.csv and --help".
std::string unexpectedArguments(const CLI::App& app) {
    const auto arguments = app.remaining(true);
    const CLI::App* command = chosenSubcommand(app);
    if (command == nullptr) command = &app;
    std::string taken;
    const auto options = command->get_options();
    constexpr std::size_t longestList = 10;  // beyond it, a line of names helps no one
    if (options.size() > longestList) taken = "the options its --help lists";
    for (std::size_t i = 0; i < options.size() && options.size() <= longestList; ++i) {
        const std::string name =
            options[i]->get_name().empty() ? options[i]->get_type_name() : options[i]->get_name();
        taken.append(i == 0 ? "" : i + 1 == options.size() ? " and " : ", ").append(name);
    }
    std::string message;
    for (const auto& argument : arguments)
        message.append(message.empty() ? "" : ", ").append(shownArgument(argument));
    message.append(arguments.size() == 1 ? " is not an argument of " : " are not arguments of ")
        .append(commandPath(command).empty() ? std::string(programName) : commandPath(command))
        .append(", which takes ")
        .append(taken.empty() ? "none" : taken);
    std::string suggestions;
    for (const auto& argument : arguments) {
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
    if (what.ends_with(" was given a disallowed flag override")) {
        const auto name = what.substr(0, what.find(' '));
        return (name.size() == 1 ? "-" : "--") + std::string(name) +
               " takes no value; give it alone";
    }
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

// "air, ..., log runs, log predict, log export and log add": the subcommands
// that have the option, so that every hint about it names the same ones.
std::string commandsTaking(const CLI::App& app, const std::string& option) {
    std::vector<std::string> names;
    std::vector<const CLI::App*> pending{&app};
    while (!pending.empty()) {
        const CLI::App* command = pending.front();
        pending.erase(pending.begin());
        for (const CLI::App* sub : command->get_subcommands([](const CLI::App*) { return true; })) {
            if (sub->get_option_no_throw(option) != nullptr) names.push_back(commandPath(sub));
            pending.push_back(sub);
        }
    }
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i)
        list.append(i == 0 ? "" : i + 1 == names.size() ? " and " : ", ").append(names[i]);
    return list;
}

std::string missingSubcommand(const CLI::App& app) {
    const CLI::App* command = chosenSubcommand(app);
    if (command == nullptr) command = &app;
    std::string names;
    const auto subcommands = command->get_subcommands([](const CLI::App*) { return true; });
    for (std::size_t i = 0; i < subcommands.size(); ++i)
        names.append(i == 0                        ? ""
                     : i + 1 == subcommands.size() ? " or "
                                                   : ", ")
            .append(subcommands[i]->get_name());
    return commandPath(command) + " needs a subcommand: " + names;
}

}  // namespace

CLI::Validator wholeNumberIn(std::int64_t low, std::int64_t high) {
    return CLI::Validator(
        [low, high](const std::string& text) {
            const auto read = raceday::readWholeNumber(text, low, high);
            const auto* error = raceday::errorOf(read);
            return error == nullptr ? std::string() : error->message;
        },
        "", "");
}

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
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
        what.starts_with("A subcommand"))
        return missingSubcommand(app);
    return std::string(what);
}

std::string usageErrorText(std::string_view problem, std::string_view command) {
    std::string program(programName);
    if (!command.empty()) program.append(" ").append(command);
    return program + ": " + withoutControls(problem) + "\nRun '" + program + " --help' for " +
           (command.empty() ? "the options" : "its options") + ".\n";
}

ExitStatus reportUsageError(std::ostream& err, std::string_view problem, std::string_view command) {
    err << usageErrorText(problem, command);
    return ExitStatus::UsageError;
}

const CLI::App* chosenSubcommand(const CLI::App& app) {
    const CLI::App* chosen = nullptr;
    for (auto parsed = app.get_subcommands(); !parsed.empty();
         parsed = parsed.front()->get_subcommands())
        chosen = parsed.front();
    return chosen;
}

std::string commandPath(const CLI::App* command) {
    std::string path;
    for (; command != nullptr && command->get_parent() != nullptr; command = command->get_parent())
        path.insert(0, path.empty() ? command->get_name() : command->get_name() + " ");
    return path;
}

std::string checkOptionsOfCommand(CLI::App& app) {
    // Value options given twice are refused while parsing; flags the same way.
    for (CLI::App* command = &app; command != nullptr;) {
        for (const auto* option : command->get_options()) {
            const bool repeatable = option->get_items_expected_max() > 1;
            if (option->count() > 1 && !repeatable)
                return option->get_name() + " is given " + decimalText(option->count()) +
                       " times; give it once";
        }
        const auto parsed = command->get_subcommands();
        command = parsed.empty() ? nullptr : parsed.front();
    }
    CLI::App* chosen = const_cast<CLI::App*>(chosenSubcommand(app));
    if (chosen == nullptr) {
        if (const auto* units = app.get_option_no_throw("--units"); units && units->count() > 0)
            return "--units goes with " + commandsTaking(app, "--units") +
                   "; the report is in the window's units";
        return {};
    }
    for (auto* option : app.get_options()) {
        if (option->count() == 0 || option == app.get_help_ptr() ||
            option == app.get_version_ptr() || option->get_name() == "--quiet")
            continue;
        auto* own = chosen->get_option_no_throw(option->get_name());
        if (own == nullptr && (option->get_name() == "--json" || option->get_name() == "--units"))
            return option->get_name() + " does not go with " + commandPath(chosen) +
                   "; it goes with " + commandsTaking(app, option->get_name());
        if (own == nullptr)
            return option->get_name() + " does not go with " + commandPath(chosen) +
                   "; it belongs to the calculation without a subcommand";
        if (option->get_name() != "--json" && option->get_name() != "--units")
            return option->get_name() + " of " + commandPath(chosen) + " goes after " +
                   commandPath(chosen);
        if (own->count() > 0)
            return option->get_name() + " is given twice, before and after " + commandPath(chosen) +
                   "; give it once";
        // Given before the subcommand: it counts as given after it.
        own->clear();
        own->add_result(option->results());
        own->run_callback();
    }
    return {};
}

}  // namespace moravik::cli
