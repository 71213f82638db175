// A golden transcript of moravik-calc: each "$ LINE" is run and followed by its whole answer:
// standard output, each line of standard error after "2> ", then "exit N" unless N is 0.
// "#" lines are kept. MORAVIK_UPDATE_GOLDEN=1 rewrites the file from the answers (read the diff).
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "run_calc.h"

namespace moravik::cli {

// Every answer must also hold nothing a terminal acts on.
template <typename Runner>
void expectTranscript(const std::string& path, const Runner& runner) {
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    const std::string expected{std::istreambuf_iterator<char>(file), {}};
    std::string actual;
    bool answered = false;
    for (const auto& line : linesOf(expected)) {
        if (line.starts_with("#")) actual += (answered ? "\n" : "") + line + '\n';
        answered = answered && !line.starts_with("#");
        if (!line.starts_with("$ ")) continue;
        answered = true;
        const Run answer = runner(line.substr(2));
        EXPECT_TRUE(answer.out.empty() || answer.out.ends_with('\n')) << line;
        EXPECT_FALSE(hasControlCharacter(answer.out + answer.err)) << line;
        actual += line + '\n' + answer.out;
        for (const auto& said : linesOf(answer.err)) actual += "2> " + said + '\n';
        if (answer.status != ExitStatus::Success)
            actual += "exit " + std::to_string(static_cast<int>(answer.status)) + '\n';
    }
    if (std::getenv("MORAVIK_UPDATE_GOLDEN")) std::ofstream(path, std::ios::binary) << actual;
    EXPECT_EQ(actual, expected);
}

}  // namespace moravik::cli
