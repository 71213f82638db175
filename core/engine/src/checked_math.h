// Double arithmetic that ends the Calculate pass with an ArithmeticFault where
// a step is impossible, instead of producing an infinity or a NaN.
#pragma once

#include <cmath>

#include "moravik/fault.h"
#include "moravik/portable_math.h"

namespace moravik::checked {

[[noreturn]] inline void fail(Fault fault) { throw ArithmeticFault(fault); }

inline double finite(double result) {
    if (std::isinf(result)) fail(Fault::Overflow);
    return result;
}

inline double add(double a, double b) { return finite(a + b); }
inline double subtract(double a, double b) { return finite(a - b); }
inline double multiply(double a, double b) { return finite(a * b); }

// A zero divisor is a division by zero even when the dividend is zero too.
inline double divide(double a, double b) {
    if (b == 0) fail(Fault::DivisionByZero);
    return finite(a / b);
}

// -0 is not negative, so its root (-0) is no fault.
inline double squareRoot(double x) {
    if (x < 0) fail(Fault::InvalidArgument);
    return std::sqrt(x);
}

// Only fractional exponents are used, which have no real power of a
// negative base.
inline double power(double base, double exponent) {
    if (base < 0) fail(Fault::InvalidArgument);
    return finite(portable::pow(base, exponent));
}

}  // namespace moravik::checked
