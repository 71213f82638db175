// What the race-day subcommands share: unit options, option help, and how an
// answer of the core (moravik/answers/answers.h) is printed. Internal to
// moravik-calc.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "moravik/raceday/units.h"
#include "moravik/answers/answers.h"
#include "moravik/answers/json_text.h"

namespace moravik::cli {

// --units and --json, which every subcommand has.
struct CommonOptions {
    std::string units = "imperial";
    bool json = false;

    void addTo(CLI::App& command);
    raceday::Outcome<raceday::UnitSystem> system() const;
};

// Help for a quantity option: what it is, its units and its default.
std::string quantityHelp(std::string_view what, raceday::Quantity quantity,
                         std::string_view defaultText = {});

// Adds a quantity option whose text is kept in `text`.
CLI::Option* addQuantityOption(CLI::App& command, std::string name, std::string& text,
                               std::string help);

// The options of `command` required, needing or excluding one another as the
// core's table says (moravik/answers/request_json.h).
void addOptionRelations(CLI::App& command);

// --standard: its help.
std::string standardHelp();

// A line of a report: label padded to a column, then the text.
void reportLine(std::ostream& out, std::string_view label, std::string_view text);

struct RacedayCommand {
    CLI::App* parser;
    const CommonOptions* common;
    std::function<raceday::Answered<raceday::Answer>()> answer;
};

// What answers a command: its request with the units of its --units option.
template <typename Options, typename Request>
auto answerOf(std::shared_ptr<Options> options,
              raceday::Answered<raceday::Answer> (*answer)(const Request&)) {
    return [options, answer] {
        Request request = options->request;
        request.units = options->common.units;
        return answer(request);
    };
}

// Each registers one subcommand on `app` and gives what answers it.
RacedayCommand addAirCommand(CLI::App& app);
RacedayCommand addPredictCommand(CLI::App& app);
RacedayCommand addSolveHpCommand(CLI::App& app);
RacedayCommand addConvertCommand(CLI::App& app);
RacedayCommand addJetForHpCommand(CLI::App& app);
RacedayCommand addBottleCommand(CLI::App& app);

}  // namespace moravik::cli
