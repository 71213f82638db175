// Runs moravik-calc in this process, with its standard streams in strings.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "moravik/cli/app.h"
#include "moravik/cli/exit_status.h"

namespace moravik::cli {

struct Run {
    ExitStatus status;
    std::string out;
    std::string err;
};

inline Run run(std::vector<std::string> arguments, const std::string& input = {}) {
    arguments.insert(arguments.begin(), "moravik-calc");
    std::vector<const char*> args;
    for (const auto& argument : arguments) args.push_back(argument.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCalc(args, in, out, err);
    return {static_cast<ExitStatus>(status), out.str(), err.str()};
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace moravik::cli
