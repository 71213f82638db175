// The race-day subcommands of moravik-calc (air, predict, solve-hp, convert and
// jet-for-hp), each in a file of its own, registered here as one command group,
// and what they share.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>

#include "command_line.h"
#include "moravik/cli/app.h"
#include "raceday_cli.h"

namespace moravik::cli {

using namespace raceday;

UsageFailure usageFailure(const Error& error, std::initializer_list<FieldOption> options) {
    for (const FieldOption& option : options) {
        if (option.field != error.field) continue;
        std::string message = std::string(option.option) + ": " + error.message;
        if (option.quantity) message += " (units " + acceptedUnits(*option.quantity) + ")";
        return UsageFailure{std::move(message)};
    }
    return UsageFailure{error.message};
}

void CommonOptions::addTo(CLI::App& command) {
    command
        .add_option("--units", units,
                    "Units of bare numbers and of the report: imperial (F, inHg, ft, lb, hp, "
                    "mph, psi) or metric (C, hPa, m, kg, kW, km/h, bar); default imperial")
        ->type_name("SYSTEM");
    command.add_flag("--json", json,
                     "Print one JSON object; its keys name their units whatever --units says");
}

UnitSystem CommonOptions::system() const { return required(parseUnitSystem(units, "--units")); }

std::string quantityHelp(std::string_view what, Quantity quantity, std::string_view defaultText) {
    const QuantityInfo& info = quantityInfo(quantity);
    std::string help = std::string(what) + "; units " + acceptedUnits(quantity) +
                       " (a bare number is in " + std::string(info.imperialUnit);
    if (info.metricUnit != info.imperialUnit) {
        help += ", or " + std::string(info.metricUnit) + " with --units metric";
    }
    help += ")";
    if (!defaultText.empty()) help += "; default " + std::string(defaultText);
    return help;
}

double readQuantity(const std::string& text, Quantity quantity, UnitSystem system,
                    std::string_view option) {
    return required(parseQuantity(text, quantity, system, option));
}

double readMeasure(const std::string& text, Quantity quantity, Measure measure, UnitSystem system,
                   std::string_view option) {
    const double value = readQuantity(text, quantity, system, option);
    if (auto error = checkPlausible(value, measure, option)) throw UsageFailure{error->message};
    return value;
}

CLI::Option* addQuantityOption(CLI::App& command, std::string name, std::string& text,
                               std::string help) {
    return command.add_option(std::move(name), text, std::move(help))->type_name("Q");
}

JsonObject& JsonObject::key(std::string_view name) {
    if (body_.size() > 1) body_ += ',';
    body_.append("\"").append(name).append("\":");
    return *this;
}

JsonObject& JsonObject::number(std::string_view name, double value) {
    key(name).body_ += jsonText(jsonNumber(value));
    return *this;
}

JsonObject& JsonObject::number(std::string_view name, const std::optional<double>& value) {
    if (!value) {
        key(name).body_ += "null";
        return *this;
    }
    return number(name, *value);
}

JsonObject& JsonObject::exactNumber(std::string_view name, const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) {
        key(name).body_ += "null";
        return *this;
    }
    std::array<char, 32> digits{};
    const auto end = toCharsShortest(digits.data(), digits.data() + digits.size(), *value).ptr;
    key(name).body_.append(digits.data(), end);
    return *this;
}

JsonObject& JsonObject::text(std::string_view name, std::string_view value) {
    key(name).body_ += JsonDocument(std::string(value)).dump();
    return *this;
}

JsonObject& JsonObject::boolean(std::string_view name, bool value) {
    key(name).body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::object(std::string_view name, const JsonObject& value) {
    key(name).body_ += value.str();
    return *this;
}

void reportLine(std::ostream& out, std::string_view label, std::string_view text) {
    constexpr std::size_t labelWidth = 27;
    out << "  " << label << std::string(labelWidth - std::min(labelWidth, label.size()), ' ')
        << text << '\n';
}

void addRacedayCommands(CommandLine& commandLine) {
    auto& app = commandLine.app();
    for (const auto& command : {addAirCommand(app), addPredictCommand(app), addSolveHpCommand(app),
                                addConvertCommand(app), addJetForHpCommand(app)}) {
        commandLine.setRun(*command.parser, [command](CommandStreams& io) {
            try {
                command.run(io.out);
                return ExitStatus::Success;
            } catch (const UsageFailure& failure) {
                return reportUsageError(io.err, failure.message, command.parser->get_name());
            } catch (const CalculationFault& fault) {
                if (command.common->json)
                    io.out << jsonText(JsonDocument{{"fault", fault.name}}) << '\n';
                io.err << programName << ' ' << command.parser->get_name()
                       << ": the calculation ended in an arithmetic fault: " << fault.name << '\n';
                return ExitStatus::ArithmeticFault;
            }
        });
    }
    app.require_subcommand(0, 1);
}

}  // namespace moravik::cli
