#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "moravik/cli/batch.h"

namespace moravik::cli {
namespace {

using namespace std::string_literals;

TEST(BatchLine, HugeOrStrangeLinesGiveOneShortLine) {
    const std::string known =
        " (known: njt, flp, nbp, jtn, draghp, vweight, altitudeDD, bottle_temperature)";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"{\"njt\":\"1\"}\0{\"flp\":\"0\"}"s, R"(line 2: contains a NUL byte)"},
        {"{\"njt\":\"\xff\"}", R"(line 2: not valid JSON (at byte 9))"},
        {std::string(10'000'000, '7'), R"(line 2: not valid JSON (at byte 10000000))"},
        {std::string(10'000'000, '['), R"(line 2: expected a JSON object, found an array)"},
        {std::string(10'000'000, '{'), R"(line 2: not valid JSON (at byte 2))"},
        {R"({")" + std::string(1'000'000, 'k') + R"(":"1"})",
         R"(line 2: unknown key \")" + std::string(40, 'k') + R"(...\")" + known},
        // A long key is cut before the two-byte character that straddles the limit.
        {R"({")" + std::string(39, 'x') + "\xc3\xa9" + R"(":"1"})",
         R"(line 2: unknown key \")" + std::string(39, 'x') + R"(...\")" + known},
    };
    for (const auto& [line, error] : cases) {
        const auto output = batchLine(line, 2);
        ASSERT_TRUE(output.has_value()) << error;
        EXPECT_EQ(output->status, ExitStatus::UsageError) << error;
        EXPECT_EQ(output->json, R"({"error":")" + error + "\"}");
    }
    const auto hugeJet = batchLine(R"({"njt":")" + std::string(10'000'000, '9') + R"("})", 2);
    EXPECT_EQ(hugeJet.value().json, R"({"fault":"overflow"})");
}

TEST(RunBatch, ALineBeyondTheCapGetsAnErrorOfItsOwnAndTheRunGoesOn) {
    // Blanks inside a number text are skipped, so both long lines read as .118.
    const auto line = [](std::size_t blanks) {
        return R"({"njt":")" + std::string(blanks, ' ') + R"(.118"})";
    };
    const std::size_t blanksAtCap = maxBatchLineLength - line(0).size();
    std::istringstream in(line(blanksAtCap) + "\n" + line(blanksAtCap + 1) + "\n{}");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runBatch({in, "standard input"}, out, err), ExitStatus::UsageError);
    EXPECT_EQ(out.str(), batchLine(R"({"njt":".118"})", 1)->json +
                             "\n{\"error\":\"line 2: longer than 1048576 bytes, the limit of a "
                             "line\"}\n" +
                             batchLine("{}", 3)->json + "\n");
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace moravik::cli
