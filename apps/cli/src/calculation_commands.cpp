// The calculation on the command line: a report or JSON for one set of
// inputs, --batch, --tracks and --jet-chart.
#include <memory>
#include <ostream>
#include <string>
#include <variant>

#include "command_line.h"
#include "moravik/cli/app.h"
#include "moravik/cli/batch.h"
#include "moravik/cli/jet_chart.h"
#include "moravik/cli/output.h"
#include "moravik/answers/answers.h"
#include "moravik/answers/decimal_text.h"
#include "moravik/answers/jet_chart_texts.h"
#include "moravik/answers/shown_text.h"
#include "moravik/tracks.h"
#include "system_streams.h"
#include "track_choice.h"

namespace moravik::cli {
namespace {

using raceday::inputOptions;

constexpr const char* helpText =
    R"(Input texts are read as the window reads them: "43psi" is 43 and "3,200" is 3.
A note on standard error tells when a text is read only in part. With
--decimal-comma they are read as the web app reads them: a comma in the nitrous
jet is its decimal point, and one in any other input is refused.

Examples:
  moravik-calc                                      the window's initial texts
  moravik-calc --nitrous-jet .045 --nozzles 4       four nozzles with .045 jets
  moravik-calc --fuel-pressure 40 --bottle-pressure 1000
  moravik-calc --nitrous-jet .062 --bottle-temperature 85F
  moravik-calc --hp 350 --weight 3200 --track denver
  moravik-calc --json --hp 300
  moravik-calc --batch runs.jsonl > answers.jsonl
  echo '{"njt":".040","altitudeDD":"Boise, ID  2700"}' | moravik-calc --batch
  moravik-calc --tracks --numbered
  moravik-calc --jet-chart 0.02:0.06:0.005 --nozzles 4 --track 7 --csv
  moravik-calc --version)";

struct CalculationOptions {
    InputTexts inputs;
    std::array<CLI::Option*, inputOptions.size()> numbers{};
    bool json = false;
    bool tracks = false;
    bool numbered = false;
    bool csv = false;
    bool decimalComma = false;
    std::string batchFile;
    CLI::Option* batch = nullptr;
    std::string chartRange;
    CLI::Option* chart = nullptr;
    std::string bottleTemperature;
    CLI::Option* bottle = nullptr;
};

// Replaces the --track text by the entry it names.
std::string toTrackEntry(std::string& text) {
    const auto choice = chooseTrack(text);
    if (const auto* problem = std::get_if<std::string>(&choice)) return *problem;
    text = std::string(std::get<TrackEntry>(choice).text);
    return {};
}

std::string checkJetRangeText(const std::string& text) {
    const auto range = raceday::parseJetRange(text);
    const auto* problem = raceday::errorOf(range);
    return problem == nullptr ? std::string() : problem->message;
}

// Notes the texts read in part and gives the texts the pass reads, or the
// message refusing one.
std::variant<InputTexts, std::string> readInputs(const CalculationOptions& options,
                                                 std::ostream& notes) {
    InputTexts inputs = options.inputs;
    const auto rule =
        options.decimalComma ? raceday::CommaRule::DecimalComma : raceday::CommaRule::EndsNumber;
    for (std::size_t i = 0; i < inputOptions.size(); ++i) {
        if (options.numbers[i]->count() == 0) continue;
        const auto& input = inputOptions[i];
        auto reading = raceday::readField(input, inputs.*input.text, rule);
        if (!reading.refusal.empty()) return std::string(input.name) + ' ' + reading.refusal;
        if (!reading.note.empty()) notes << "note: " << input.name << ' ' << reading.note << '\n';
        inputs.*input.text = std::move(reading.text);
    }
    if (auto note = raceday::noStripNote(inputs.altitudeDD))
        notes << "note: --track " << *note << '\n';
    return inputs;
}

ExitStatus printTracks(bool numbered, std::ostream& out) {
    const auto entries = trackEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (numbered) out << (i < 9 ? " " : "") << decimalText(i + 1) << "  ";
        out << entries[i] << '\n';
    }
    return ExitStatus::Success;
}

ExitStatus runBatchCommand(const std::string& file, CommandStreams& io) {
    if (file.empty() || file == "-") return runBatch({io.in, "standard input"}, io.out, io.err);
    FileDescriptorBuffer buffer(file);
    const auto name = escapedText(file);
    if (buffer.error()) return reportFailure(io.err, "read", name, failureReason(&buffer));
    std::istream in(&buffer);
    return runBatch({in, name}, io.out, io.err);
}

ExitStatus printJetChart(const CalculationOptions& options, const InputTexts& inputs,
                         CommandStreams& io) {
    const auto chart = raceday::jetChart(
        std::get<raceday::JetRange>(raceday::parseJetRange(options.chartRange)), inputs);
    io.out << (options.csv ? raceday::jetChartCsv(chart) : jetChartTable(chart));
    const auto faulted = raceday::faultedRowsSummary(chart);
    if (!faulted) return ExitStatus::Success;
    io.err << programName << ": " << *faulted << '\n';
    return ExitStatus::ArithmeticFault;
}

