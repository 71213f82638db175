// Built only from IEEE additions, multiplications and divisions in double-double
// arithmetic (compiled with -ffp-contract=off, so no fused multiply-add). A
// table-driven path to about 2^-70 answers almost every call; the rest go to an
// accurate path, log by the atanh series and exp by its Taylor series to about
// 2^-104.
#include "moravik/portable_math.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace moravik::portable {
namespace {

// std::bit_cast, which libc++ 13 lacks; GCC and clang both have the builtin.
template <typename To, typename From>
constexpr To bitCast(From from) {
    return __builtin_bit_cast(To, from);
}

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
constexpr Dd third{0x1.5555555555555p-2, 0x1.5555555555555p-56};

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
constexpr Dd series(const std::array<Dd, n>& terms, Dd x, std::size_t doubleFrom) {
    double tail = terms[n - 1].hi;
    for (std::size_t i = n - 1; i-- > doubleFrom;) tail = tail * x.hi + terms[i].hi;
    Dd sum{tail, 0};
    for (std::size_t i = doubleFrom; i-- > 0;) sum = add(multiply(sum, x), terms[i]);
    return sum;
}

// 2^k for k within the normal exponents.
constexpr double twoTo(int k) {
    return bitCast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
}

// log(x) to about 2^-104, for finite x > 0.
constexpr Dd logDd(double x) {
    int k = 0;
    if (x < std::numeric_limits<double>::min()) {
        x *= 0x1p54;
        k = -54;
    }
    const auto bits = bitCast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = bitCast<double>((bits & 0x000f'ffff'ffff'ffffULL) | 0x3ff0'0000'0000'0000ULL);
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

// Nearest integer by the 1.5 * 2^52 shift, for |x| below 2^51.
constexpr double nearestInteger(double x) {
    constexpr double shift = 0x1.8p52;
    return (x + shift) - shift;
}

// e^z, overflowing to infinity and underflowing to zero as pow does; rounded
// from about 2^-104.
double expDd(Dd z) {
    if (z.hi > 710) return std::numeric_limits<double>::infinity();
    if (z.hi < -746) return 0;
    const double kd = nearestInteger(z.hi * 0x1.71547652b82fep+0);  // 1/ln2
    const Dd r = add(z, negate(multiply(ln2, kd)));
    const Dd sum = series(expTerms, r, 14);
    const double e = sum.hi;  // hi is hi + lo rounded to nearest
    int k = static_cast<int>(kd);
    if (k > 1023) return e * twoTo(1023) * twoTo(k - 1023);
    if (k < -1022) return e * twoTo(k + 54) * 0x1p-54;
    return e * twoTo(k);
}

// The fast path: log and exp to about 2^-70 through 128-entry tables, then
// the rounding is taken only when the error bound cannot straddle a halfway
// point between doubles; otherwise the accurate path above decides.
struct LogEntry {
    double inverse;  // about 1/c, c the middle of the entry's 1/128 of [1, 2)
    Dd log;          // -log(inverse)
};

constexpr std::array<LogEntry, 128> logTable = [] {
    std::array<LogEntry, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double inverse = 1 / (1 + (static_cast<double>(i) + 0.5) / 128);
        table[i] = {inverse, negate(logDd(inverse))};
    }
    return table;
}();

// 2^(j/128).
constexpr std::array<Dd, 128> expTable = [] {
    std::array<Dd, 128> table{};
    for (std::size_t j = 0; j < table.size(); ++j) {
        table[j] = series(expTerms, multiply(ln2, static_cast<double>(j) / 128), 14);
    }
    return table;
}();

// log(x) to about 2^-76 absolute, for normal x > 0.
Dd logFast(double x) {
    const auto bits = bitCast<std::uint64_t>(x);
    const int k = static_cast<int>(bits >> 52) - 1023;
    const LogEntry& entry = logTable[(bits >> 45) & 127];
    const double m = bitCast<double>((bits & 0x000f'ffff'ffff'ffffULL) | 0x3ff0'0000'0000'0000ULL);
    // r = m/c - 1 exactly: the product is exact as a pair, and p.hi - 1 is
    // exact because p.hi lies within 2^-8 of 1.
    const Dd p = twoProduct(m, entry.inverse);
    const Dd r = fastTwoSum(p.hi - 1, p.lo);
    // log(1 + r) = r - r^2/2 + r^3/3 - ...; |r| <= 2^-8, so r^9 is below 2^-72.
    const double a = r.hi;
    const Dd a2 = twoProduct(a, a);
    const double tail =
        a2.hi * a * (1 / 3. - a * (0.25 - a * (0.2 - a * (1 / 6. - a * (1 / 7. - a * 0.125)))));
    Dd sum = twoSum(a, -0.5 * a2.hi);
    sum = fastTwoSum(sum.hi, sum.lo + (((r.lo - a * r.lo) - 0.5 * a2.lo) + tail));
    return add(add(multiply(ln2, static_cast<double>(k)), entry.log), sum);
}

// e^z = e * 2^power, e about [1, 2) and to about 2^-70, for |z| below 707.
Dd expFastScaled(Dd z, int& power) {
    const double n = nearestInteger(z.hi * 0x1.71547652b82fep+7);  // 128/ln2
    const Dd r = add(z, negate(multiply(Dd{ln2.hi / 128, ln2.lo / 128}, n)));
    const auto whole = static_cast<std::int64_t>(n);
    const Dd& t = expTable[static_cast<std::size_t>(whole & 127)];
    // e^r - 1 = r + r^2/2 + ...; |r| <= ln2/256, so r^7/7! is below 2^-71.
    const double a = r.hi;
    const double tail =
        (r.lo + a * r.lo) +
        a * a * (0.5 + a * (1 / 6. + a * (1 / 24. + a * (1 / 120. + a * (1 / 720.)))));
    const Dd p = twoSum(a, tail);
    const Dd tp = twoProduct(t.hi, p.hi);
    power = static_cast<int>(whole >> 7);
    return add(t, fastTwoSum(tp.hi, tp.lo + (t.hi * p.lo + t.lo * p.hi)));
}

// e^z for |z| below 707, when `error` (relative) cannot change its rounding.
bool expFast(Dd z, double error, double& result) {
    int power = 0;
    const Dd e = expFastScaled(z, power);
    const double bound = error * e.hi;
    const double low = e.hi + (e.lo - bound);
    if (low != e.hi + (e.lo + bound)) return false;
    result = low * twoTo(power);
    return true;
}

// The fast path's relative error bound: the worst seen on 2 million arguments
// was 2^-69.6 from exp and 2^-74.9 per unit of the exponent from log.
double fastError(double exponent) { return (std::fabs(exponent) + 2) * 0x1p-66; }

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
    if (magnitude >= std::numeric_limits<double>::min()) {
        const Dd logBase = logFast(magnitude);
        double result = 0;
        if (std::fabs(logBase.hi * exponent) < 707 &&
            expFast(multiply(logBase, exponent), fastError(exponent), result)) {
            return sign * result;
        }
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
    const double magnitude = std::fabs(x);
    double root = 0;
    if (!(magnitude >= std::numeric_limits<double>::min() &&
          expFast(multiply(logFast(magnitude), third), fastError(1 / 3.), root))) {
        root = expDd(divide(logDd(magnitude), Dd{3, 0}));
    }
    return x < 0 ? -root : root;
}

}  // namespace moravik::portable
