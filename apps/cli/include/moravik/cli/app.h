// moravik-calc: the Calculate pass on the command line, without any window.
//
// The program turns options into the seven input texts, runs moravik::calculate
// and prints the 31 result texts: as a report laid out like the main window
// (output.h), as one JSON object (output.h), line by line for JSON Lines
// (batch.h), or as a chart over a range of nitrous jets (jet_chart.h). Every
// number a user sees is a result text of the engine, written exactly as the
// window would show it. Nothing is reported as success unless all of standard
// output was written (exit_status.h).
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace moravik::cli {

inline constexpr std::string_view programName = "moravik-calc";

// Runs moravik-calc with its arguments (args[0] is the program name) and returns
// the exit status. Standard input is read only by --batch. `outputIsTerminal`:
// out is shown on a terminal, so text that is written byte for byte to a file
// has its control characters escaped there.
int runCalc(std::span<const char* const> args, std::istream& in, std::ostream& out,
            std::ostream& err, bool outputIsTerminal = false);

// runCalc on the process's standard input, output and error.
int runCalcOnStandardStreams(std::span<const char* const> args);

}  // namespace moravik::cli
