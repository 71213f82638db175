// Standard jet size to Holley jet number.
#pragma once

#include <cstdint>

namespace moravik {

// The Holley number of a jet size in inches (a whole number of thousandths),
// or 0 below the smallest jet of the table.
std::int16_t holleyJetNumber(double standardJetSize);

}  // namespace moravik
