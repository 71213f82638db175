// Writing result values as the texts of the result boxes.
#pragma once

#include <cstdint>

#include "moravik/result_text.h"

namespace moravik {

// Up to 15 significant digits; a minus sign or one blank in front; no zero
// before the point of a magnitude below 1; no trailing zeros. Magnitudes from
// 0.001 up to 1E15 are written in plain notation, others as " 1.5E+15".
ResultText formatResult(double value);

ResultText formatResult(std::int16_t value);

}  // namespace moravik
