#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "run_calc.h"

namespace moravik::cli {
namespace {

// Each option sets its own field: a text that only that field changes, from the reference
// (`python3 tests/reference/moravik_reference.py flp=10`). The golden report_denver.txt sets the
// other five options; engine.reference checks the batch keys.
TEST(RunCalc, EachOptionSetsItsInputField) {
    const struct {
        const char *option, *value, *field, *text;
    } table[] = {
        {"--fuel-pressure", "10", "TextBox1", " .024"},
        {"--bottle-pressure", "2000", "TextBox1", " .02"},
    };
    for (const auto& [option, value, field, text] : table) {
        const auto result = run(std::vector<std::string>{"--json", option, value});
        EXPECT_EQ(result.status, ExitStatus::Success) << option << result.err;
        EXPECT_EQ(nlohmann::json::parse(result.out)["fields"][field], text) << option;
    }
}

TEST(RunCalc, ArithmeticFaultsExitWithOneAndNameTheKind) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"--fuel-pressure=0", "division by zero"},
        {"--nozzles=40000", "overflow"},
        {"--bottle-pressure=-900", "invalid argument"},
    };
    for (const auto& [argument, kind] : cases) {
        const auto report = run(argument);
        EXPECT_EQ(report.status, ExitStatus::ArithmeticFault) << argument;
        EXPECT_EQ(report.out, "") << argument;
        EXPECT_TRUE(contains(report.err, kind)) << report.err;
        const auto json = run(argument + " --json");
        EXPECT_EQ(json.status, ExitStatus::ArithmeticFault) << argument;
        EXPECT_EQ(json.out, R"({"fault":")" + kind + "\"}\n") << argument;
    }
}

TEST(RunCalc, AJetChartShowsFaultingRowsInPlaceAndExitsWithOne) {
    // With -1 nozzles every jet but 0 ends in an invalid argument.
    const auto csv = run("--jet-chart=0:0.05:0.025 --nozzles=-1 --csv");
    EXPECT_EQ(csv.status, ExitStatus::ArithmeticFault);
    EXPECT_TRUE(
        contains(csv.out, "\n0.025,,,,,,,,invalid argument\n0.05,,,,,,,,invalid argument\n"))
        << csv.out;
    EXPECT_TRUE(contains(csv.err,
                         "2 of 3 rows ended in an arithmetic fault; the first was invalid "
                         "argument"))
        << csv.err;
    const auto table = run("--jet-chart=0:0.05:0.025 --nozzles=-1");
    EXPECT_EQ(table.status, ExitStatus::ArithmeticFault);
    EXPECT_TRUE(contains(table.out, "\n      0.025  fault: invalid argument\n")) << table.out;
}

TEST(RunCalc, BatchReadsAFileOrStandardInput) {
    const std::string input = "{\"jtn\":\"2\"}\n{\"flp\":\"0\"}\n";
    const auto path = testing::TempDir() + "batch_file_input.jsonl";
    std::ofstream(path) << input;
    const auto fromStandardInput = run("--batch", input);
    EXPECT_EQ(fromStandardInput.status, ExitStatus::ArithmeticFault);
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--batch", path}, {"--batch=" + path}, {"--batch", "-"}}) {
        const auto result = run(arguments, input);
        EXPECT_EQ(result.status, fromStandardInput.status) << arguments.back();
        EXPECT_EQ(result.out, fromStandardInput.out) << arguments.back();
    }
}

TEST(RunCalc, UsageErrorsExitWithTwoAndSayPlainlyWhatIsWrong) {
    const auto usage = ExitStatus::UsageError;
    expectEach({
        {"--HP 300 x", usage,
         "moravik-calc: --HP, 300, x are not arguments of moravik-calc, which takes the options "
         "its --help lists (did you mean --hp?)\n"},
        {"extra", usage, "extra is not an argument of moravik-calc, which takes the options"},
        {"--hp", usage, "--hp needs a value"},
        {"--hp 1 --hp 2", usage, "--hp is given 2 times; give it once"},
        {"--csv", usage, "--csv needs --jet-chart"},
        {"--numbered", usage, "--numbered needs --tracks"},
        {"--batch --hp 3", usage, "--hp and --batch cannot be used together"},
        {"--json --tracks", usage, "--json and --tracks cannot be used together"},
        {"--jet-chart=0:0.1:0.01 --nitrous-jet .03", usage,
         "--nitrous-jet and --jet-chart cannot be used together"},
        {"--jet-chart=0:1", usage, "expected FROM:TO:STEP"},
        {"--jet-chart=0:1:0.1:2", usage, R"("0.1:2" is not a jet size)"},
        {"--jet-chart=-1:0:1", usage, R"("-1" is not a jet size)"},
        {"--jet-chart=1e3:2000:1", usage, R"("1e3" is not a jet size)"},
        {"--jet-chart=0.0001:1:1", usage, R"("0.0001" is not a jet size)"},
        {"--jet-chart=1234567:1234568:1", usage, R"("1234567" is not a jet size)"},
        {"--jet-chart=0:1:0.000", usage, "STEP must be greater than 0"},
        {"--jet-chart=1:0:0.1", usage, "TO must not be less than FROM"},
        {"--jet-chart=0:10:0.001", usage, "10001 rows"},
        {"--track d", usage,
         R"(--track: "d" names several strips: "Denver, CO  5800", "Douglas, WY  4900")"},
        {"--track denvr", usage,
         R"(is no track entry, entry number or strip name; near matches: "Denver, CO  5800";)"},
        {"--track 60", usage,
         R"(--track: "60" is no track entry, entry number or strip name; see )"},
        {"--track 'Denver, CO 5900'", usage, R"(near matches: "Denver, CO  5800")"},
        // Only the nitrous jet reads a decimal comma.
        {"--weight 3,200 --decimal-comma", usage,
         R"(--weight "3,200" has a comma, which only the nitrous jet reads: write 3200, or 3.200 )"},
        {"--fuel-pressure 4,3,0 --decimal-comma", usage,
         R"(--fuel-pressure "4,3,0" has a comma, which only the )"},
        {"--nozzles 2, --jet-chart=0:0.01:0.01 --decimal-comma", usage,
         R"(--nozzles "2," has a comma)"},
    });
}

