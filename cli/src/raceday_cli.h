// What the race-day subcommands share: unit options, quantity reading and
// JSON writing. Internal to moravik-calc.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "json_text.h"
#include "moravik/raceday/air.h"
#include "moravik/raceday/correction.h"
#include "moravik/raceday/error.h"
#include "moravik/raceday/plausible.h"
#include "moravik/raceday/units.h"

namespace moravik::cli {

// A usage error of a subcommand: printed after the program and command name,
// exit status 2.
struct UsageFailure {
    std::string message;
};

template <typename T>
T required(raceday::Outcome<T> outcome) {
    if (const auto* error = raceday::errorOf(outcome)) throw UsageFailure{error->message};
    return std::get<T>(std::move(outcome));
}

// Which option gave a library field, for messages that name the option and
// its units. A field not listed, such as a Labelled one, keeps its message as it is.
struct FieldOption {
    raceday::Field field;
    std::string_view option;
    std::optional<raceday::Quantity> quantity = std::nullopt;
};

UsageFailure usageFailure(const raceday::Error& error, std::initializer_list<FieldOption> options);

template <typename T>
T required(raceday::Outcome<T> outcome, std::initializer_list<FieldOption> options) {
    if (const auto* error = raceday::errorOf(outcome)) throw usageFailure(*error, options);
    return std::get<T>(std::move(outcome));
}

// --units and --json, which every subcommand has.
struct CommonOptions {
    std::string units = "imperial";
    bool json = false;

    void addTo(CLI::App& command);
    raceday::UnitSystem system() const;
};

// Help for a quantity option: what it is, its units and its default.
std::string quantityHelp(std::string_view what, raceday::Quantity quantity,
                         std::string_view defaultText = {});

// The SI value of an option's text; a usage error names the option.
double readQuantity(const std::string& text, raceday::Quantity quantity, raceday::UnitSystem system,
                    std::string_view option);

// readQuantity, and a usage error unless the value is plausible for `measure`.
double readMeasure(const std::string& text, raceday::Quantity quantity, raceday::Measure measure,
                   raceday::UnitSystem system, std::string_view option);

// Adds a quantity option whose text is kept in `text`.
CLI::Option* addQuantityOption(CLI::App& command, std::string name, std::string& text,
                               std::string help);

// The run log's flat JSON object, keys in the order written; the race-day
// commands build a JsonDocument (json_text.h) instead, and `log` moves to it with the
// run log's port. Numbers as numberText writes them; exactNumber writes the
// fewest digits that read back to this very double.
class JsonObject {
public:
    JsonObject& number(std::string_view key, double value);
    JsonObject& number(std::string_view key, const std::optional<double>& value);
    JsonObject& exactNumber(std::string_view key, const std::optional<double>& value);
    JsonObject& text(std::string_view key, std::string_view value);
    JsonObject& boolean(std::string_view key, bool value);
    JsonObject& object(std::string_view key, const JsonObject& value);
    std::string str() const { return body_ + "}"; }

private:
    JsonObject& key(std::string_view name);
    std::string body_ = "{";
};

// --standard: its help, and the standard a key names (a usage error otherwise).
std::string standardHelp();
raceday::Standard readStandard(const std::string& key);

// The air of a WEATHER text; range errors are usage errors naming `option`.
raceday::Air evaluated(const raceday::Weather& weather, std::string_view option);

// A line of a report: label padded to a column, then the text.
void reportLine(std::ostream& out, std::string_view label, std::string_view text);

struct RacedayCommand {
    CLI::App* parser;
    const CommonOptions* common;
    std::function<void(std::ostream& out)> run;  // throws UsageFailure
};

// Each registers one subcommand on `app` and gives what runs it.
RacedayCommand addAirCommand(CLI::App& app);
RacedayCommand addPredictCommand(CLI::App& app);
RacedayCommand addSolveHpCommand(CLI::App& app);
RacedayCommand addConvertCommand(CLI::App& app);
RacedayCommand addJetForHpCommand(CLI::App& app);

}  // namespace moravik::cli
