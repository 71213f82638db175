// The race-day subcommands of moravik-calc (air, predict, solve-hp, convert,
// jet-for-hp and bottle), each registered in a file of its own and answered by the core,
// put together here as one command group, and what they share.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>

#include "command_line.h"
#include "moravik/cli/app.h"
#include "moravik/answers/request_json.h"
#include "raceday_cli.h"

namespace moravik::cli {

using namespace raceday;

void CommonOptions::addTo(CLI::App& command) {
    command
        .add_option("--units", units,
                    "Units of bare numbers and of the report: imperial (F, inHg, ft, lb, hp, "
                    "mph, psi) or metric (C, hPa, m, kg, kW, km/h, bar); default imperial")
        ->type_name("SYSTEM");
    command.add_flag("--json", json,
                     "Print one JSON object; its keys name their units whatever --units says");
}

Outcome<UnitSystem> CommonOptions::system() const { return parseUnitSystem(units, "--units"); }

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

CLI::Option* addQuantityOption(CLI::App& command, std::string name, std::string& text,
                               std::string help) {
    return command.add_option(std::move(name), text, std::move(help))->type_name("Q");
}

void reportLine(std::ostream& out, std::string_view label, std::string_view text) {
    constexpr std::size_t labelWidth = 27;
    out << "  " << label << std::string(labelWidth - std::min(labelWidth, label.size()), ' ')
        << text << '\n';
}

std::string standardHelp() { return "Correction standard: " + standardChoices(); }

void addOptionRelations(CLI::App& command) {
    const auto option = [&command](std::string_view name) {
        return command.get_option(std::string(name));
    };
    for (const OptionRelation& r : optionRelations(command.get_name())) {
        switch (r.relation) {
            case Relation::Required:
                option(r.option)->required();
                break;
            case Relation::Needs:
                option(r.option)->needs(option(r.other));
                break;
            case Relation::Excludes:
                option(r.option)->excludes(option(r.other));
                break;
        }
    }
}

namespace {

void printReport(std::ostream& out, const Report& report) {
    for (const ReportSection& section : report) {
        if (&section != &report.front()) out << '\n';
        if (!section.heading.empty()) out << section.heading << '\n';
        for (const ReportLine& line : section.lines) reportLine(out, line.label, line.text);
    }
}

ExitStatus printAnswer(const RacedayCommand& command, CommandStreams& io) {
    const auto answered = command.answer();
    if (const auto* refusal = std::get_if<Refusal>(&answered))
        return reportUsageError(io.err, refusal->message(), command.parser->get_name());
    const Answer& answer = std::get<Answer>(answered);
    if (!command.common->json) {
        printReport(io.out, answer.report);
        return ExitStatus::Success;
    }
    if (const auto* fault = std::get_if<Fault>(&answer.json)) {
        io.out << jsonText(JsonDocument{{"fault", faultName(*fault)}}) << '\n';
        io.err << programName << ' ' << command.parser->get_name()
               << ": the calculation ended in an arithmetic fault: " << faultName(*fault) << '\n';
        return ExitStatus::ArithmeticFault;
    }
    io.out << jsonText(std::get<JsonDocument>(answer.json)) << '\n';
    return ExitStatus::Success;
}

}  // namespace

void addRacedayCommands(CommandLine& commandLine) {
    auto& app = commandLine.app();
    for (const auto& command :
         {addAirCommand(app), addPredictCommand(app), addSolveHpCommand(app),
          addConvertCommand(app), addJetForHpCommand(app), addBottleCommand(app)}) {
        addOptionRelations(*command.parser);
        commandLine.setRun(*command.parser,
                           [command](CommandStreams& io) { return printAnswer(command, io); });
    }
    app.require_subcommand(0, 1);
}

}  // namespace moravik::cli
