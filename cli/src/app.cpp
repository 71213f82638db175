#include <moravik/cli/app.h>
#include <moravik/cli/batch.h>
#include <moravik/cli/jet_chart.h>
#include <moravik/cli/output.h>
#include <moravik/tracks.h>

#include <CLI/CLI.hpp>
#include <array>
#include <ostream>

#include "decimal_text.h"
#include "log_command.h"
#include "raceday_commands.h"

namespace moravik::cli {
namespace {

constexpr std::string_view programName = "moravik-calc";

constexpr const char* helpFooter =
    R"(Input texts are read as the window reads them: "43psi" is 43, "1,000" is 1.

Examples:
  moravik-calc                                      the window's initial texts
  moravik-calc --nitrous-jet .045 --nozzles 4       four nozzles with .045 jets
  moravik-calc --fuel-pressure 40 --bottle-pressure 1000
  moravik-calc --hp 350 --weight 3200 --track "Denver, CO  5800"
  moravik-calc --json --hp 300
  echo '{"njt":".040","altitudeDD":"Boise, ID  2700"}' | moravik-calc --batch
  moravik-calc --tracks
  moravik-calc --jet-chart 0.02:0.06:0.005 --nozzles 4 --csv
  moravik-calc --version

A jet chart shows a row whose calculation faults as "fault: <kind>" and then
exits with status 1.

Exit status:
  0  success
  1  an arithmetic fault: division by zero, overflow or invalid argument
  2  a usage error, or a --batch line that is not a usable JSON object)";

// Shows each option with its value type only; the rules on which options go
// together are stated by the descriptions and enforced when parsing.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_size() == 0 ? std::string() : " " + option->get_type_name();
    }
};

std::string checkTrack(const std::string& text) {
    return isTrackChoice(text) ? std::string()
                               : "not an entry of the track list (see --tracks): \"" + text + "\"";
}

int printJetChart(const std::string& rangeText, const InputTexts& inputs, bool csv,
                  std::ostream& out, std::ostream& err) {
    const auto range = parseJetRange(rangeText);
    if (const auto* problem = std::get_if<std::string>(&range)) {
        err << programName << ": --jet-chart: " << *problem << '\n';
        return exitUsageError;
    }
    const auto rows = jetChart(std::get<JetRange>(range), inputs);
    out << (csv ? jetChartCsv(rows) : jetChartTable(rows));
    std::size_t faulted = 0;
    const Fault* firstFault = nullptr;
    for (const auto& row : rows) {
        if (const auto* fault = std::get_if<Fault>(&row.outcome)) {
            ++faulted;
            if (firstFault == nullptr) firstFault = fault;
        }
    }
    if (firstFault == nullptr) return exitSuccess;
    err << programName << ": " << decimalText(faulted) << " of " << decimalText(rows.size())
        << " rows ended in an arithmetic fault; the first was " << faultName(*firstFault) << '\n';
    return exitArithmeticFault;
}

}  // namespace

int runCalc(std::span<const char* const> args, std::istream& in, std::ostream& out,
            std::ostream& err) {
    CLI::App app{"Nitrous jet, horsepower and quarter-mile calculator for drag racers.",
                 std::string(programName)};
    app.footer(helpFooter);
    app.formatter(std::make_shared<HelpFormatter>());
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string(programName) + ": " + error.what() + "\nRun '" +
               std::string(programName) + " --help' for the options.\n";
    });
    app.set_help_flag("-h,--help", "Print this help and exit");
    app.set_version_flag("--version", std::string(programName) + " " + MORAVIK_VERSION,
                         "Print the version and exit");

    InputTexts inputs;
    const std::array inputOptions{
        app.add_option("--nitrous-jet", inputs.njt, "Nitrous jet size in inches (default .030)"),
        app.add_option("--fuel-pressure", inputs.flp, "Fuel pressure in psi (default 43)"),
        app.add_option("--bottle-pressure", inputs.nbp,
                       "Nitrous bottle pressure in psi (default 900)"),
        app.add_option("--nozzles", inputs.jtn, "Number of nozzles (default 1)"),
        app.add_option("--hp", inputs.draghp, "Engine horsepower (default 210)"),
        app.add_option("--weight", inputs.vweight,
                       "Vehicle weight with driver in lbs (default 2562)"),
        app.add_option("--track", inputs.altitudeDD,
                       "Track entry exactly as --tracks prints it, blanks included (default none)")
            ->check(checkTrack),
    };
    bool json = false;
    bool batch = false;
    bool tracks = false;
    bool csv = false;
    std::string chartRange;
    auto* jsonFlag = app.add_flag("--json", json, "Print the results as one JSON object")
                         ->group("Output (the default is a report)");
    auto* batchFlag =
        app.add_flag("--batch", batch,
                     "Read JSON Lines on standard input, write one JSON line for each")
            ->group(jsonFlag->get_group());
    auto* tracksFlag = app.add_flag("--tracks", tracks, "Print the track list, one entry a line")
                           ->group(jsonFlag->get_group());
    auto* chartOption =
        app.add_option("--jet-chart", chartRange,
                       "Chart nitrous jets FROM to TO by STEP, in inches with up to 3 decimals")
            ->type_name("FROM:TO:STEP")
            ->group(jsonFlag->get_group());
    app.add_flag("--csv", csv, "With --jet-chart: print the chart as CSV with a header row")
        ->needs(chartOption)
        ->group(jsonFlag->get_group());
    jsonFlag->excludes(batchFlag)->excludes(tracksFlag)->excludes(chartOption);
    batchFlag->excludes(tracksFlag)->excludes(chartOption);
    tracksFlag->excludes(chartOption);
    for (auto* option : inputOptions) {
        option->group("Inputs (a missing one keeps the window's initial text)");
        batchFlag->excludes(option);
        tracksFlag->excludes(option);
    }
    chartOption->excludes(inputOptions.front());
    const RacedayCommands raceday(app);
    const LogCommand log(app);

    // CLI11 takes the arguments in reverse order, without the program name.
    std::vector<std::string> arguments;
    for (std::size_t i = args.size(); i > 1; --i) arguments.emplace_back(args[i - 1]);
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? exitSuccess : exitUsageError;
    }

    if (const auto status = raceday.run(out, err)) return *status;
    if (const auto status = log.run(out, err)) return *status;
    if (tracks) {
        for (const auto entry : trackEntries()) out << entry << '\n';
        return exitSuccess;
    }
    if (batch) return runBatch(in, out) ? exitSuccess : exitUsageError;
    if (chartOption->count() > 0) return printJetChart(chartRange, inputs, csv, out, err);

    const auto outcome = calculate(inputs);
    if (json) out << outcomeJson(outcome) << '\n';
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        err << programName
            << ": the calculation ended in an arithmetic fault: " << faultName(*fault) << '\n';
        return exitArithmeticFault;
    }
    if (!json) out << calculationReport(inputs, std::get<ResultTexts>(outcome));
    return exitSuccess;
}

}  // namespace moravik::cli
