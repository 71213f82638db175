// pow and cbrt that give the same double on every processor and compiler.
// The C library's pow picks an FMA variant by processor, which moved the 15th
// digit of some results between machines.
#pragma once

namespace moravik::portable {

// The correctly rounded power, except when the exact power lies within about
// 2^-100 of a halfway point between doubles, and for results below 2^-1022
// (rounded twice). Special values follow std::pow.
double pow(double base, double exponent);

// The correctly rounded cube root, with the same exceptions as pow.
double cbrt(double x);

}  // namespace moravik::portable
