#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "transcript.h"

namespace moravik::cli {
namespace {

// Each option sets its own field; texts from `python3 tests/reference/moravik_reference.py flp=10`
// (report_denver.txt sets the other five options).
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

// Each refusal and arithmetic fault, the race-day subcommands' too, said whole with its exit
// status.
TEST(RunCalc, RefusalsAndFaultsSayWhatIsWrong) {
    expectTranscript(MORAVIK_GOLDEN "/refusals.txt",
                     [](const std::string& line) { return run(std::string_view(line)); });
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
