#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/app.h>
#include <moravik/cli/output.h>
#include <moravik/tracks.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace moravik::cli {
namespace {

struct Run {
    int exitCode;
    std::string out;
    std::string err;
};

Run run(std::vector<std::string> arguments, const std::string& input = {}) {
    arguments.insert(arguments.begin(), "moravik-calc");
    std::vector<const char*> args;
    for (const auto& argument : arguments) args.push_back(argument.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = runCalc(args, in, out, err);
    return {exitCode, out.str(), err.str()};
}

struct OptionCase {
    std::string option;
    std::string value;
    std::string InputTexts::*field;
};

TEST(RunCalc, EachInputOptionSetsItsField) {
    const std::vector<OptionCase> cases{
        {"--nitrous-jet", ".045", &InputTexts::njt},
        {"--fuel-pressure", "10", &InputTexts::flp},
        {"--bottle-pressure", "2000", &InputTexts::nbp},
        {"--nozzles", "4", &InputTexts::jtn},
        {"--hp", "300", &InputTexts::draghp},
        {"--weight", "3000", &InputTexts::vweight},
        {"--track", "Denver, CO  5800", &InputTexts::altitudeDD},
    };
    for (const auto& [option, value, field] : cases) {
        InputTexts inputs;
        inputs.*field = value;
        const auto result = run({"--json", option, value});
        EXPECT_EQ(result.exitCode, exitSuccess) << option << result.err;
        EXPECT_EQ(result.out, outcomeJson(calculate(inputs)) + "\n") << option;
        EXPECT_NE(result.out, outcomeJson(calculate({})) + "\n") << option;
        EXPECT_EQ(run({"--json", option + "=" + value}).out, result.out) << option;
    }
}

TEST(RunCalc, WithoutArgumentsPrintsTheReportOfTheInitialTexts) {
    const auto expected = calculationReport({}, std::get<ResultTexts>(calculate({})));
    EXPECT_EQ(run({}).out, expected);
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    EXPECT_EQ(runCalc({}, in, out, err), exitSuccess);  // no program name at all
    EXPECT_EQ(out.str(), expected);
}

TEST(RunCalc, ArithmeticFaultsExitWithOneAndNameTheKind) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--fuel-pressure", "0"}, "division by zero"},
        {{"--fuel-pressure", ""}, "division by zero"},
        {{"--nozzles", "40000"}, "overflow"},
        {{"--bottle-pressure", "-900"}, "invalid argument"},
        {{"--hp=-5"}, "invalid argument"},
    };
    for (const auto& [arguments, kind] : cases) {
        const auto report = run(arguments);
        EXPECT_EQ(report.exitCode, exitArithmeticFault) << arguments[0];
        EXPECT_EQ(report.out, "");
        EXPECT_NE(report.err.find(kind), std::string::npos) << report.err;
        auto jsonArguments = arguments;
        jsonArguments.push_back("--json");
        const auto json = run(jsonArguments);
        EXPECT_EQ(json.exitCode, exitArithmeticFault);
        EXPECT_EQ(json.out, R"({"fault":")" + kind + "\"}\n");
        EXPECT_NE(json.err.find(kind), std::string::npos) << json.err;
    }
}

TEST(RunCalc, UsageErrorsExitWithTwoAndSayWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--bogus"}, "--bogus"},
        {{"extra"}, "extra"},
        {{"--hp"}, "--hp"},
        {{"--hp", "1", "--hp", "2"}, "--hp"},
        {{"--csv"}, "--jet-chart"},
        {{"--batch", "--hp", "3"}, "--batch"},
        {{"--json", "--tracks"}, "--tracks"},
        {{"--jet-chart", "0:0.1:0.01", "--nitrous-jet", ".03"}, "--nitrous-jet"},
        {{"--jet-chart", "0:1:0"}, "STEP must be greater than 0"},
        {{"--jet-chart", "0.0005:1:1"}, "at most three decimals"},
        {{"--track", "Denver, CO 5800"}, "not an entry of the track list"},
    };
    for (const auto& [arguments, reason] : cases) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, exitUsageError) << arguments[0];
        EXPECT_EQ(result.out, "") << arguments[0];
        EXPECT_TRUE(result.err.starts_with("moravik-calc: ")) << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    }
}

TEST(RunCalc, TracksPrintsEveryEntryOnItsOwnLine) {
    const auto result = run({"--tracks"});
    EXPECT_EQ(result.exitCode, exitSuccess);
    std::istringstream lines(result.out);
    std::vector<std::string> printed;
    for (std::string line; std::getline(lines, line);) printed.push_back(line);
    ASSERT_EQ(printed.size(), trackEntryCount);
    EXPECT_EQ(printed[1], "DIVISION 4");
    EXPECT_EQ(printed[5], "DIVISION 5  ");
    EXPECT_EQ(printed[30], "Stock & Super Stock  ");
    EXPECT_EQ(printed[58], "Tucson, AZ  3000");
}

TEST(RunCalc, BatchReadsStandardInputAndExitsTwoOnAnInvalidLine) {
    const auto valid = run({"--batch"}, "{}\n\n{\"flp\":\"0\"}\n");
    EXPECT_EQ(valid.exitCode, exitSuccess);
    EXPECT_EQ(valid.out, outcomeJson(calculate({})) + "\n{\"fault\":\"division by zero\"}\n");
    const auto invalid = run({"--batch"}, "{}\n[]\n{}\n");
    EXPECT_EQ(invalid.exitCode, exitUsageError);
    EXPECT_NE(invalid.out.find("line 2: expected a JSON object"), std::string::npos);
}

TEST(RunCalc, JetChartWithFaultingRowsPrintsThemAndExitsWithOne) {
    const auto result = run({"--jet-chart", "0:0.05:0.025", "--nozzles", "-1", "--csv"});
    EXPECT_EQ(result.exitCode, exitArithmeticFault);
    EXPECT_NE(result.out.find("0.05,,,,,,,,invalid argument"), std::string::npos);
    EXPECT_NE(result.err.find("2 of 3 rows"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("invalid argument"), std::string::npos) << result.err;
    EXPECT_EQ(run({"--jet-chart", "0:0.05:0.025"}).exitCode, exitSuccess);
}

TEST(RunCalc, HelpListsEveryOptionWithAnExampleAndVersionNamesTheProgram) {
    const auto help = run({"--help"});
    EXPECT_EQ(help.exitCode, exitSuccess);
    const auto examples = help.out.substr(help.out.find("Examples:"));
    for (const std::string option :
         {"--nitrous-jet", "--fuel-pressure", "--bottle-pressure", "--nozzles", "--hp", "--weight",
          "--track", "--json", "--batch", "--tracks", "--jet-chart", "--csv", "--version"}) {
        EXPECT_TRUE(std::regex_search(help.out, std::regex("\n  " + option + "[ \n]"))) << option;
        EXPECT_TRUE(std::regex_search(examples, std::regex(option + "( |$|\n)"))) << option;
    }
    const auto version = run({"--version"});
    EXPECT_EQ(version.exitCode, exitSuccess);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("moravik-calc [0-9]+\\.[0-9]+.*\n")));
}

}  // namespace
}  // namespace moravik::cli
