// The Calculate pass: seven input texts in, 31 result texts out.
//
// The pipeline runs in one direction and keeps nothing between passes:
//   input texts -> number reading (number_reading.h) -> nitrous horsepower and
//   fuel jet (nitrous.h) -> quarter-mile estimates (quarter_mile.h) -> track
//   correction (tracks.h) -> Holley jet number (holley_jets.h) -> result
//   formatting (result_format.h) -> 31 texts in the writing order.
// Every step is IEEE double arithmetic, one operation at a time, in a fixed
// order, because the result texts show up to 15 significant digits. A step that
// would divide by zero, overflow or take a root of a negative number ends the
// pass with a fault, and then no text at all is produced.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "moravik/fault.h"
#include "moravik/result_layout.h"
#include "moravik/result_text.h"

namespace moravik {

// The texts of the seven input fields. Members keep the names of the window's
// controls, which are also the --batch keys. Defaults are the texts the main
// window starts with.
struct InputTexts {
    std::string njt = ".030";
    std::string flp = "43";
    std::string nbp = "900";
    std::string jtn = "1";
    std::string draghp = "210";
    std::string vweight = "2562";
    std::string altitudeDD;  // the chosen track entry; empty while none is chosen
};

struct InputField {
    std::string_view name;
    std::string InputTexts::*text;
};

// The input fields by name, in the order the pass reads them, the track last.
inline constexpr std::array<InputField, 7> inputFields{{
    {"njt", &InputTexts::njt},
    {"flp", &InputTexts::flp},
    {"nbp", &InputTexts::nbp},
    {"jtn", &InputTexts::jtn},
    {"draghp", &InputTexts::draghp},
    {"vweight", &InputTexts::vweight},
    {"altitudeDD", &InputTexts::altitudeDD},
}};

// The 31 result texts in the writing order; index them with resultIndex().
using ResultTexts = std::array<ResultText, resultFieldCount>;

// Either all 31 texts or the fault that ended the pass, never both.
using CalculationOutcome = std::variant<ResultTexts, Fault>;

CalculationOutcome calculate(const InputTexts& inputs);

}  // namespace moravik
