// Built only from IEEE additions, multiplications and divisions in double-double
// arithmetic (compiled with -ffp-contract=off, so no fused multiply-add):
// log by the atanh series, exp by its Taylor series, each to about 2^-104.
#include "moravik/portable_math.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace moravik::portable {
namespace {

struct Dd {
    double hi;
    double lo;
};

constexpr Dd fastTwoSum(double a, double b) {  // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}

constexpr Dd twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// Veltkamp's split into two 26-bit halves; |a| stays far below 2^996 here.
constexpr Dd split(double a) {
    const double t = 134217729.0 * a;
    const double hi = t - (t - a);
    return {hi, a - hi};
}

constexpr Dd twoProduct(double a, double b) {
    const double p = a * b;
    const Dd x = split(a);
    const Dd y = split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

constexpr Dd add(Dd a, Dd b) {
    Dd s = twoSum(a.hi, b.hi);
    const Dd t = twoSum(a.lo, b.lo);
    s = fastTwoSum(s.hi, s.lo + t.hi);
    return fastTwoSum(s.hi, s.lo + t.lo);
}

constexpr Dd negate(Dd a) { return {-a.hi, -a.lo}; }

constexpr Dd multiply(Dd a, double b) {
    const Dd p = twoProduct(a.hi, b);
    return fastTwoSum(p.hi, p.lo + a.lo * b);
}

constexpr Dd multiply(Dd a, Dd b) {
    const Dd p = twoProduct(a.hi, b.hi);
    return fastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr Dd divide(Dd a, Dd b) {
    const double q1 = a.hi / b.hi;
    Dd r = add(a, negate(multiply(b, q1)));
    const double q2 = r.hi / b.hi;
    r = add(r, negate(multiply(b, q2)));
    return add(fastTwoSum(q1, q2), Dd{r.hi / b.hi, 0});
}

constexpr Dd ln2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};

// 1/(2n+1): log(m) = 2 atanh(s) = 2 s (1 + s^2/3 + s^4/5 + ...), s = (m-1)/(m+1).
// With m within [sqrt(1/2), sqrt(2)], s^2 <= 0.0295 and 23 terms reach 2^-110.
constexpr std::array<Dd, 23> atanhTerms = [] {
    std::array<Dd, 23> terms{};
    for (std::size_t n = 0; n < terms.size(); ++n) {
        terms[n] = divide(Dd{1, 0}, Dd{2.0 * static_cast<double>(n) + 1, 0});
    }
    return terms;
}();

// 1/n!: with |r| <= ln2/2, 25 terms reach 2^-110.
constexpr std::array<Dd, 25> expTerms = [] {
    std::array<Dd, 25> terms{};
    terms[0] = {1, 0};
    for (std::size_t n = 1; n < terms.size(); ++n) {
        terms[n] = divide(terms[n - 1], Dd{static_cast<double>(n), 0});
    }
    return terms;
}();

// The polynomial in x by Horner's rule: the terms from `doubleFrom` on fall
// below 2^-53 of the sum, so plain doubles carry them.
template <std::size_t n>
Dd series(const std::array<Dd, n>& terms, Dd x, std::size_t doubleFrom) {
    double tail = terms[n - 1].hi;
    for (std::size_t i = n - 1; i-- > doubleFrom;) tail = tail * x.hi + terms[i].hi;
    Dd sum{tail, 0};
    for (std::size_t i = doubleFrom; i-- > 0;) sum = add(multiply(sum, x), terms[i]);
    return sum;
}

// 2^k for k within the normal exponents.
double twoTo(int k) { return std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52); }

// log(x) for finite x > 0.
Dd logDd(double x) {
    int k = 0;
    if (x < std::numeric_limits<double>::min()) {
        x *= 0x1p54;
        k = -54;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = std::bit_cast<double>((bits & 0x000f'ffff'ffff'ffffULL) | 0x3ff0'0000'0000'0000ULL);
    if (m > 0x1.6a09e667f3bcdp+0) {  // sqrt(2)
        m /= 2;
        ++k;
    }
    // m - 1 is exact for m within [1/2, 2].
    const Dd s = divide(Dd{m - 1, 0}, twoSum(m, 1));
    const Dd s2 = multiply(s, s);
    const Dd sum = series(atanhTerms, s2, 10);
    const Dd logM = multiply(multiply(s, sum), 2.0);
    return add(multiply(ln2, static_cast<double>(k)), logM);
}

// e^z, overflowing to infinity and underflowing to zero as pow does.
double expDd(Dd z) {
    if (z.hi > 710) return std::numeric_limits<double>::infinity();
    if (z.hi < -746) return 0;
    // Nearest integer to z/ln2 by the 1.5 * 2^52 shift.
    constexpr double shift = 0x1.8p52;
    const double kd = (z.hi * 0x1.71547652b82fep+0 + shift) - shift;
    const Dd r = add(z, negate(multiply(ln2, kd)));
    const Dd sum = series(expTerms, r, 14);
    const double e = sum.hi;  // hi is hi + lo rounded to nearest
    int k = static_cast<int>(kd);
    if (k > 1023) return e * twoTo(1023) * twoTo(k - 1023);
    if (k < -1022) return e * twoTo(k + 54) * 0x1p-54;
    return e * twoTo(k);
}

bool isOddInteger(double y) {
    return std::fabs(y) < 0x1p53 && std::trunc(y) == y && std::fmod(y, 2) != 0;
}

}  // namespace

double pow(double base, double exponent) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    if (exponent == 0 || base == 1) return 1;
    if (std::isnan(base) || std::isnan(exponent)) return base + exponent;
    const double magnitude = std::fabs(base);
    if (std::isinf(exponent)) {
        if (magnitude == 1) return 1;
        return (magnitude < 1) == (exponent > 0) ? 0 : infinity;
    }
    const bool odd = isOddInteger(exponent);
    if (base < 0 && std::trunc(exponent) != exponent)
        return std::numeric_limits<double>::quiet_NaN();
    const double sign = std::signbit(base) && odd ? -1 : 1;
    if (magnitude == 0 || std::isinf(magnitude)) {
        return sign * ((magnitude == 0) == (exponent < 0) ? infinity : 0);
    }
    const Dd logBase = logDd(magnitude);
    // Beyond this the power over- or underflows, and the split inside
    // multiply would overflow.
    const double estimate = logBase.hi * exponent;
    if (!(std::fabs(estimate) < 1000)) return sign * (estimate > 0 ? infinity : 0);
    return sign * expDd(multiply(logBase, exponent));
}

double cbrt(double x) {
    if (x == 0 || !std::isfinite(x)) return x;
    const double root = expDd(divide(logDd(std::fabs(x)), Dd{3, 0}));
    return x < 0 ? -root : root;
}

}  // namespace moravik::portable