TEST(RunCalc, TrackIsChosenByEntryTextNumberOrStripName) {
    for (const auto& [text, entry] : std::vector<std::pair<std::string, std::string>>{
             {"'Denver, CO  5800'", "Denver, CO  5800"},
             {"7", "Denver, CO  5800"},
             {"37", "Denver, CO  5800"},
             {"'denver, co 5800'", "Denver, CO  5800"},
             {"' DENVER\t'", "Denver, CO  5800"},
             {"'grand junction'", "Grand Junction, CO  4800"},
             {"amarillo", "Amarillo, TX  3700"},  // listed under both group headings
             {"Medic.hat", "Medic.Hat, CAN  2300"}}) {
        const auto result = run("--track " + text);
        EXPECT_EQ(result.status, ExitStatus::Success) << text << result.err;
        EXPECT_TRUE(contains(result.out, "\n  Altitude:                  " + entry + "\n")) << text;
        EXPECT_EQ(result.err, "") << text;
    }
    // The numbered list gives the numbers that --track takes.
    const auto lines = linesOf(run("--tracks --numbered").out);
    ASSERT_EQ(lines.size(), 59u);
    EXPECT_EQ(lines[0], " 1  Comp, S/C, S/G, S/ST");
    EXPECT_EQ(lines[6], " 7  Denver, CO  5800");
    EXPECT_EQ(lines[58], "59  Tucson, AZ  3000");
}

TEST(RunCalc, NotesSayWhereReadingStoppedAndChangeNoOutput) {
    const struct {
        const char *partly, *fully, *note;
    } table[] = {
        {"--weight 3,200", "--weight 3", R"(--weight "3,200" is read as 3 (reading stops at ","))"},
        {"--hp '350 hp'", "--hp 350", R"(--hp "350 hp" is read as 350 (reading stops at "h"))"},
        {"--fuel-pressure 43e", "--fuel-pressure 43",
         R"(--fuel-pressure "43e" is read as 43 (reading stops at "e"))"},
        {"--hp 350\x1b[2J", "--hp 350",
         R"(--hp "350\x1b[2J" is read as 350 (reading stops at "\x1b"))"},
        {"--nozzles \xc3\xa9"
         "2",
         "--nozzles 0", R"(--nozzles "é2" is read as 0 (reading stops at "é"))"},
        {"--track 1", "--track ''",
         R"(--track "Comp, S/C, S/G, S/ST" is a heading, not a strip: the altitude values stay 0)"},
        {"--track 5", "--track ''",
         R"(--track "------------------" is a separator line, not a strip: the altitude values stay 0)"},
    };
    for (const auto& [partly, fully, note] : table) {
        for (const std::string output : {"--json ", "--jet-chart=0:0.01:0.01 "}) {
            const auto noted = run(output + partly);
            EXPECT_EQ(noted.err, "note: " + std::string(note) + "\n");
            EXPECT_EQ(noted.out, run(output + fully).out) << note;
            EXPECT_EQ(run(output + "--quiet " + partly).err, "") << note;
        }
    }
    EXPECT_EQ(run("--bottle-pressure ' 9 00 ' --nozzles &H1").err, "");
}

TEST(RunCalc, DecimalCommaIsTheJetsDecimalPoint) {
    const auto jet = run("--decimal-comma --json --nitrous-jet 0,045");
    EXPECT_EQ(jet.out, run("--json --nitrous-jet .045").out);
    EXPECT_EQ(jet.err,
              "note: --nitrous-jet \"0,045\" is read as 0.045 (the comma as the decimal point)\n");
}

TEST(RunCalc, TheReportFitsEightyColumnsAndShowsEveryResultText) {
    // The last two give texts in exponent form, the longest there are.
    for (const std::string arguments : {"", "--nitrous-jet .118 --nozzles 2 --track Denver",
                                        "--hp 1e-30 --weight 1e20 --nitrous-jet 0 --track tucson",
                                        "--hp 1e20 --weight 1e-10 --track 1"}) {
        const auto report = run(arguments);
        ASSERT_EQ(report.status, ExitStatus::Success) << report.err;
        std::vector<std::string> words;
        for (const auto& line : linesOf(report.out)) {
            EXPECT_LE(line.size(), 80u) << line;
            std::istringstream lineWords(line);
            for (std::string word; lineWords >> word;) words.push_back(word);
        }
        const auto fields = nlohmann::json::parse(run(arguments + " --json").out).at("fields");
        for (const auto& [name, text] : fields.items()) {
            const auto shown = text.get<std::string>().substr(1);  // without the sign blank
            EXPECT_NE(std::ranges::find(words, shown), words.end()) << name << " " << shown;
        }
    }
}

TEST(RunCalc, TheReportShowsControlCharactersEscaped) {
    const auto report = run(std::vector<std::string>{"--hp", "350\n\x1b[2J\\", "--track", "7"});
    EXPECT_TRUE(contains(report.out, "\n  HP:                        350\\n\\x1b[2J\\\\\n"))
        << report.out;
    EXPECT_FALSE(contains(report.out, "\x1b"));
    EXPECT_EQ(linesOf(report.out).size(), linesOf(run("--track 7").out).size());
}

}  // namespace
}  // namespace moravik::cli