ExitStatus printCalculation(const CalculationOptions& options, const InputTexts& inputs,
                            CommandStreams& io) {
    const auto outcome = calculate(inputs);
    if (options.json) io.out << outcomeJson(outcome) << '\n';
    if (const auto* fault = std::get_if<Fault>(&outcome)) {
        io.err << programName
               << ": the calculation ended in an arithmetic fault: " << faultName(*fault) << '\n';
        return ExitStatus::ArithmeticFault;
    }
    if (!options.json) io.out << calculationReport(inputs, std::get<ResultTexts>(outcome));
    return ExitStatus::Success;
}

ExitStatus runCalculation(CalculationOptions& options, CommandStreams& io) {
    if (options.tracks) return printTracks(options.numbered, io.out);
    if (options.batch->count() > 0) return runBatchCommand(options.batchFile, io);
    if (options.bottle->count() > 0) {
        const auto field = raceday::bottleFieldText(
            options.bottleTemperature, raceday::UnitSystem::Imperial, "--bottle-temperature");
        if (const auto* refusal = std::get_if<raceday::Refusal>(&field))
            return reportUsageError(io.err, refusal->message());
        const auto& text = std::get<raceday::BottleFieldText>(field);
        options.inputs.nbp = text.nbp;
        io.notes << "note: " << text.note << '\n';
    }
    const auto inputs = readInputs(options, io.notes);
    if (const auto* refusal = std::get_if<std::string>(&inputs)) {
        io.err << programName << ": " << *refusal << '\n';
        return ExitStatus::UsageError;
    }
    const auto& texts = std::get<InputTexts>(inputs);
    if (options.chart->count() > 0) return printJetChart(options, texts, io);
    return printCalculation(options, texts, io);
}

std::string withDefault(std::string_view description, std::string_view initialText) {
    return std::string(description) + " (default " + std::string(initialText) + ")";
}

// The seven inputs; gives the --track option.
CLI::Option* addInputOptions(CLI::App& app, CalculationOptions& options) {
    const InputTexts initial;
    const std::string group = "Inputs (a missing one keeps the window's initial text)";
    for (std::size_t i = 0; i < inputOptions.size(); ++i) {
        const auto& [name, text, description] = inputOptions[i];
        options.numbers[i] = app.add_option(std::string(name), options.inputs.*text,
                                            withDefault(description, initial.*text))
                                 ->group(group);
    }
    options.bottle = app.add_option("--bottle-temperature", options.bottleTemperature,
                                    "Bottle temperature (F, C or K, a bare number in F): the "
                                    "bottle pressure from the nitrous vapour-pressure curve, "
                                    "in whole psi gauge")
                         ->type_name("TEMP")
                         ->excludes(options.numbers[2])  // --bottle-pressure
                         ->group(group);
    return app
        .add_option("--track", options.inputs.altitudeDD,
                    "Strip: number, entry or name start (default none)")
        ->transform(CLI::Validator(toTrackEntry, "", "track"))
        ->type_name("TRACK")
        ->group(group);
}

// The ways to print, and which options go together.
void addOutputOptions(CLI::App& app, CalculationOptions& options, CLI::Option* track) {
    const std::string group = "Output (the default is a report)";
    auto* json =
        app.add_flag("--json", options.json, "Print the results as one JSON object")->group(group);
    options.batch = app.add_option("--batch", options.batchFile,
                                   "Answer JSON Lines from FILE or - (standard input)")
                        ->expected(0, 1)
                        ->type_name("[FILE]")
                        ->group(group);
    auto* tracks =
        app.add_flag("--tracks", options.tracks, "Print the track list, one entry a line")
            ->group(group);
    app.add_flag("--numbered", options.numbered, "With --tracks: number the entries")
        ->needs(tracks)
        ->group(group);
    options.chart = app.add_option("--jet-chart", options.chartRange,
                                   "Chart nitrous jets in inches, 3 decimals at most")
                        ->check(CLI::Validator(checkJetRangeText, "", "jet range"))
                        ->type_name("FROM:TO:STEP")
                        ->group(group);
    app.add_flag("--csv", options.csv, "With --jet-chart: CSV with a header row")
        ->needs(options.chart)
        ->group(group);
    auto* decimalComma =
        app.add_flag("--decimal-comma", options.decimalComma,
                     "Read a comma as the web app does: the jet's decimal point, else refused")
            ->group(group);
    decimalComma->excludes(options.batch)->excludes(tracks);

    json->excludes(options.batch)->excludes(tracks)->excludes(options.chart);
    options.batch->excludes(tracks)->excludes(options.chart);
    tracks->excludes(options.chart);
    for (auto* input : options.numbers) {
        options.batch->excludes(input);
        tracks->excludes(input);
    }
    options.batch->excludes(track)->excludes(options.bottle);
    tracks->excludes(track)->excludes(options.bottle);
    options.chart->excludes(options.numbers.front());
}

}  // namespace

void addCalculationCommands(CommandLine& commandLine) {
    auto options = std::make_shared<CalculationOptions>();
    auto* track = addInputOptions(commandLine.app(), *options);
    addOutputOptions(commandLine.app(), *options, track);
    commandLine.addHelpText(helpText);
    commandLine.setRun(commandLine.app(),
                       [options](CommandStreams& io) { return runCalculation(*options, io); });
}

}  // namespace moravik::cli
