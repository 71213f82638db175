#include <gtest/gtest.h>
#include <moravik/calculate.h>
#include <moravik/cli/app.h>
#include <moravik/cli/batch.h>
#include <moravik/cli/output.h>

#include <nlohmann/json.hpp>
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

Run run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "moravik-calc");
    std::vector<const char*> args;
    for (const auto& argument : arguments) args.push_back(argument.c_str());
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = runCalc(args, in, out, err);
    return {exitCode, out.str(), err.str()};
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(RunCalc, EachOptionAndBatchKeySetsItsInputField) {
    struct Case {
        std::string option, key, value;
        std::string InputTexts::*field;
    };
    const std::vector<Case> cases{
        {"--nitrous-jet", "njt", ".045", &InputTexts::njt},
        {"--fuel-pressure", "flp", "10", &InputTexts::flp},
        {"--bottle-pressure", "nbp", "2000", &InputTexts::nbp},
        {"--nozzles", "jtn", "4", &InputTexts::jtn},
        {"--hp", "draghp", "300", &InputTexts::draghp},
        {"--weight", "vweight", "3000", &InputTexts::vweight},
        {"--track", "altitudeDD", "Denver, CO  5800", &InputTexts::altitudeDD},
    };
    const auto defaults = outcomeJson(calculate({}));
    for (const auto& [option, key, value, field] : cases) {
        InputTexts inputs;  // every other field keeps the window's initial text
        inputs.*field = value;
        const auto expected = outcomeJson(calculate(inputs));
        ASSERT_NE(expected, defaults) << option;
        const auto result = run({"--json", option, value});
        EXPECT_EQ(result.exitCode, exitSuccess) << option << result.err;
        EXPECT_EQ(result.out, expected + "\n") << option;
        const auto line = batchLine(nlohmann::json{{key, value}}.dump(), 1);
        ASSERT_TRUE(line && line->valid) << key;
        EXPECT_EQ(line->json, expected) << key;
    }
}

TEST(RunCalc, ArithmeticFaultsExitWithOneAndNameTheKind) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"--fuel-pressure=0", "division by zero"},
        {"--nozzles=40000", "overflow"},
        {"--bottle-pressure=-900", "invalid argument"},
    };
    for (const auto& [argument, kind] : cases) {
        const auto report = run({argument});
        EXPECT_EQ(report.exitCode, exitArithmeticFault) << argument;
        EXPECT_EQ(report.out, "") << argument;
        EXPECT_TRUE(contains(report.err, kind)) << report.err;
        const auto json = run({argument, "--json"});
        EXPECT_EQ(json.exitCode, exitArithmeticFault) << argument;
        EXPECT_EQ(json.out, R"({"fault":")" + kind + "\"}\n") << argument;
    }
}

TEST(RunCalc, AJetChartShowsFaultingRowsInPlaceAndExitsWithOne) {
    // With -1 nozzles every jet but 0 ends in an invalid argument.
    const auto csv = run({"--jet-chart=0:0.05:0.025", "--nozzles=-1", "--csv"});
    EXPECT_EQ(csv.exitCode, exitArithmeticFault);
    EXPECT_TRUE(
        contains(csv.out, "\n0.025,,,,,,,,invalid argument\n0.05,,,,,,,,invalid argument\n"))
        << csv.out;
    EXPECT_TRUE(contains(csv.err,
                         "2 of 3 rows ended in an arithmetic fault; the first was invalid "
                         "argument"))
        << csv.err;
    const auto table = run({"--jet-chart=0:0.05:0.025", "--nozzles=-1"});
    EXPECT_EQ(table.exitCode, exitArithmeticFault);
    EXPECT_TRUE(contains(table.out, "\n      0.025  fault: invalid argument\n")) << table.out;
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
        {{"--jet-chart=0:0.1:0.01", "--nitrous-jet", ".03"}, "--nitrous-jet"},
        {{"--track", "Denver, CO 5800"}, "not an entry of the track list"},
        {{"--jet-chart=0:1"}, "expected FROM:TO:STEP"},
        {{"--jet-chart=0:1:0.1:2"}, R"("0.1:2" is not a jet size)"},
        {{"--jet-chart=-1:0:1"}, R"("-1" is not a jet size)"},
        {{"--jet-chart=1e3:2000:1"}, R"("1e3" is not a jet size)"},
        {{"--jet-chart=0.0001:1:1"}, R"("0.0001" is not a jet size)"},
        {{"--jet-chart=1234567:1234568:1"}, R"("1234567" is not a jet size)"},
        {{"--jet-chart=0:1:0.000"}, "STEP must be greater than 0"},
        {{"--jet-chart=1:0:0.1"}, "TO must not be less than FROM"},
        {{"--jet-chart=0:10:0.001"}, "10001 rows"},
    };
    for (const auto& [arguments, reason] : cases) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, exitUsageError) << arguments[0];
        EXPECT_EQ(result.out, "") << arguments[0];
        EXPECT_TRUE(result.err.starts_with("moravik-calc: ")) << result.err;
        EXPECT_TRUE(contains(result.err, reason)) << result.err;
    }
}

TEST(RunCalc, HelpAndVersionSucceed) {
    for (const std::string flag : {"--help", "--version"}) {
        const auto result = run({flag});
        EXPECT_EQ(result.exitCode, exitSuccess) << flag;
        EXPECT_TRUE(contains(result.out, "moravik-calc")) << result.out;
    }
}

}  // namespace
}  // namespace moravik::cli
