// Runs moravik-calc in this process, its standard streams in strings, command lines as typed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "moravik/cli/app.h"
#include "moravik/cli/exit_status.h"

namespace moravik::cli {

struct Run {
    ExitStatus status;
    std::string out;
    std::string err;
};

// How standard output behaves: as a file, a terminal, or a full disk refusing every write.
enum class Output { File, Terminal, Failing };

inline Run run(std::vector<std::string> arguments, const std::string& input = {},
               Output output = Output::File) {
    arguments.insert(arguments.begin(), "moravik-calc");
    std::vector<const char*> args;
    for (const auto& argument : arguments) args.push_back(argument.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    if (output == Output::Failing) out.setstate(std::ios::badbit);
    const int status = runCalc(args, in, out, err, output == Output::Terminal);
    return {static_cast<ExitStatus>(status), out.str(), err.str()};
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Columns of the widest line, counting a UTF-8 sequence as one.
inline std::size_t widestLine(const std::string& text) {
    std::size_t widest = 0, columns = 0;
    for (const char c : text) {
        if (c == '\n')
            columns = 0;
        else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            widest = std::max(widest, ++columns);
    }
    return widest;
}

// Whether a terminal would act on some of the text: a C0 control but the line feed, or a C1.
inline bool hasControlCharacter(const std::string& text) {
    const auto at = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = at(i);
        if ((byte < 0x20 && byte != '\n') || byte == 0x7f ||
            (byte == 0xc2 && at(i + 1) >= 0x80 && at(i + 1) < 0xa0))
            return true;
        // U+202A to U+202E and U+2066 to U+2069, which reorder what follows.
        if (byte == 0xe2 && ((at(i + 1) == 0x80 && at(i + 2) >= 0xaa && at(i + 2) <= 0xae) ||
                             (at(i + 1) == 0x81 && at(i + 2) >= 0xa6 && at(i + 2) <= 0xa9)))
            return true;
    }
    return false;
}

// A command line's words as a shell splits them: at blanks, but not within '...'.
inline std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> words;
    bool quoted = false, inWord = false;
    for (const char c : line) {
        if (c == '\'') {
            quoted = !quoted;
            if (!inWord) words.emplace_back();
            inWord = true;
        } else if (c == ' ' && !quoted) {
            inWord = false;
        } else {
            if (!inWord) words.emplace_back();
            inWord = true;
            words.back() += c;
        }
    }
    return words;
}

inline Run run(std::string_view line, const std::string& input = {}) {
    return run(words(line), input);
}

}  // namespace moravik::cli
